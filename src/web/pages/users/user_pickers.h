#pragma once
// "addmanager" and "addtoteam": the pickers of the user-details form. Each
// appends its choice to the form kept in the session ("fdmanagers" or
// "fdteams") and returns to "userdetail", which shows the form again.

#include <string>
#include <string_view>

#include "web/panel/kx_web_dialog.h"

class LWebletSessionData;

void WLAddManager(LWebletForm& form);
void WLAddToTeam(LWebletForm& form);

class LKXAddManagerPage : public LKXWebDialog {
 public:
  explicit LKXAddManagerPage(LWebletForm& form);
  void Generate() override;
  bool CmOk() override;
};

class LKXAddToTeamPage : public LKXWebDialog {
 public:
  explicit LKXAddToTeamPage(LWebletForm& form);
  void Generate() override;
  bool CmOk() override;
};

// The text of a posted pull-down value ("<index>$<text>", or "$<text>").
std::string KXPulldownText(std::string_view value);
// The address in a manager item "Name (address)": the text between the last
// "(" and the last ")".
std::string KXManagerItemAddress(std::string_view item);
// Appends `item` to the session value `name`: "<old>,<item>", or the item
// alone when the value is empty.
void KXAppendKeptItem(LWebletSessionData& session, std::string_view name, std::string_view item);

inline constexpr char kKXPickerNoChoice[] = "Please select an item from the list.";
