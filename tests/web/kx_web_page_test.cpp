// Report pages on a real server: the page frame of Open, hidden fields, the
// date-range choice and the search bar with its session defaults, user list
// and links.

#include <gtest/gtest.h>

#include <string>

#include "foundation/date_time.h"
#include "model/users.h"
#include "support/time_zone.h"
#include "support/web_server_fixture.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/kx_web_page.h"
#include "web/panel/page_frame.h"
#include "web/panel/search_bar.h"

namespace {

class TestReport : public LKXWebPage {
 public:
  TestReport(LWebletForm& form, const char* title)
      : LKXWebPage(form, "viewhours", "hours.html", title) {}
  void Generate() override {
    LHashTable& params = Form().Params();
    const std::string bar = params.GetParm("bar");
    if (bar.empty()) {
      AddInputHidden("n", 42);
      AddInputHidden("t", params.GetParm("t"));
      AddDateRangeSelect("from", "to", "<p>", "</p>");
      return;
    }
    const auto on = [&bar](char part) { return bar.find(part) != std::string::npos; };
    KXAddSearchBar(*this, on('u'), on('d'), on('r'), on('t'), on('e'), on('y'), on('s'));
  }
};

void ReportPage(LWebletForm& form) {
  TestReport page(form, form.Params().GetParm("title"));
  page.SetOnApply(form.Params().TestExists("apply"));
  page.Open();
}

const LWebScriptEntry kTable[] = {{"viewhours", ReportPage, LWebAccess::kAnyone}};

constexpr char kSession[] = "labcdefgh1";

class KXWebPageTest : public WebServerTest {
 protected:
  void SetUp() override {
    WebServerTest::SetUp();
    UsePanelFrame();
    ASSERT_TRUE(KXAddUser("boss@x.com", "Zoe Boss", false, false, "", "none@x.com", "pw"));
    ASSERT_TRUE(KXAddUser("admin@x.com", "Al Admin", true, false, "", "none@x.com", "pw"));
    ASSERT_TRUE(KXAddUser("b@x.com", "bea", false, false, "", "boss@x.com", "pw"));
    ASSERT_TRUE(KXAddUser("c@x.com", "Carl", false, false, "", "other@x.com,BOSS@x.com", "pw"));
    ASSERT_TRUE(KXAddUser("d@x.com", "Dan", false, false, "", "other@x.com", "pw"));
    StartServer(kTable);
  }
  void SetSession(const std::string& pairs) {
    ASSERT_TRUE(KavrixWriteFile(LWebletSessionData::Folder() + "/" + kSession + ".sess", pairs));
  }
  std::string Get(const std::string& target) {
    return Exchange("GET /" + target + " HTTP/1.0\r\nCookie: sess=" + std::string(kSession) +
                    "\r\n\r\n");
  }
  // What the search bar wrote, from its script tag to the end of its row.
  std::string Bar(const std::string& target) {
    const std::string page = Get(target);
    const std::size_t start = page.find("<script type=\"text/javascript\" language=\"javascript\" "
                                        "src=\"datepicker.js\"></script>");
    const std::size_t end = page.find("</tr></table>", start);
    if (start == std::string::npos || end == std::string::npos) return page;
    return page.substr(start, end - start);
  }
};

TEST_F(KXWebPageTest, OpenWritesFrameFormHiddenFieldsAndScript) {
  SetSession("user=b%40x.com");
  const std::string page = Get("viewhours?t=%22%3E%3Cscript%3E");
  ASSERT_EQ(page.rfind(kLHttpPageHeader, 0), 0u);
  EXPECT_NE(page.find("<div class=noprint><a href=\"mainpage\" class=toptext>Main</a>&nbsp;|"
                      "&nbsp;<a href=\"logout\" class=toptext>Logout</a>&nbsp;|&nbsp;<a "
                      "href=\"help/hours.html\" target=\"_blank\" class=toptext>Help</a></div>"),
            std::string::npos);
  EXPECT_NE(page.find("<tr valign=top><td><table class=kx-page style=\"width: 100%; height: 100%\"><tr "
                      "valign=top><td><form action=\"viewhours\" method=post><input type=hidden "
                      "name=sess value=labcdefgh1><input name=n type=hidden value=\"42\"/><input "
                      "name=t type=hidden value=\"&quot;&gt;&lt;script&gt;\"/><p><select "
                      "name=daterange id=daterange onchange=\"changedates()\"><option value=0 "
                      "selected>Date Range</option><option value=1>Today</option>"),
            std::string::npos)
      << page;
  EXPECT_NE(page.find("<option value=9>Last Year</option></select></p>\r\n<script "
                      "language=javascript type=\"text/javascript\">\r\n<!--\r\nfunction "
                      "kxDateText(v)"),
            std::string::npos);
  EXPECT_NE(page.find("kxSetDate('from', s);\r\n  kxSetDate('to', e);"), std::string::npos);
  EXPECT_NE(page.find("\r\n//-->\r\n</script>\r\n</form></td></tr></table></td></tr>"),
            std::string::npos);
  EXPECT_EQ(page.find("<script>"), std::string::npos);
  EXPECT_EQ(page.find("IsIE"), std::string::npos);
}

TEST_F(KXWebPageTest, ReportTitleAndOnApply) {
  const std::string page = Get("viewhours?title=Hours+%3Cof%3E&apply=1");
  EXPECT_NE(page.find("function IsIE() {return (navigator.userAgent.indexOf(\"IE\") != -1);}"),
            std::string::npos);
  EXPECT_NE(page.find("<tr><td class=title>KavrixServer - Hours &lt;of&gt;</td><td align=right "
                      "valign=bottom>"),
            std::string::npos);
  EXPECT_NE(page.find("Print This Page"), std::string::npos);
  EXPECT_NE(page.find("<form action=\"viewhours\" method=post onSubmit=onapply()>"),
            std::string::npos);
  // Without a valid session there is no "sess" field.
  EXPECT_EQ(page.find("name=sess"), std::string::npos);
}

TEST_F(KXWebPageTest, SearchBarWithoutCurrentUser) {
  SetSession("user=gone%40x.com");
  const std::string page = Get("viewhours?bar=ud");
  EXPECT_NE(page.find("src=\"datepicker.js\"></script>Can't find current user!</form>"),
            std::string::npos)
      << page;
}

TEST_F(KXWebPageTest, ManagerSeesManagedUsersByName) {
  SetSession("user=boss%40x.com&seluser=C%40X.com");
  const std::string bar = Bar("viewhours?bar=u");
  EXPECT_NE(bar.find("<td>User: <select name=userselect id=userselect "
                     "onchange=\"evChange('userselect')\"><option value=\"\">Select User ..."
                     "</option><option value=\"b@x.com\">bea</option><option value=\"c@x.com\" "
                     "selected>Carl</option></select></td>"),
            std::string::npos)
      << bar;
  EXPECT_NE(Bar("viewhours?bar=us").find("<option value=\"b@x.com\">bea</option><option "
                                         "value=\"c@x.com\" selected>Carl</option><option "
                                         "value=\"boss@x.com\">Zoe Boss</option></select>"),
            std::string::npos);
}

TEST_F(KXWebPageTest, AdministratorSeesEveryUser) {
  SetSession("user=admin%40x.com");
  EXPECT_NE(Bar("viewhours?bar=u").find(
                "<option value=\"\" selected>Select User ...</option><option "
                "value=\"admin@x.com\">Al Admin</option><option value=\"b@x.com\">bea</option>"
                "<option value=\"c@x.com\">Carl</option><option value=\"d@x.com\">Dan</option>"
                "<option value=\"boss@x.com\">Zoe Boss</option></select>"),
            std::string::npos);
}

TEST_F(KXWebPageTest, DateBarDefaultsAndDayLinks) {
  SetSession("user=b%40x.com&seluser=c%40x.com&date=2026-03-01");
  const std::string bar = Bar("viewhours?bar=dt");
  EXPECT_NE(bar.find("<td>Date: <input type=text name=dateinput id=dateinput "
                     "value=\"2026-03-01\" size=10 maxlength=10 title=\"Format: yyyy-mm-dd\" "
                     "onchange=\"evChange('dateinput')\">&nbsp;<a "
                     "href=\"javascript:NewCalendar('dateinput')\"><img src=\"cal.gif\""),
            std::string::npos)
      << bar;
  EXPECT_NE(bar.find("<td>Start Time: <input type=text name=starttime id=starttime "
                     "value=\"00:00:00\" size=8 maxlength=8 title=\"Format: HH:MM:SS\" "
                     "onchange=\"evChange('starttime')\"></td>"),
            std::string::npos);
  EXPECT_NE(bar.find("name=endtime id=endtime value=\"24:00:00\""), std::string::npos);
  EXPECT_NE(bar.find("<td>&nbsp;&nbsp;<input type=submit name=submit width=50 value=\"  "
                     "Search  \"/></td><td><a name=goPrev id=goPrev "
                     "href=\"viewhours?seluser=c%40x.com&amp;date=2026-02-28&amp;starttime="
                     "00%3A00%3A00&amp;endtime=24%3A00%3A00\">&lt;</a>&nbsp;<a name=goNext "
                     "id=goNext href=\"viewhours?seluser=c%40x.com&amp;date=2026-03-02&amp;"
                     "starttime=00%3A00%3A00&amp;endtime=24%3A00%3A00\">&gt;</a></td>"),
            std::string::npos);
  EXPECT_EQ(bar.find("Please click on Search"), std::string::npos);
}

TEST_F(KXWebPageTest, BarAsksForSearchWithoutDates) {
  SetSession("user=b%40x.com");
  EXPECT_NE(Bar("viewhours?bar=d").find(
                "<td><small>Please click on Search to show the report</small></td>"),
            std::string::npos);
  const std::string range = Bar("viewhours?bar=r");
  EXPECT_NE(range.find("<td><small>Please click on Search"), std::string::npos);
  EXPECT_NE(range.find("name=startdate id=startdate"), std::string::npos);
  EXPECT_NE(range.find("<td><select name=daterange id=daterange"), std::string::npos);
}

TEST_F(KXWebPageTest, EditModeLinkAndYear) {
  LDateTime now;
  ASSERT_TRUE(now.SetDateTime(2026, 6, 15, 12, 0, 0));
  LDateTime::SetFakeNow(now.value);
  SetSession("user=b%40x.com&seluser=c%40x.com&startdate=2026-01-01&enddate=2026-01-31");
  const std::string bar = Bar("viewhours?bar=rey");
  EXPECT_NE(bar.find("<option value=2027>2027</option><option value=2026 "
                     "selected>2026</option><option value=2025>2025</option><option "
                     "value=2024>2024</option></select>"),
            std::string::npos)
      << bar;
  EXPECT_NE(bar.find("<td><a name=editmode id=editmode href=\"viewhours?submit=%20%20Search%20"
                     "%20&amp;edit=true&amp;seluser=c%40x.com&amp;startdate=2026-01-01&amp;"
                     "enddate=2026-01-31&amp;yearselect=2026\">Edit Mode</a></td>"),
            std::string::npos);
  SetSession("user=b%40x.com&edit=true&year=2025");
  const std::string viewing = Bar("viewhours?bar=ey");
  EXPECT_NE(viewing.find("edit=false"), std::string::npos);
  EXPECT_NE(viewing.find(">View Mode</a>"), std::string::npos);
  EXPECT_NE(viewing.find("<option value=2025 selected>"), std::string::npos);
}

TEST_F(KXWebPageTest, HostileSessionValuesStayInert) {
  SetSession("user=b%40x.com&seluser=%22%3E%3Cscript%3E&date=%27%3B%3C%2Fscript%3E");
  const std::string page = Get("viewhours?bar=ude");
  EXPECT_EQ(page.find("\"><script>"), std::string::npos);
  EXPECT_EQ(page.find("';</script>"), std::string::npos);
  // In the page script the values are string constants with escapes.
  EXPECT_NE(page.find("user: '\\x22\\x3E\\x3Cscript\\x3E'"), std::string::npos) << page;
  EXPECT_NE(page.find("date: '\\x27;\\x3C/script\\x3E'"), std::string::npos);
}

}  // namespace
