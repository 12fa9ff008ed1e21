// The line that confirms a save: set by the handler that saved, shown once,
// escaped, by the next page the panel frames, and never taken from a URL.

#include <gtest/gtest.h>

#include "hours_pages_fixture.h"
#include "model/users.h"
#include "web/pages/account/password_pages.h"
#include "web/panel/confirmation_line.h"

namespace {

using ConfirmationTest = OfficeTest;

std::string Line(const std::string& text) { return "<div class=kxconfirm role=status>" + text + "</div>"; }

TEST_F(ConfirmationTest, ShownOnceEscapedOnThePageAfterTheSaveAndNeverFromALink) {
  const struct {
    const char *who, *path, *body, *next, *line;
  } saves[] = {
      {"mgr", "enterhours",
       "seluser=staff%40x.example&101=2026-03-09&102=08%3A00&103=08%3A30%3A15&105=0%24Working&submit=++OK++"
       "&onok=viewmanual",
       "viewmanual", "Manual entry of 00:30:15 on 2026-03-09 for Staff &lt;S&gt; saved."},
      {"staff2", "changepassword", "101=pw&102=n3w&103=n3w&submit=++OK++", "mainpage", kLPasswordChangedText},
  };
  LKXUser staff;
  ASSERT_TRUE(KXGetUser(Email("staff"), staff));
  ASSERT_TRUE(staff.SetText(kKXUserName, "Staff <S>"));
  for (const auto& save : saves) {
    const std::string session = Session(save.who);
    EXPECT_TRUE(Contains(Post(save.path, save.body, session), std::string("Location: ") + save.next)) << save.line;
    EXPECT_TRUE(Contains(Get(save.next, session), Line(save.line))) << save.line;
    EXPECT_FALSE(Contains(Get(save.next, session), "kxconfirm")) << save.line;
  }
  // A link cannot show one.
  const std::string linked = Get("viewmanual?confirmation=Saved+%3Cb%3E", Session("staff"));
  EXPECT_FALSE(Contains(linked, "kxconfirm") || Contains(linked, "Saved"));
}

}  // namespace
