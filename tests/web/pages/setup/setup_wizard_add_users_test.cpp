// Step 3 (first users, with wizard.js) and the finish page of the setup
// wizard over loopback.

#include <gtest/gtest.h>

#include <string>

#include "foundation/settings_sections.h"
#include "model/users.h"
#include "routing/host_addresses.h"
#include "web/http/http_responses.h"
#include "web/pages/setup/https_port_field.h"
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

TEST_F(WizardAddUsersTest, FirstDisplayHandsTheRowsToTheScript) {
  const std::string page = Get("wizardaddusers", session_);
  EXPECT_TRUE(Contains(page, "<b>Setup Wizard: Step 3 of 3</b>"));
  EXPECT_TRUE(Contains(page,
                       "You now can setup the KavrixServer accounts for other users.<br>KavrixServer will "
                       "automatically send a confirmation email"));
  EXPECT_TRUE(Contains(page, "You can add up to 5 users here and other users can be added later."));
  EXPECT_TRUE(Contains(page, "<input name=90 type=hidden value=4>"));
  EXPECT_TRUE(Contains(page, "<div id=50 type=hidden></div>"));
  EXPECT_TRUE(Contains(page, "<script type=\"text/javascript\" src=\"wizard.js\"></script>"));
  EXPECT_TRUE(Contains(page, StartCall("-1", "")));
  EXPECT_TRUE(Contains(page, "href=\"javascript:addItem()\""));
  EXPECT_TRUE(Contains(page, ">Add More</a>"));
  EXPECT_FALSE(Contains(page, "id=wv"));
  EXPECT_TRUE(Contains(page, "<input type=hidden name=onok value=\"wizardfinish\">"));
  EXPECT_TRUE(Contains(page, "<input type=hidden name=oncancel value=\"wizardkavrixusage\">"));
}

TEST_F(WizardAddUsersTest, ARowWithOnlyANameIsRefusedWithTheTypedValuesKept) {
  const std::string page = PostRows("90=5&101=ann%40office.example&201=Ann&301=2&601=20&202=%22%3E%3Cscript%3Ex&302=1");
  EXPECT_TRUE(Contains(page, StartCall("102",
                                       "Please either enter the email address and user name, or leave them "
                                       "both blank.")));
  EXPECT_TRUE(Contains(page, "<input name=90 type=hidden value=5>"));
  EXPECT_TRUE(Contains(page, "<input type=hidden id=wv101 value=\"ann@office.example\">"));
  EXPECT_TRUE(Contains(page, "<input type=hidden id=wv201 value=\"Ann\">"));
  EXPECT_TRUE(Contains(page, "<input type=hidden id=wv301 value=\"2\">"));
  EXPECT_TRUE(Contains(page, "<input type=hidden id=wv601 value=\"20\">"));
  EXPECT_TRUE(Contains(page, "<input type=hidden id=wv202 value=\"&quot;&gt;&lt;script&gt;x\">"));
  EXPECT_FALSE(Contains(page, "\"><script>x"));
  // Nothing is added while a row is refused.
  EXPECT_EQ(KXUserCount(), 1);
}

TEST_F(WizardAddUsersTest, RowCountIsKeptWithinOneToFiveAndCoversFilledRows) {
  EXPECT_TRUE(Contains(PostRows("90=1000&101=bad"), "<input name=90 type=hidden value=5>"));
  EXPECT_TRUE(Contains(PostRows("90=-3&101=bad"), "<input name=90 type=hidden value=4>"));
  const std::string page = PostRows("90=2&105=bad&205=Eve");
  EXPECT_TRUE(Contains(page, "<input name=90 type=hidden value=5>"));
  EXPECT_TRUE(Contains(page, StartCall("105", "This is not a valid email address.")));
}

TEST_F(WizardAddUsersTest, FilledRowsBecomeUsersAndEmptyRowsAreSkipped) {
  const std::string answer = PostRows(
      "90=5&101=+ann%40office.example+&201=Ann+Lee&301=1&601=30&103=bob%40office.example&203=Bob&302=1&303=2&"
      "105=cy%40office.example&205=Cy&305=7");
  EXPECT_EQ(answer, Redirect("wizardfinish"));
  EXPECT_EQ(KXUserCount(), 4);
  EXPECT_EQ(UserText("ann@office.example", kKXUserName), "Ann Lee");
  EXPECT_EQ(UserText("ann@office.example", kKXUserWorkType), "1");
  EXPECT_EQ(UserText("ann@office.example", kKXUserWorkHours), "30");
  EXPECT_EQ(UserText("bob@office.example", kKXUserWorkType), "2");
  EXPECT_EQ(UserText("bob@office.example", kKXUserWorkHours), "0");
  // A work type that the select does not offer is stored as "not set".
  EXPECT_EQ(UserText("cy@office.example", kKXUserWorkType), "0");
  for (const char* email : {"ann@office.example", "bob@office.example", "cy@office.example"}) {
    EXPECT_EQ(UserText(email, kKXUserManager), "boss@office.example");
    EXPECT_EQ(UserText(email, kKXUserPasswordReq), "1");
    EXPECT_EQ(UserText(email, kKXUserAccessAdmin), "0");
  }
}

