// Report pages on a real server: the page frame of Open, hidden fields, the
// date-range choice and the search bar with its session defaults and links.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/date_time.h"
#include "model/users.h"
#include "support/time_zone.h"
#include "support/web_server_fixture.h"
#include "web/http/http_responses.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/kx_web_page.h"
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
    ASSERT_TRUE(KXAddUser("b@x.com", "bea", false, false, "", "boss@x.com", "pw"));
    ASSERT_TRUE(KXAddUser("c@x.com", "Carl", false, false, "", "other@x.com,BOSS@x.com", "pw"));
    StartServer(kTable);
  }
  void SetSession(const std::string& pairs) {
    ASSERT_TRUE(KavrixWriteFile(LWebletSessionData::Folder() + "/" + kSession + ".sess", pairs));
  }
  std::string Page(const std::string& target) { return Get(target, CookieLine(std::string("sess=") + kSession)); }
  // What the search bar wrote, from its script tag to the end of its row.
  std::string Bar(const std::string& target) {
    const std::string page = Page(target);
    const std::size_t start = page.find("<script type=\"text/javascript\" language=\"javascript\" "
                                        "src=\"datepicker.js\"></script>");
    const std::size_t end = page.find("</tr></table>", start);
    if (start == std::string::npos || end == std::string::npos) return page;
    return page.substr(start, end - start);
  }
};

// The form carries the session and the hidden fields; without a valid
// session there is no "sess" field.
TEST_F(KXWebPageTest, OpenWritesTheFormWithSessionAndHiddenFields) {
  SetSession("user=b%40x.com");
  const std::string page = Page("viewhours");
  ASSERT_EQ(page.rfind(kLHttpPageHeader, 0), 0u);
  for (const char* part : {"<form action=\"viewhours\" method=post><input type=hidden name=sess value=labcdefgh1>",
                           "<input name=n type=hidden value=\"42\"/>",
                           "<select name=daterange id=daterange onchange=\"changedates()\">"}) {
    EXPECT_NE(page.find(part), std::string::npos) << part;
  }
  const std::string titled = Get("viewhours?title=Hours+%3Cof%3E&apply=1");
  EXPECT_NE(titled.find("<td class=title>KavrixServer - Hours &lt;of&gt;</td>"), std::string::npos);
  EXPECT_NE(titled.find("<form action=\"viewhours\" method=post onSubmit=onapply()>"), std::string::npos);
  EXPECT_EQ(titled.find("name=sess"), std::string::npos);
}

// Without a current user the bar says so; its fields start from the
// session's choice; the day link steps a day with every argument encoded;
// without dates it asks for a search; the edit mode link carries the period
// and the year, and flips in edit mode.
TEST_F(KXWebPageTest, BarFieldsAndLinksFollowTheSession) {
  LDateTime now;
  ASSERT_TRUE(now.SetDateTime(2026, 6, 15, 12, 0, 0));
  LDateTime::SetFakeNow(now.value);
  const struct {
    const char* session;
    const char* bar;
    std::vector<std::string> parts;
    const char* absent;
  } cases[] = {
      {"user=b%40x.com&seluser=c%40x.com&date=2026-03-01", "dt",
       {"name=dateinput id=dateinput value=\"2026-03-01\"",
        "<a name=goPrev id=goPrev href=\"viewhours?seluser=c%40x.com&amp;date=2026-02-28&amp;starttime="
        "00%3A00%3A00&amp;endtime=24%3A00%3A00\">&lt;</a>"},
       "Please click on Search"},
      {"user=gone%40x.com", "ud", {"src=\"datepicker.js\"></script>Can't find current user!</form>"}, "userselect"},
      {"user=b%40x.com&seluser=c%40x.com&startdate=2026-01-01&enddate=2026-01-31", "rey",
       {"<option value=2026 selected>2026</option>",
        "<a name=editmode id=editmode href=\"viewhours?submit=%20%20Search%20%20&amp;edit=true&amp;seluser=c%40x.com"
        "&amp;startdate=2026-01-01&amp;enddate=2026-01-31&amp;yearselect=2026\">Edit Mode</a>"},
       "View Mode"},
      {"user=b%40x.com&edit=true&year=2025", "ey", {"edit=false", ">View Mode</a>", "<option value=2025 selected>"},
       "Edit Mode"},
  };
  for (const auto& c : cases) {
    SetSession(c.session);
    const std::string bar = Bar(std::string("viewhours?bar=") + c.bar);
    for (const std::string& part : c.parts) EXPECT_NE(bar.find(part), std::string::npos) << c.bar << ": " << part << "\n" << bar;
    EXPECT_EQ(bar.find(c.absent), std::string::npos) << c.bar << ": " << c.absent;
  }
}

TEST_F(KXWebPageTest, HostileSessionValuesStayInert) {
  SetSession("user=b%40x.com&seluser=%22%3E%3Cscript%3E&date=%27%3B%3C%2Fscript%3E");
  const std::string page = Page("viewhours?bar=ude");
  EXPECT_EQ(page.find("\"><script>"), std::string::npos);
  EXPECT_EQ(page.find("';</script>"), std::string::npos);
  // In the page script the values are string constants with escapes.
  EXPECT_NE(page.find("user: '\\x22\\x3E\\x3Cscript\\x3E'"), std::string::npos) << page;
  EXPECT_NE(page.find("date: '\\x27;\\x3C/script\\x3E'"), std::string::npos);
}

}  // namespace
