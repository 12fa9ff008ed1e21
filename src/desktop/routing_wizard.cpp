#include "desktop/routing_wizard.h"

#include <string>

#include "desktop/entry_prompt.h"
#include "desktop/gtk_progress_dialog.h"
#include "engine/port_settings.h"
#include "routing/routing_settings.h"

namespace {

enum Choice { kManual, kLater, kNoInternet };

}  // namespace

bool LDesktopRunRoutingWizard(GtkWindow* parent, LStatusWindow* status, LRoutingProbeOptions options) {
  LGtkProgressDialog progress(parent, status);
  const LRoutingProbeOutcome outcome = LNetRoutingRunWizard(progress, std::move(options));
  if (outcome.result == kLProcessDone) return true;
  if (outcome.result == kLProcessFailed) (void)LDesktopRoutingManualChoice(parent);
  return false;
}

bool LDesktopRoutingManualChoice(GtkWindow* parent) {
  GtkWidget* dialog = gtk_dialog_new_with_buttons(kLRoutingManualTitle, parent, GTK_DIALOG_MODAL, GTK_STOCK_CANCEL,
                                                  GTK_RESPONSE_CANCEL, GTK_STOCK_OK, GTK_RESPONSE_OK, nullptr);
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
  GtkWidget* box = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
  GtkWidget* text = gtk_label_new(kLRoutingManualText);
  gtk_label_set_line_wrap(GTK_LABEL(text), TRUE);
  gtk_box_pack_start(GTK_BOX(box), text, FALSE, FALSE, 4);
  GtkWidget* manual = gtk_radio_button_new_with_label(nullptr, "Router is manually configured");
  gtk_box_pack_start(GTK_BOX(box), manual, FALSE, FALSE, 2);
  GtkWidget* row = gtk_hbox_new(FALSE, 4);
  gtk_box_pack_start(GTK_BOX(row), gtk_label_new("Public host name or IP address"), FALSE, FALSE, 2);
  GtkWidget* host = gtk_entry_new();
  // A name keeps working when the office's public address changes.
  LGtkEntrySetPrompt(host, kLRoutingHostPrompt);
  gtk_box_pack_start(GTK_BOX(row), host, TRUE, TRUE, 2);
  gtk_box_pack_start(GTK_BOX(box), row, FALSE, FALSE, 2);
  std::string privateAddress;
  LNetRoutingGetPrivateAddress(0, privateAddress);
  const std::string advice = "Redirect public TCP/IP port " + std::to_string(LNetRoutingGetPublicPort()) +
                             " to your host " + privateAddress + ", port " +
                             std::to_string(LReadLocalPortSetting());
  gtk_box_pack_start(GTK_BOX(box), gtk_label_new(advice.c_str()), FALSE, FALSE, 2);
  GtkWidget* later = gtk_radio_button_new_with_label_from_widget(GTK_RADIO_BUTTON(manual), "Remind me later");
  GtkWidget* never = gtk_radio_button_new_with_label_from_widget(
      GTK_RADIO_BUTTON(manual), "I don't use access from Internet. Don't remind me again");
  gtk_box_pack_start(GTK_BOX(box), later, FALSE, FALSE, 2);
  gtk_box_pack_start(GTK_BOX(box), never, FALSE, FALSE, 2);
  for (const char* note : {"See the Help for more detailed discussion of these options.",
                           "You can run this wizard again (or manually set options) by selecting the Routing tab of "
                           "Options"}) {
    GtkWidget* label = gtk_label_new(note);
    gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
    gtk_box_pack_start(GTK_BOX(box), label, FALSE, FALSE, 2);
  }
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(later), TRUE);
  // The preselected choice takes the focus, so that the empty host field
  // shows its hint.
  gtk_widget_grab_focus(later);
  gtk_widget_show_all(dialog);
  bool applied = false;
  while (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK) {
    if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(manual))) {
      const std::string name = gtk_entry_get_text(GTK_ENTRY(host));
      if (name.empty()) continue;  // the field the choice needs
      LNetRoutingSetManualAddress(name);
    } else if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(later))) {
      LNetRoutingRemindLater();
    } else {
      LNetRoutingNoInternetAccess();
    }
    applied = true;
    break;
  }
  gtk_widget_destroy(dialog);
  return applied;
}
