// Step 3 (first users, with wizard.js) and the finish page of the setup
// wizard over loopback.

#include <gtest/gtest.h>

#include <string>

#include "foundation/settings_sections.h"
#include "model/users.h"
#include "routing/host_addresses.h"
#include "web/pages/setup/https_port_field.h"
#include "web/pages/setup/setup_wizard_users.h"
#include "wizard_fixture.h"

namespace {

class WizardAddUsersTest : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    session_ = CreateAdmin();
    ASSERT_NE(session_, "");
  }
  std::string PostRows(const std::string& rows) {
    return Post("wizardaddusers", rows + "&" + Submit("  Next  "), session_);
  }
  static std::string StartCall(const std::string& id, const std::string& message) {
    return "<script type=\"text/javascript\">window.onload=function(){start('" + id + "','" + message + "');}</script>";
  }
  static std::string UserText(std::string_view email, const LKXUserKey& key) {
    LKXUser user;
    return KXGetUser(email, user) ? user.GetText(key) : "<no user>";
  }
  std::string session_;
};

// A refused row keeps the typed values and nothing is added; the
// row count stays within one to five and covers the filled rows.
TEST_F(WizardAddUsersTest, ARefusedRowKeepsTheTypedValuesAndTheRowCountCoversThem) {
  const std::string page = PostRows("101=ann%40office.example&201=Ann&202=Bo");
  EXPECT_TRUE(Contains(page, StartCall("102", kKXWizardRowHalfMessage)));
  ASSERT_NE(HtmlPage(page).ById("wv202"), nullptr);
  EXPECT_EQ(HtmlPage(page).ById("wv202")->Attribute("value"), "Bo");
  EXPECT_EQ(KXUserCount(), 1);
  EXPECT_EQ(HtmlPage(PostRows("90=1000&101=bad")).Field("90"), "5");
  const std::string beyond = PostRows("90=2&105=bad&205=Eve");
  EXPECT_EQ(HtmlPage(beyond).Field("90"), "5");
  EXPECT_TRUE(Contains(beyond, StartCall("105", kKXWizardRowEmailMessage)));
}

TEST_F(WizardAddUsersTest, FilledRowsBecomeUsersAndEmptyRowsAreSkipped) {
  const std::string answer = PostRows(
      "90=5&101=+ann%40office.example+&201=Ann+Lee&301=1&601=30&701=on&705=on&302=1&105=cy%40office.example&205=Cy&"
      "305=7");
  EXPECT_EQ(answer, Redirect("wizardfinish"));
  EXPECT_EQ(KXUserCount(), 3);
  // A work type that the select does not offer is stored as "not set".
  const struct {
    const char* email;
    const char* stored;  // name, work type, hours, work days, manager, password required, administrator
  } users[] = {{"ann@office.example", "Ann Lee|1|30|34|boss@office.example|1|0"},
               {"cy@office.example", "Cy|0|0|34|boss@office.example|1|0"}};
  for (const auto& u : users) {
    std::string stored;
    for (const LKXUserKey* key : {&kKXUserName, &kKXUserWorkType, &kKXUserWorkHours, &kKXUserWorkDays,
                                  &kKXUserManager, &kKXUserPasswordReq, &kKXUserAccessAdmin}) {
      stored += (stored.empty() ? "" : "|") + UserText(u.email, *key);
    }
    EXPECT_EQ(stored, u.stored) << u.email;
  }
}

TEST_F(WizardAddUsersTest, FinishTellsHowToGoOnAndLogsThePrimaryUserOn) {
  ASSERT_TRUE(LSettingSetString("Routing", "LocalPort", "8089"));
  const std::string page = Get("wizardfinish", session_);
  EXPECT_TRUE(Contains(Visible(page), "Email: boss@office.example"));
  EXPECT_EQ(Setting("Settings", "SetupWizardRun"), "");
  // The page offers HTTPS, switched on as the administrator finishes.
  EXPECT_EQ(HtmlPage(page).Field("120"), "0");
  const std::string finish = "onok=mainpage&" + Submit("  Finish  ") + "&120=";
  const std::string answer = Post("wizardfinish", finish + "8443", session_);
  EXPECT_NE(CookieSession(answer), session_);
  EXPECT_EQ(HandedOver(answer), "mainpage user=boss%40office.example");
  EXPECT_EQ(Setting("Settings", "SetupWizardRun") + "|" + Setting("Routing", "HttpsPort"), "0|8443");
}

}  // namespace
