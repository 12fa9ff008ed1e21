#include "web/panel/kx_web_dialog.h"

#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"

LKXWebDialog::LKXWebDialog(LWebletForm& form, std::string_view helpTopic, std::string_view title,
                           int widthPercent)
    : LWebDialog(form, widthPercent) {
  const std::string help = "help/" + std::string(helpTopic) + ".html";
  const LNavLinkData links[] = {
      {"mainpage", "Main", false},
      {"logout", "Logoff", false},
      {help.c_str(), "Help", true},
      {nullptr, nullptr, false},
  };
  SetNavLinks(links);
  SetTitle(title);
}

void LKXWebDialog::AddDateInput(int id, std::string_view label, int length) {
  // The calendar comes from datepicker.js; one script tag per dialog.
  if (!calendarScriptWritten_) {
    WLSendRaw(Form(),
              "<script type=\"text/javascript\" language=\"javascript\" "
              "src=\"datepicker.js\"></script>");
    calendarScriptWritten_ = true;
  }
  StartRow(id, 0);
  wfformat(Form(),
           "%H</td><td><input name=%d id=%d type=text value=\"%H\" maxlength=%d size=%d "
           "style=\"font-family: Arial,sans-serif; font-size: 10pt;\" title=\"Format: "
           "yyyy-mm-dd\">&nbsp;<a href=\"javascript:NewCalendar(%d)\"><img src=\"cal.gif\" "
           "width=16 height=16 border=0 alt=\"Calendar\"></a>",
           label, id, id, GetControlValue(id), length, length, id);
  WLSendRaw(Form(), "</td></tr>");
}

void LKXWebDialog::AddTimeInput(int id, std::string_view label, int size) {
  WriteTextInput(id, label, size, "text", "Format: hh:mm:ss", "");
}

void LKXWebDialog::AddInputWithSubmit(int id, std::string_view label, std::string_view buttonText,
                                      int size, bool disabled) {
  StartRow(id, 0);
  const char* disabledText = disabled ? " disabled" : "";
  wfformat(Form(),
           "%H</td><td><input name=%d type=text value=\"%H\" size=%d style=\"font-family: "
           "Arial,sans-serif; font-size: 10pt;\" title=\"%s\"%s></td><td><input type=submit "
           "name=submit value=\"%H\" style=\"font-family: Arial,sans-serif; font-size: "
           "10pt;\"%s>",
           label, id, GetControlValue(id), size, GetToolTipText(id), disabledText, buttonText,
           disabledText);
  WLSendRaw(Form(), "</td></tr>");
}
