// Dialogs on a real server: first display, OK with Enter, refused OK,
// Cancel, the redirect chain, RunInForm, radio groups, pull-down lists and
// hostile values.

#include <gtest/gtest.h>

#include <string>

#include "station/station_pages.h"
#include "support/web_server_fixture.h"
#include "web/http/same_origin.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/account/session_invalid_page.h"
#include "web/panel/kx_web_dialog.h"
#include "web/panel/message_page.h"
#include "web/panel/page_frame.h"

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
    if (which == "readonly") AddInputReadOnly(301, "RO:", 8);
    if (which == "static") AddInputReadOnlyStatic(301, "St:");
    if (which == "radioinput") AddRadioButtonWithInput(401, 302, "R", true, 4, "days", true);
    if (which == "hidden") AddHiddenField(301, 5), AddHiddenField("h", "v\"");
    if (which == "link") AddHyperLinkSpanRightSmall(301, "x?a=1&b=2", "Go", true);
    if (which == "space") AddVerticalSpace(2);
    if (which == "div") AddDivHidden(301);
    if (which == "group") StartGroupBox("Box"), EndGroupBox();
    if (which == "date") AddDateInput(301, "Day:", 10);
    if (which == "time") AddTimeInput(301, "At:", 8);
    if (which == "withsubmit") AddInputWithSubmit(301, "Find:", "Go", 12, false);
  }
};

void ControlsPage(LWebletForm& form) {
  ControlsDialog dialog(form);
  dialog.Run();
}

void AdminNoticePage(LWebletForm& form) {
  form.Params().SetParm("onok", "mainpage");
  WLPageFrame().message(form, "Return", "Only System Administrator can access this page.");
}

const LWebScriptEntry kTable[] = {
    {"dlg", DialogPage, LWebAccess::kAnyone},
    {"inform", InFormPage, LWebAccess::kAnyone},
    {"probe", ProbePage, LWebAccess::kAnyone},
    {"controls", ControlsPage, LWebAccess::kAnyone},
    {"notice", AdminNoticePage, LWebAccess::kAnyone},
    {"sessioninvalid", WLSessionInvalidPage, LWebAccess::kAnyone},
};

std::string Body(const std::string& response) {
  const std::size_t at = response.find("\r\n\r\n");
  return at == std::string::npos ? response : response.substr(at + 4);
}

