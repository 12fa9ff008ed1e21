#include "desktop/message_box.h"

int LMessageBox(GtkWindow* parent, GtkMessageType type, const std::string& title, const std::string& text,
                const LMessageButtons& buttons, int defaultResponse) {
  GtkWidget* box = gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, type, GTK_BUTTONS_NONE, "%s", text.c_str());
  gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
  gtk_window_set_title(GTK_WINDOW(box), title.c_str());
  for (const auto& [label, response] : buttons) gtk_dialog_add_button(GTK_DIALOG(box), label.c_str(), response);
  gtk_dialog_set_default_response(GTK_DIALOG(box), defaultResponse);
  const int answer = gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  return answer;
}

int LMessageBoxYesNo(GtkWindow* parent, const std::string& title, const std::string& text, bool withCancel,
                     int defaultResponse) {
  LMessageButtons buttons = {{GTK_STOCK_YES, GTK_RESPONSE_YES}, {GTK_STOCK_NO, GTK_RESPONSE_NO}};
  if (withCancel) buttons.emplace_back(GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL);
  return LMessageBox(parent, GTK_MESSAGE_QUESTION, title, text, buttons, defaultResponse);
}

void LMessageBoxError(GtkWindow* parent, const std::string& title, const std::string& text) {
  (void)LMessageBox(parent, GTK_MESSAGE_ERROR, title, text, {{GTK_STOCK_OK, GTK_RESPONSE_OK}}, GTK_RESPONSE_OK);
}
