#pragma once
// LKXWebDialog: the product's dialog. Its navigation links lead to the main
// page, log off, and open the dialog's help page in a new window; access is
// decided by the handler or by CmOk, so Authenticate always succeeds.

#include <string>
#include <string_view>

#include "web/panel/web_dialog.h"

class LKXWebDialog : public LWebDialog {
 public:
  // `helpTopic` names "help/<topic>.html".
  LKXWebDialog(LWebletForm& form, std::string_view helpTopic, std::string_view title,
               int widthPercent);

  bool Authenticate() override { return true; }

  // A date input titled "Format: yyyy-mm-dd" with the calendar button of
  // datepicker.js (NewCalendar(<id>) finds the input by its element id,
  // which is the control id).
  void AddDateInput(int id, std::string_view label, int length);
  // A time input titled "Format: hh:mm:ss".
  void AddTimeInput(int id, std::string_view label, int size);
  // An input followed in the next cell by a submit button named "submit":
  // the handler tells the actions apart by the posted "submit" value.
  void AddInputWithSubmit(int id, std::string_view label, std::string_view buttonText, int size,
                          bool disabled);

 private:
  bool calendarScriptWritten_ = false;
};
