// Dialogs on a real server: first display, OK with Enter, refused OK,
// Cancel, the redirect chain, RunInForm, radio groups, pull-down lists and
// hostile values.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "station/station_pages.h"
#include "support/web_server_fixture.h"
#include "web/http/http_responses.h"
#include "web/http/same_origin.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/account/session_invalid_page.h"
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

// Reports what the dialog reads from the posted values.
class ProbeDialog : public LWebDialog {
 public:
  explicit ProbeDialog(LWebletForm& form) : LWebDialog(form, 0) {}
  void Generate() override {}
  std::string Report() {
    std::string trimmed;
    GetTextAndTrim(101, trimmed);
    return "101=[" + trimmed + "] int104=" + std::to_string(GetControlValueInt(104)) +
           " r101=" + (GetRadioCheck(101) ? "1" : "0") + " r102=" +
           (GetRadioCheck(102) ? "1" : "0");
  }
};

void ProbePage(LWebletForm& form) {
  ProbeDialog probe(form);
  WLSendRaw(form, "HTTP/1.0 200 OK\r\n\r\n" + probe.Report());
}

// Every other control writer, for exact rows.
class ControlsDialog : public LKXWebDialog {
 public:
  explicit ControlsDialog(LWebletForm& form) : LKXWebDialog(form, "topic", "", 0) {
    SetCancelLabel("");
    SetIndent(1);
  }
  void Generate() override {
    const std::string which = Form().Params().GetParm("which");
    if (which == "password") AddInputPassword(301, "Pass:", 8);
    if (which == "static") AddInputReadOnlyStatic(301, "St:");
    if (which == "radioinput") AddRadioButtonWithInput(401, 302, "R", true, 4, "days", true);
    if (which == "hidden") AddHiddenField(301, 5), AddHiddenField("h", "v\"");
    if (which == "div") AddDivHidden(301);
    if (which == "date") AddDateInput(301, "Day:", 10);
  }
};

void ControlsPage(LWebletForm& form) {
  ControlsDialog dialog(form);
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
    {"probe", ProbePage, LWebAccess::kAnyone},
    {"controls", ControlsPage, LWebAccess::kAnyone},
    {"notice", AdminNoticePage, LWebAccess::kAnyone},
    {"sessioninvalid", WLSessionInvalidPage, LWebAccess::kAnyone},
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
  // The rows written by Generate.
  static std::string Rows(const std::string& response) {
    const std::string open = "<tr><td colspan=5></td></tr>";
    const std::size_t start = response.find(open);
    const std::size_t end = response.find("</table></td></tr><tr", start);
    if (start == std::string::npos || end == std::string::npos) return "<no rows>";
    return response.substr(start + open.size(), end - start - open.size());
  }
};

// What each page offers: the first display of a dialog, a whole page whose
// form posts to the dialog itself with every control's initial value, the
// escaped title and text, OK as the default button and the Referer as where
// OK and Cancel lead; every other control writer with its value escaped and
// its state; the product's dialog with its navigation and, cleared, no
// Cancel; the notice, a message page with Return; the expired session page
// without navigation.
TEST_F(WebDialogTest, PagesOfferTheirControls) {
  const struct {
    std::string target;
    const char* body;  // null: a GET
    std::vector<std::string> parts;
    const char* absent;
  } cases[] = {
      {"dlg", nullptr,
       {"<form action=\"dlg\" method=post>", "<b>Details &lt;1&gt;</b>", "<input name=101 type=text value=\"Bob\" size=20",
        "<input type=checkbox title=\"Tick it\" name=103 checked>Tick</input>",
        "name=rbg2 id=rbg2 value=201  >A</input>", "name=rbg2 id=rbg2 value=202 checked  >B</input>",
        "<select name=104 title=\"\"><option value=\"0$x\">x</option><option value=\"1$y\" "
        "selected>y</option><option value=\"2$z\">z</option></select>",
        "<tr><td colspan=6>a&lt;b</td></tr>", "<input type=submit name=submit width=50 value=\"  OK  \"",
        "<input type=hidden name=submitdef value=\"  OK  \">", "<input type=submit name=submit value=\"Cancel\"",
        "<input type=hidden name=onok value=\"http://here/mainpage\"><input type=hidden "
        "name=oncancel value=\"http://here/mainpage\"></form>",
        "</table></body></html>"},
       "Please enter a name."},
      {"controls", "which=password&submit=x&301=p%26", {"<input name=301 type=password value=\"p&amp;\" size=8 "}, "Cancel"},
      {"controls", "which=static&submit=x&301=%22%3E%3Cscript%3E&onok=%22%3E%3Cscript%3E",
       {"<input name=301 type=hidden value=\"&quot;&gt;&lt;script&gt;\">&quot;&gt;&lt;script&gt;</td>",
        "name=onok value=\"&quot;&gt;&lt;script&gt;\""}, "\"><script>"},
      {"controls", "which=radioinput&submit=x&rbg4=401&302=7",
       {"name=rbg4 id=rbg4 value=401 checked onclick=validate() disabled>R</input>",
        "<input name=302 type=text value=\"7\" size=4 ", " disabled>&nbsp;days</input>"}, "Cancel"},
      {"controls", "which=hidden&submit=x",
       {"<input name=301 type=hidden value=5>", "<input name=h type=hidden value=\"v&quot;\">"}, "Cancel"},
      {"controls", "which=date&submit=x&301=2026-01-02",
       {"src=\"datepicker.js\"></script>", "<input name=301 id=301 type=text value=\"2026-01-02\" maxlength=10 size=10 ",
        "<a href=\"javascript:NewCalendar(301)\"><img src=\"cal.gif\""}, "Cancel"},
      {"controls?which=div", nullptr,  // no title, no title bar
       {"<a href=\"mainpage\" class=toptext>Main</a>", "<a href=\"logout\" class=toptext>Logoff</a>",
        "<a href=\"help/topic.html\" class=toptext target=_blank>Help</a>"}, "background-color:#e5ecf9"},
      {"notice", nullptr,
       {"<b>Kavrixserver Message</b>", "<td colspan=6>Only System Administrator can access this page.</td>",
        "value=\"Return\"", "<a href=\"help/index.html\" class=toptext target=_blank>Help</a>"}, "value=\"Cancel\""},
      {"sessioninvalid", nullptr,
       {"Your session is expired. Please <a href=\"logon\"><b>Click Here</b></a> to relogin."}, "<div class=noprint>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target + (c.body != nullptr ? std::string(" ") + c.body : ""));
    const std::string page =
        c.body != nullptr ? Post(c.target, c.body) : Get(c.target, "Referer: http://here/mainpage\r\n");
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
      {"dlg", "101=a&submit=++OK++&onok=http%3A%2F%2Fevil.example%2F", "", "mainpage"},
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
// dialog again; posted values come back escaped.
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
      {"101=%22%3E%3Cscript%3E&104=%24%22%3E%3Cscript%3E&submit=Other&onok=%22%3E%3Cscript%3E&oncancel=%22%3E",
       {"value=\"&quot;&gt;&lt;script&gt;\""}, "<script>"},
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
  EXPECT_EQ(BodyOf(Post("probe", "101=++Al+B++&104=3%24Text&rbg1=101")), "101=[Al B] int104=3 r101=1 r102=0");
}

}  // namespace
