// Dialogs on a real server: first display, OK with Enter, refused OK,
// Cancel, the redirect chain, RunInForm and the message page.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/web_server_fixture.h"
#include "web/http/http_responses.h"
#include "web/http/same_origin.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/kx_web_dialog.h"
#include "web/panel/message_page.h"

namespace {

const LWebToolTip kTips[] = {{101, "Your name"}, {103, "Tick it"}, {201, "First"}};

class TestDialog : public LWebDialog {
 public:
  explicit TestDialog(LWebletForm& form) : LWebDialog(form, 50) {
    SetTitle("Details <1>");
    AddTools(kTips, 3);
  }
  bool Authenticate() override { return true; }
  void InitDialog() override {
    SetText(101, "Bob");
    SetCheck(103, true);
    SetRadioCheck(202, true);
    SetText(104, "$y");
  }
  void Generate() override {
    AddInput(101, "Name:", 20);
    AddCheckBox(103, "Tick");
    AddRadioButton(201, "A");
    AddRadioButton(202, "B");
    AddPullDownList(104, "List:", {"x", "y", "z"});
    AddStatic("a<b");
  }
  bool CmOk() override {
    std::string name;
    GetTextAndTrim(101, name);
    if (name.empty()) {
      PopupControlDataInvalid(101, "Please enter a name.");
      return false;
    }
    Form().Session().SetParm("name", name);
    return true;
  }
};

void DialogPage(LWebletForm& form) {
  TestDialog dialog(form);
  dialog.Run();
}

void InFormPage(LWebletForm& form) {
  TestDialog dialog(form);
  if (dialog.RunInForm()) WLSendRaw(form, "HTTP/1.0 200 OK\r\n\r\naccepted");
}

// The product's dialog: its navigation bar, and no Cancel once cleared.
class ProductDialog : public LKXWebDialog {
 public:
  explicit ProductDialog(LWebletForm& form) : LKXWebDialog(form, "topic", "", 0) {
    SetCancelLabel("");
  }
  void Generate() override { AddInputPassword(301, "Pass:", 8); }
};

void ProductPage(LWebletForm& form) {
  ProductDialog dialog(form);
  dialog.Run();
}

void AdminNoticePage(LWebletForm& form) {
  form.Params().SetParm("onok", "mainpage");
  LKXMessagePage page(form, "Return", "Only System Administrator can access this page.");
  page.Run();
}

const LWebScriptEntry kTable[] = {
    {"dlg", DialogPage, LWebAccess::kAnyone},
    {"inform", InFormPage, LWebAccess::kAnyone},
    {"product", ProductPage, LWebAccess::kAnyone},
    {"notice", AdminNoticePage, LWebAccess::kAnyone},
};

// Every part of `parts` is in `page`.
void ExpectParts(const std::string& page, const std::vector<std::string>& parts) {
  for (const std::string& part : parts) EXPECT_NE(page.find(part), std::string::npos) << part << "\n" << page;
}

class WebDialogTest : public WebServerTest {
 protected:
  void SetUp() override {
    WebServerTest::SetUp();
    StartServer(kTable);
  }
};

// What each page offers: the first display of a dialog, a whole page whose
// form posts to the dialog itself with every control's initial value, the
// title and text, OK as the default button and the Referer as where OK and
// Cancel lead; the product's dialog with its navigation and, cleared, no
// Cancel; the notice, a message page with Return.
TEST_F(WebDialogTest, PagesOfferTheirControls) {
  const struct {
    const char* target;
    std::vector<std::string> parts;
    const char* absent;
  } cases[] = {
      {"dlg",
       {"<form action=\"dlg\" method=post>", "<b>Details &lt;1&gt;</b>",
        "<input name=101 type=text value=\"Bob\" size=20",
        "<input type=checkbox title=\"Tick it\" name=103 checked>Tick</input>",
        "name=rbg2 id=rbg2 value=202 checked  >B</input>", "<option value=\"1$y\" selected>y</option>",
        "<tr><td colspan=6>a&lt;b</td></tr>", "<input type=hidden name=submitdef value=\"  OK  \">",
        "<input type=submit name=submit value=\"Cancel\"",
        "<input type=hidden name=onok value=\"http://here/mainpage\"><input type=hidden "
        "name=oncancel value=\"http://here/mainpage\"></form>"},
       "Please enter a name."},
      {"product",
       {"<a href=\"mainpage\" class=toptext>Main</a>", "<a href=\"logout\" class=toptext>Logoff</a>",
        "<a href=\"help/topic.html\" class=toptext target=_blank>Help</a>",
        "<input name=301 type=password value=\"\" size=8 "},
       "value=\"Cancel\""},
      {"notice",
       {"<b>Kavrixserver Message</b>",
        "<td colspan=6>Only System Administrator can access this page.</td>", "value=\"Return\""},
       "value=\"Cancel\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    const std::string page = Get(c.target, "Referer: http://here/mainpage\r\n");
    ASSERT_EQ(page.rfind(kLHttpPageHeader, 0), 0u) << page;
    ExpectParts(page, c.parts);
    EXPECT_EQ(page.find(c.absent), std::string::npos);
  }
}

// Where OK, Enter and Cancel lead: "onok" or "oncancel" when they stay on
// this server, else the Referer, else the main page; a post from another
// site does not reach the dialog.
TEST_F(WebDialogTest, ButtonsLeadToTargetsOnThisServer) {
  const struct {
    const char* target;
    const char* body;
    const char* headers;
    const char* location;
  } cases[] = {
      {"dlg", "101=Ann&submitdef=++OK++&onok=userlist", "", "userlist"},
      {"dlg", "submit=Cancel&oncancel=teamlist&onok=userlist", "", "teamlist"},
      {"dlg", "submit=Cancel&onok=userlist", "", "userlist"},
      {"dlg", "101=a&submit=++OK++", "Referer: http://here/viewhours?x=1\r\n", "http://here/viewhours?x=1"},
      {"dlg", "101=a&submit=++OK++", "", "mainpage"},
      {"inform", "submit=Cancel&oncancel=leaveform", "", "leaveform"},
      {"notice", "submit=Return", "", "mainpage"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Post(c.target, c.body, c.headers),
              std::string("HTTP/1.0 302 OK\r\nLocation: ") + c.location + "\r\nX-Content-Type-Options: nosniff\r\n\r\n")
        << c.target << " " << c.body;
  }
  EXPECT_EQ(Post("dlg", "101=a&submit=++OK++", "Referer: http://evil.example/x\r\n"), kLHttpForeignOriginRefused);
}

// A refused OK marks the row with its message and shows every control as it
// was posted (an unchecked box stays unchecked, a list item is chosen by its
// index, "$" and an unknown text choose none); any other button shows the
// dialog again.
TEST_F(WebDialogTest, RedisplayKeepsThePostedValues) {
  const struct {
    const char* body;
    std::vector<std::string> parts;
    const char* absent;
  } cases[] = {
      {"101=+++&103=on&rbg2=201&104=2%24z&submit=++OK++&onok=userlist",
       {"<tr><td colspan=6><font color=#a00000>Please enter a name.</font></td></tr><tr bgcolor=#ffe0e0><td "
        "colspan=5>Name:</td><td><input name=101 type=text value=\"   \"",
        "name=103 checked>", "value=201 checked  >A", "value=202  >B", "<option value=\"2$z\" selected>z</option>",
        "name=onok value=\"userlist\""},
       "value=202 checked"},
      {"101=&104=%24w&submit=++OK++", {"name=103>Tick</input>"}, " selected"},
      {"101=Zed&submit=Other", {"value=\"Zed\""}, "Please enter"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    const std::string page = Post("dlg", c.body);
    ExpectParts(page, c.parts);
    EXPECT_EQ(page.find(c.absent), std::string::npos);
  }
  // Inside a form: shown until accepted, then the caller answers.
  EXPECT_EQ(Get("inform").find("accepted"), std::string::npos);
  EXPECT_EQ(Post("inform", "101=&submit=++OK++").find("accepted"), std::string::npos);
  EXPECT_EQ(Post("inform", "101=Ann&submit=++OK++"), "HTTP/1.0 200 OK\r\nX-Content-Type-Options: nosniff\r\n\r\naccepted");
}

}  // namespace
