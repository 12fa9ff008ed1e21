#include "web/panel/message_page.h"

LKXMessagePage::LKXMessagePage(LWebletForm& form, std::string_view okLabel,
                               std::string_view message)
    : LWebDialog(form, 0), message_(message) {
  static const LNavLinkData kLinks[] = {
      {"help/index.html", "Help", true},
      {nullptr, nullptr, false},
  };
  SetNavLinks(kLinks);
  SetOkLabel(okLabel);
  SetCancelLabel("");
  SetTitle("Kavrixserver Message");
}