class WebDialogTest : public WebServerTest {
 protected:
  void SetUp() override {
    WebServerTest::SetUp();
    UsePanelFrame();
    StartServer(kTable);
  }
  std::string Get(const std::string& target, const std::string& headers = "") {
    return Exchange("GET /" + target + " HTTP/1.0\r\nHost: here\r\n" + headers + "\r\n");
  }
  std::string Post(const std::string& path, const std::string& body,
                   const std::string& headers = "") {
    return Exchange("POST /" + path + " HTTP/1.0\r\nHost: here\r\n" + headers +
                    "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  }
  // The dialog between the page head and the footer.
  static std::string DialogPart(const std::string& response) {
    const std::size_t start = response.find("<tr valign=middle><td><br>");
    const std::size_t end = response.find("</td></tr><tr height=1>");
    if (start == std::string::npos || end == std::string::npos) return "<no dialog>";
    return response.substr(start + 26, end - start - 26);
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

TEST_F(WebDialogTest, FirstDisplayWritesEveryControlExactly) {
  const std::string response = Get("dlg", "Referer: http://here/mainpage\r\n");
  ASSERT_EQ(response.rfind(kLHttpPageHeader, 0), 0u) << response;
  EXPECT_NE(response.find("<tr><td class=title><b>KavrixServer</b></td><td align=right "
                          "valign=bottom><div class=noprint></div></td></tr>"),
            std::string::npos);
  EXPECT_EQ(response.substr(response.size() - 22), "</table></body></html>");
  EXPECT_EQ(DialogPart(response),
            "<table border=0 width=100%><tr valign=top><td align=center><form action=\"dlg\" "
            "method=post><table cellpadding=10 cellspacing=0 style=\"border: #bbbbbb 1px "
            "solid; width: 50%\">"
            "<tr><td style=\"padding:3px 6px 3px 6px; background-color:#e5ecf9; border:1px "
            "solid #cccccc;\"><b>Details &lt;1&gt;</b></td></tr>"
            "<tr><td><table border=0 style=\"width: 100%\"><tr><td colspan=5></td></tr>"
            "<tr><td colspan=5>Name:</td><td><input name=101 type=text value=\"Bob\" size=20 "
            "style=\"font-family: Arial,sans-serif; font-size: 10pt;\" title=\"Your "
            "name\"></td></tr>"
            "<tr><td colspan=6><input type=checkbox title=\"Tick it\" name=103 "
            "checked>Tick</input></td><td></td></tr>"
            "<tr><td colspan=6><input type=radio title=\"First\" name=rbg2 id=rbg2 value=201  "
            ">A</input></td><td></td></tr>"
            "<tr><td colspan=6><input type=radio title=\"\" name=rbg2 id=rbg2 value=202 "
            "checked  >B</input></td><td></td></tr>"
            "<tr><td colspan=5>List:</td><td><select name=104 title=\"\"><option "
            "value=\"0$x\">x</option><option value=\"1$y\" selected>y</option><option "
            "value=\"2$z\">z</option></select></td></tr>"
            "<tr><td colspan=6>a&lt;b</td></tr>"
            "</table></td></tr>"
            "<tr><td colspan=5><div align=right><input type=submit name=submit width=50 "
            "value=\"  OK  \" style=\"font-family: Arial,sans-serif; font-size: 10pt;\"><input "
            "type=hidden name=submitdef value=\"  OK  \"><input type=submit name=submit "
            "value=\"Cancel\" style=\"font-family: Arial,sans-serif; font-size: "
            "10pt;\"></div></td></tr>"
            "<tr><td><input type=hidden name=onok value=\"http://here/mainpage\"><input "
            "type=hidden name=oncancel value=\"http://here/mainpage\"></form></td></tr></table>"
            "</td></tr></table>");
}

TEST_F(WebDialogTest, EnterPostsOkThroughSubmitdef) {
  const std::string response = Post("dlg", "101=Ann&submitdef=++OK++&onok=userlist");
  EXPECT_EQ(response, "HTTP/1.0 302 OK\r\nLocation: userlist\r\nX-Content-Type-Options: nosniff\r\n\r\n");
}

TEST_F(WebDialogTest, RefusedOkKeepsTypedValuesAndMarksTheRow) {
  const std::string response =
      Post("dlg", "101=+++&103=on&rbg2=201&104=2%24z&submit=++OK++&onok=userlist");
  const std::string rows = Rows(response);
  EXPECT_EQ(rows.find("<tr><td colspan=6><font color=#a00000>Please enter a name.</font></td>"
                      "</tr><tr bgcolor=#ffe0e0><td colspan=5>Name:</td><td><input name=101 "
                      "type=text value=\"   \""),
            0u)
      << rows;
  EXPECT_NE(rows.find("name=103 checked>"), std::string::npos);
  EXPECT_NE(rows.find("value=201 checked  >A"), std::string::npos);
  EXPECT_NE(rows.find("value=202  >B"), std::string::npos);
  EXPECT_NE(rows.find("<option value=\"2$z\" selected>z</option>"), std::string::npos);
  EXPECT_NE(response.find("name=onok value=\"userlist\""), std::string::npos);
}

TEST_F(WebDialogTest, UncheckedBoxStaysUncheckedOnRedisplay) {
  const std::string rows = Rows(Post("dlg", "101=&submit=++OK++"));
  EXPECT_NE(rows.find("name=103>Tick</input>"), std::string::npos) << rows;
}

TEST_F(WebDialogTest, CancelGoesToOncancelOrElseLikeOk) {
  EXPECT_EQ(Post("dlg", "submit=Cancel&oncancel=teamlist&onok=userlist"),
            "HTTP/1.0 302 OK\r\nLocation: teamlist\r\nX-Content-Type-Options: nosniff\r\n\r\n");
  EXPECT_EQ(Post("dlg", "submit=Cancel&onok=userlist"),
            "HTTP/1.0 302 OK\r\nLocation: userlist\r\nX-Content-Type-Options: nosniff\r\n\r\n");
}

TEST_F(WebDialogTest, AnyOtherButtonWritesTheDialogAgain) {
  const std::string response = Post("dlg", "101=Zed&submit=Other");
  EXPECT_NE(Rows(response).find("value=\"Zed\""), std::string::npos);
}

TEST_F(WebDialogTest, RedirectChainOnokThenRefererThenMainPage) {
  EXPECT_EQ(Post("dlg", "101=a&submit=++OK++", "Referer: http://here/viewhours?x=1\r\n"),
            "HTTP/1.0 302 OK\r\nLocation: http://here/viewhours?x=1\r\nX-Content-Type-Options: nosniff\r\n\r\n");
  EXPECT_EQ(Post("dlg", "101=a&submit=++OK++"),
            "HTTP/1.0 302 OK\r\nLocation: mainpage\r\nX-Content-Type-Options: nosniff\r\n\r\n");
}

TEST_F(WebDialogTest, ForeignTargetsAreNotFollowed) {
  EXPECT_EQ(Post("dlg", "101=a&submit=++OK++&onok=http%3A%2F%2Fevil.example%2F"),
            "HTTP/1.0 302 OK\r\nLocation: mainpage\r\nX-Content-Type-Options: nosniff\r\n\r\n");
  // A post from another site does not even reach the dialog.
  EXPECT_EQ(Post("dlg", "101=a&submit=++OK++", "Referer: http://evil.example/x\r\n"),
            kLHttpForeignOriginRefused);
  EXPECT_EQ(Post("dlg", "submit=Cancel&oncancel=javascript%3Aalert(1)&onok=%2F%2Fevil"),
            "HTTP/1.0 302 OK\r\nLocation: mainpage\r\nX-Content-Type-Options: nosniff\r\n\r\n");
}

TEST_F(WebDialogTest, RunInFormOutcomes) {
  // First display: the dialog, and the caller does not go on.
  const std::string first = Get("inform");
  EXPECT_NE(first.find("<form action=\"inform\""), std::string::npos);
  EXPECT_EQ(first.find("accepted"), std::string::npos);
  // Another button: back to "oncancel", then the Referer.
  EXPECT_EQ(Post("inform", "submit=Cancel&oncancel=leaveform"),
            "HTTP/1.0 302 OK\r\nLocation: leaveform\r\nX-Content-Type-Options: nosniff\r\n\r\n");
  EXPECT_EQ(Post("inform", "submit=Cancel", "Referer: http://here/timesheet\r\n"),
            "HTTP/1.0 302 OK\r\nLocation: http://here/timesheet\r\nX-Content-Type-Options: nosniff\r\n\r\n");
  // Refused: the dialog again with the message.
  const std::string refused = Post("inform", "101=&submit=++OK++");
  EXPECT_NE(refused.find("Please enter a name."), std::string::npos);
  EXPECT_EQ(refused.find("accepted"), std::string::npos);
  // Accepted: nothing written by the dialog, the caller answers.
  EXPECT_EQ(Post("inform", "101=Ann&submit=++OK++"), "HTTP/1.0 200 OK\r\n"
                                                     "X-Content-Type-Options: nosniff\r\n\r\naccepted");
}

TEST_F(WebDialogTest, ValueAccessReadsRadioGroupsAndNumbers) {
  EXPECT_EQ(Body(Post("probe", "101=++Al+B++&104=3%24Text&rbg1=101")),
            "101=[Al B] int104=3 r101=1 r102=0");
  EXPECT_EQ(Body(Post("probe", "rbg1=102")), "101=[] int104=0 r101=0 r102=1");
}

TEST_F(WebDialogTest, PullDownSelectsByTextOrIndex) {
  // "$" and a text that no item has selects nothing.
  EXPECT_EQ(Rows(Post("dlg", "101=&104=%24w&submit=++OK++")).find(" selected"),
            std::string::npos);
  EXPECT_NE(Rows(Post("dlg", "101=&104=0%24x&submit=++OK++")).find("\"0$x\" selected"),
            std::string::npos);
}

TEST_F(WebDialogTest, HostileValuesAreEscapedEverywhere) {
  const std::string evil = "%22%3E%3Cscript%3E";  // "><script>
  const std::string response =
      Post("dlg", "101=" + evil + "&104=%24" + evil + "&submit=Other&onok=" + evil +
                      "&oncancel=" + evil,
           "Referer: " + std::string("http://here/\"><script>") + "\r\n");
  EXPECT_NE(response.find("value=\"&quot;&gt;&lt;script&gt;\""), std::string::npos);
  EXPECT_EQ(response.find("<script>"), std::string::npos) << response;
  const std::string redisplay =
      Post("controls", "which=static&301=" + evil + "&submit=x&onok=" + evil);
  EXPECT_EQ(redisplay.find("\"><script>"), std::string::npos) << redisplay;
  EXPECT_NE(redisplay.find("value=\"&quot;&gt;&lt;script&gt;\">&quot;&gt;&lt;script&gt;"),
            std::string::npos);
  EXPECT_NE(redisplay.find("name=onok value=\"&quot;&gt;&lt;script&gt;\""), std::string::npos);
}

TEST_F(WebDialogTest, ControlRowsAreExact) {
  const auto rows = [this](const std::string& which, const std::string& extra = "") {
    return Rows(Post("controls", "which=" + which + "&submit=x" + extra));
  };
  const std::string font = "style=\"font-family: Arial,sans-serif; font-size: 10pt;\"";
  EXPECT_EQ(rows("password", "&301=p%26"),
            "<tr><td>&nbsp;</td><td colspan=4>Pass:</td><td><input name=301 type=password "
            "value=\"p&amp;\" size=8 " + font + " title=\"\"></td></tr>");
  EXPECT_EQ(rows("readonly", "&301=r"),
            "<tr><td>&nbsp;</td><td colspan=4>RO:</td><td><input name=301 type=text value=\"r\" "
            "size=8 readonly style=\"font-family: Arial,sans-serif; font-size: 10pt; "
            "background-color:#CCCCCC;\" title=\"\"></td></tr>");
  EXPECT_EQ(rows("static", "&301=s"),
            "<tr><td>&nbsp;</td><td colspan=4>St:</td><td style=\"font-family: "
            "Arial,sans-serif; font-size: 11pt;\"><input name=301 type=hidden "
            "value=\"s\">s</td></tr>");
  EXPECT_EQ(rows("radioinput", "&rbg4=401&302=7"),
            "<tr><td>&nbsp;</td><td colspan=5><input type=radio title=\"\" name=rbg4 id=rbg4 "
            "value=401 checked onclick=validate() disabled>R</input>&nbsp;<input name=302 "
            "type=text value=\"7\" size=4 " + font + " title=\"\" disabled>&nbsp;days</input>"
            "</td><td></td></tr>");
  EXPECT_EQ(rows("hidden"),
            "<tr><td>&nbsp;</td><td colspan=4><input name=301 type=hidden value=5></td></tr>"
            "<tr><td>&nbsp;</td><td colspan=4><input name=h type=hidden "
            "value=\"v&quot;\"></td></tr>");
  EXPECT_EQ(rows("link"),
            "<tr><td>&nbsp;</td><td colspan=4></td><td><font size=-2><a name=301 "
            "href=\"x?a=1&amp;b=2\" title=\"\" target=t2>Go</a></font></td></tr>");
  EXPECT_EQ(rows("space"),
            "<tr><td>&nbsp;</td><td colspan=4><td height=32></td></td></tr>");
  EXPECT_EQ(rows("div"),
            "<tr><td>&nbsp;</td><td colspan=4><div id=301 type=hidden></div></td></tr>");
  EXPECT_EQ(rows("group"),
            "<tr><td colspan=4><fieldset><legend>&nbsp;Box&nbsp;</legend><table></table>"
            "</fieldset></td></tr>");
  EXPECT_EQ(rows("time", "&301=08%3A00%3A00"),
            "<tr><td>&nbsp;</td><td colspan=4>At:</td><td><input name=301 type=text "
            "value=\"08:00:00\" size=8 " + font + " title=\"Format: hh:mm:ss\"></td></tr>");
  EXPECT_EQ(rows("withsubmit"),
            "<tr><td>&nbsp;</td><td colspan=4>Find:</td><td><input name=301 type=text value=\"\" "
            "size=12 " + font + " title=\"\"></td><td><input type=submit name=submit "
            "value=\"Go\" " + font + "></td></tr>");
}

TEST_F(WebDialogTest, DateInputCarriesTheCalendarButton) {
  const std::string response = Post("controls", "which=date&301=2026-01-02&submit=x");
  EXPECT_NE(response.find("<script type=\"text/javascript\" language=\"javascript\" "
                          "src=\"datepicker.js\"></script>"),
            std::string::npos);
  EXPECT_NE(response.find("<input name=301 id=301 type=text value=\"2026-01-02\" maxlength=10 "
                          "size=10 style=\"font-family: Arial,sans-serif; font-size: 10pt;\" "
                          "title=\"Format: yyyy-mm-dd\">&nbsp;<a "
                          "href=\"javascript:NewCalendar(301)\"><img src=\"cal.gif\" width=16 "
                          "height=16 border=0"),
            std::string::npos);
}

TEST_F(WebDialogTest, ProductDialogHasNavigationAndNoCancelWhenCleared) {
  const std::string response = Get("controls?which=div");
  EXPECT_NE(response.find("<div class=noprint><a href=\"mainpage\" class=toptext>Main</a>"
                          "&nbsp;&nbsp;<a href=\"logout\" class=toptext>Logoff</a>&nbsp;&nbsp;"
                          "<a href=\"help/topic.html\" class=toptext target=_blank>Help</a>"
                          "&nbsp;&nbsp;</div>"),
            std::string::npos);
  EXPECT_EQ(response.find("value=\"Cancel\""), std::string::npos);
  // Without a title there is no title bar.
  EXPECT_EQ(response.find("background-color:#e5ecf9"), std::string::npos);
}

TEST_F(WebDialogTest, AdministratorNoticeIsAMessagePage) {
  const std::string response = Get("notice");
  EXPECT_NE(response.find("<b>Kavrixserver Message</b>"), std::string::npos);
  EXPECT_NE(response.find("<tr><td colspan=6>Only System Administrator can access this "
                          "page.</td></tr>"),
            std::string::npos);
  EXPECT_NE(response.find("value=\"Return\""), std::string::npos);
  EXPECT_EQ(response.find("value=\"Cancel\""), std::string::npos);
  EXPECT_NE(response.find("<a href=\"help/index.html\" class=toptext target=_blank>Help</a>"),
            std::string::npos);
  EXPECT_EQ(Post("notice", "submit=Return"), "HTTP/1.0 302 OK\r\nLocation: mainpage\r\n"
                                             "X-Content-Type-Options: nosniff\r\n\r\n");
}

TEST_F(WebDialogTest, SessionExpiredPageUsesTheStandardFrame) {
  const std::string response = Get("sessioninvalid");
  EXPECT_EQ(response.find("<div class=noprint>"), std::string::npos);
  EXPECT_NE(response.find("<tr valign=top><td><center>Your session is expired. Please <a "
                          "href=\"logon\"><b>Click Here</b></a> to relogin.</center></td></tr>"),
            std::string::npos);
}

}  // namespace