TEST_F(WizardAddUsersTest, WithoutAPrimaryUserNobodyIsAdded) {
  LKXUser boss;
  ASSERT_TRUE(KXGetUser("boss@office.example", boss));
  ASSERT_TRUE(boss.SetFlag(kKXUserAccessHR, false));
  ASSERT_TRUE(LSettingSetString("Settings", "PrimaryUser", ""));
  const std::string page = PostRows("101=ann%40office.example&201=Ann");
  EXPECT_TRUE(Contains(page, StartCall("50", "KavrixServer Error: Can not find the primary admin user!")));
  EXPECT_FALSE(KXUserExists("ann@office.example"));
}

TEST_F(WizardAddUsersTest, FinishTellsHowToGoOnAndLogsThePrimaryUserOn) {
  ASSERT_TRUE(LSettingSetString("Routing", "LocalPort", "8089"));
  // A private address nobody can reach: the page names this computer
  // instead, as the logon-details mails do.
  ASSERT_TRUE(LSettingSetString("Routing", "LocalAddressMode", "4"));
  ASSERT_TRUE(LSettingSetString("Routing", "PublicAddressMode", "1"));
  ASSERT_TRUE(LSettingSetString("Routing", "StaticIPAddress", "0.0.0.0"));
  ASSERT_TRUE(LSettingSetString("Settings", "ModeQA", "0"));
  const std::string page = Get("wizardfinish", session_);
  EXPECT_TRUE(Contains(page, "<b>Initial Setup: Finished!</b>"));
  EXPECT_TRUE(Contains(page,
                       "<p>Congratulations. The initial setup of KavrixServer is complete.<p><i>What is "
                       "Next?</i><p><u>You</u><p><ol><li>"));
  const std::string server = LIPGetLocalFQDN() + ":8089";
  EXPECT_FALSE(Contains(page, "0.0.0.0"));
  // No installer in the web root yet: the administrator is told where it goes.
  EXPECT_FALSE(Contains(page, "<a href=\"kxtasetup.exe\">"));
  EXPECT_TRUE(Contains(page, "put kxtasetup.exe into the folder " + WebRoot()));
  EXPECT_TRUE(Contains(page, "Server: " + server + "<br>Email: boss@office.example<br>"));
  EXPECT_TRUE(Contains(page, "<a href=\"http://" + server + "/logon\">"));
  EXPECT_FALSE(Contains(page, "Screen monitoring:"));
  EXPECT_TRUE(Contains(page, "<b>Hours:</b>"));
  EXPECT_TRUE(Contains(page, "value=\"  Finish  \""));
  EXPECT_EQ(Setting("Settings", "SetupWizardRun"), "");

  const std::string answer = Post("wizardfinish", "onok=mainpage&" + Submit("  Finish  "), session_);
  const std::string id = CookieSession(answer);
  ASSERT_NE(id, "");
  EXPECT_NE(id, session_);
  EXPECT_EQ(answer, CookieRedirect(id, "mainpage"));
  EXPECT_EQ(SessionFileText(id), "user=boss%40office.example");
  EXPECT_EQ(Setting("Settings", "SetupWizardRun"), "0");

  ASSERT_TRUE(KavrixWriteFile(WebRoot() + "/kxtasetup.exe", "MZ"));
  EXPECT_TRUE(Contains(Get("wizardfinish", id), "download <a href=\"kxtasetup.exe\">kxtasetup.exe</a> and run it."));
}

TEST_F(WizardAddUsersTest, FinishWithoutAPrimaryUserStartsTheWizardAgain) {
  LKXUser boss;
  ASSERT_TRUE(KXGetUser("boss@office.example", boss));
  ASSERT_TRUE(boss.SetFlag(kKXUserAccessHR, false));
  ASSERT_TRUE(LSettingSetString("Settings", "PrimaryUser", ""));
  EXPECT_EQ(Post("wizardfinish", Submit("  Finish  "), session_), Redirect("wizardadmin"));
  EXPECT_EQ(Setting("Settings", "SetupWizardRun"), "");
}

TEST_F(WizardAddUsersTest, ConnectRemoteAnswersNothing) {
  EXPECT_EQ(Get("wizardconnectremote", session_), kLHttpNoContent);
}

// The last page offers HTTPS: a port in the field switches it on as the
// administrator finishes; a port that cannot be one keeps the page.
TEST_F(WizardAddUsersTest, FinishSwitchesHttpsOnWithTheGivenPort) {
  ASSERT_TRUE(LSettingSetString("Routing", "LocalPort", "8089"));
  EXPECT_TRUE(Contains(Get("wizardfinish", session_), "name=120 type=text value=\"0\""));
  const struct {
    const char* field;
    bool finished;
    const char* stored;
  } cases[] = {{"120=https", false, ""}, {"120=8089", false, ""}, {"120=0", true, ""}, {"120=8443", true, "8443"}};
  for (const auto& c : cases) {
    const std::string answer =
        Post("wizardfinish", "onok=mainpage&" + std::string(c.field) + "&" + Submit("  Finish  "), session_);
    EXPECT_EQ(CookieSession(answer) != "", c.finished) << c.field;
    EXPECT_EQ(Contains(answer, std::string("<font color=#a00000>") + kKXHttpsPortInvalid + "</font>"), !c.finished)
        << c.field;
    EXPECT_EQ(Setting("Routing", "HttpsPort"), c.stored) << c.field;
  }
}

}  // namespace
