// The line that confirms a save: set by the handler that saved, shown once
// by the next page the panel frames, and never taken from a URL.

#include <gtest/gtest.h>

#include "hours_pages_fixture.h"
#include "web/panel/confirmation_line.h"

namespace {

using ConfirmationTest = OfficeTest;

TEST_F(ConfirmationTest, ShownOnceOnThePageAfterTheSaveAndNeverFromALink) {
  const std::string line = "<div class=kxconfirm role=status>Manual entry of 00:30:15 on 2026-03-09 for Staff saved.";
  const std::string session = Session("mgr");
  EXPECT_TRUE(Contains(Post("enterhours",
                            "seluser=staff%40x.example&101=2026-03-09&102=08%3A00&103=08%3A30%3A15&105=0%24Working"
                            "&submit=++OK++&onok=viewmanual",
                            session),
                       "Location: viewmanual"));
  EXPECT_TRUE(Contains(Get("viewmanual", session), line + "</div>"));
  EXPECT_FALSE(Contains(Get("viewmanual", session), "kxconfirm"));
  // A link cannot show one.
  const std::string linked = Get("viewmanual?confirmation=Saved+%3Cb%3E", Session("staff"));
  EXPECT_FALSE(Contains(linked, "kxconfirm") || Contains(linked, "Saved"));
}

}  // namespace
