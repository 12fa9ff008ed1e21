// Dialogs on a real server: first display, OK with Enter, refused OK,
// Cancel, the redirect chain, RunInForm and the message page.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/html_reader.h"
#include "support/web_server_fixture.h"
#include "web/http/http_responses.h"
#include "web/http/same_origin.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/kx_web_dialog.h"
#include "web/panel/message_page.h"

namespace {

class TestDialog : public LWebDialog {
 public:
  explicit TestDialog(LWebletForm& form) : LWebDialog(form, 50) {
    SetTitle("Details <1>");
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

class WebDialogTest : public WebServerTest {
 protected:
  void SetUp() override {
    WebServerTest::SetUp();
    StartServer(kTable);
  }
};

// What each page offers: a whole page whose one form posts to the page itself
// with every control's initial value, OK as the default button and the
// Referer as where OK and Cancel lead; the title and text; the product's
// dialog with its navigation and, cleared, no Cancel; the notice, a message
// page with Return.
TEST_F(WebDialogTest, PagesOfferTheirControls) {
  const std::string referer = "http://here/mainpage";
  const struct {
    const char* target;
    HtmlFields fields;
    const char* text;
    const char* help;
    bool cancel;
  } cases[] = {
      {"dlg",
       {{"101", "Bob"}, {"103", "on"}, {"rbg2", "202"}, {"104", "1$y"}, {"submitdef", "  OK  "},
        {"onok", referer}, {"oncancel", referer}},
       "Details <1> Name: Tick A B List: x y z a<b", "<none>", true},
      {"product", {{"301", ""}, {"submitdef", "  OK  "}, {"onok", referer}, {"oncancel", referer}},
       "Main Logoff Help Pass:", "help/topic.html", false},
      {"notice", {{"submitdef", "Return"}, {"onok", "mainpage"}, {"oncancel", referer}},
       "Kavrixserver Message Only System Administrator can access this page.", "help/index.html",
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    const std::string answer = Get(c.target, "Referer: " + referer + "\r\n");
    ASSERT_EQ(answer.rfind(kLHttpPageHeader, 0), 0u) << answer;
    const HtmlPage page(answer);
    ASSERT_EQ(page.Forms().size(), 1u);
    EXPECT_EQ(page.Forms()[0].action, c.target);
    EXPECT_EQ(page.Forms()[0].fields, c.fields);
    EXPECT_NE(page.Text().find(c.text), std::string::npos) << page.Text();
    EXPECT_EQ(page.Href("Help"), c.help);
    EXPECT_EQ(answer.find("value=\"Cancel\"") != std::string::npos, c.cancel);
  }
  EXPECT_EQ(HtmlPage(Get("product")).ByName("301")->Attribute("type"), "password");
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
    HtmlFields controls;
    const char* onok;
    bool refused;
  } cases[] = {
      {"101=+++&103=on&rbg2=201&104=2%24z&submit=++OK++&onok=userlist",
       {{"101", "   "}, {"103", "on"}, {"rbg2", "201"}, {"104", "2$z"}}, "userlist", true},
      {"101=&104=%24w&submit=++OK++", {{"101", ""}, {"104", "0$x"}}, "", true},
      {"101=Zed&submit=Other", {{"101", "Zed"}, {"104", "0$x"}}, "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    const HtmlPage page(Post("dlg", c.body));
    HtmlFields expected = c.controls;
    expected.insert(expected.end(), {{"submitdef", "  OK  "}, {"onok", c.onok}, {"oncancel", ""}});
    EXPECT_EQ(page.Fields(), expected);
    EXPECT_EQ(page.Text().find("Please enter a name.") != std::string::npos, c.refused);
  }
  // "$" and an unknown text choose no item.
  EXPECT_EQ(Post("dlg", "104=%24w&submit=Other").find(" selected"), std::string::npos);
  // Inside a form: shown until accepted, then the caller answers.
  EXPECT_EQ(Get("inform").find("accepted"), std::string::npos);
  EXPECT_EQ(Post("inform", "101=&submit=++OK++").find("accepted"), std::string::npos);
  EXPECT_EQ(Post("inform", "101=Ann&submit=++OK++"), "HTTP/1.0 200 OK\r\nX-Content-Type-Options: nosniff\r\n\r\naccepted");
}

}  // namespace
