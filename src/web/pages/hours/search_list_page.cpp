#include "web/pages/hours/search_list_page.h"

#include <dirent.h>
#include <sys/stat.h>

#include <ctime>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "foundation/path_parts.h"
#include "model/core_data.h"
#include "web/http/weblet_send.h"
#include "web/pages/hours/hours_viewer.h"
#include "web/pages/hours/report_dates.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"
#include "web/panel/html_list.h"
#include "web/text/uri_codec.h"

namespace {

// What each report lists and where its pages are.
struct ReportClass {
  const char* name;
  const char* searchUrl;  // the report for the user: one %s, the address
  const char* dayUrl;     // the report of one day: %s the address, then the date (twice where given)
  bool folders;           // screenshots are folders, the logs files
  const char* marks[2];   // a listed name holds one of these
};

constexpr ReportClass kClasses[] = {
    {"viewscreens", "viewscreens?seluser=%s",
     "viewscreens?seluser=%s&date=%s&direct=true&starttime=00:00:00&endtime=23:59:59", true, {"", nullptr}},
    {"viewactivity", "viewactivity?seluser=%s",
     "viewactivity?seluser=%s&date=%s&direct=true&starttime=00:00:00&endtime=23:59:59", false,
     {"_activity.csv", nullptr}},
    {"viewhours", "viewhours?seluser=%s", "viewhours?seluser=%s&date=%s&enddate=%s&direct=true", false,
     {"_activity.csv", "_manual.csv"}},
    {"viewmanual", "viewmanual?seluser=%s&edit=false", "viewmanual?seluser=%s&direct=true&edit=false&date=%s&enddate=%s",
     false, {"_manual.csv", nullptr}},
    {"viewappusage", "viewappusage?seluser=%s", "viewappusage?seluser=%s&date=%s&enddate=%s&direct=true", false,
     {"_activity.csv", nullptr}},
};

constexpr const char* kWeekDays[] = {"Sun.", "Mon.", "Tue.", "Wed.", "Thu.", "Fri.", "Sat."};

const ReportClass* FindClass(std::string_view name) {
  for (const ReportClass& c : kClasses) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

bool Listed(const ReportClass& c, const std::string& name) {
  for (const char* mark : c.marks) {
    if (mark != nullptr && name.find(mark) != std::string::npos) return true;
  }
  return false;
}

// The dates of `month` ("YYYY-MM") in the user's folder, earliest first: the
// folder's own order is whatever the file system keeps.
std::vector<std::string> DatesOf(const std::string& email, const ReportClass& c, const std::string& month) {
  // Looking must not make a folder for a user who has none; "<folder>/." names
  // the folder itself.
  const std::string folder = LKXCoreData::GetUserFilePathForReading(email, ".");
  if (folder.empty()) return {};
  std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
  if (!dir) return {};
  std::set<std::string> sorted;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || name.find(month) == std::string::npos) continue;
    if (LIsFolder(folder + "/" + name) != c.folders || !Listed(c, name)) continue;
    LDateTime day;
    const std::string date = name.substr(0, 10);
    if (!KXReadReportDate(date, "12:00:00", day)) continue;
    sorted.insert(date);
  }
  return {sorted.begin(), sorted.end()};
}

bool ReadMonth(std::string_view text, LDateTime& first) {
  return text.size() == 7 && KXReadReportDate(std::string(text) + "-01", "12:00:00", first);
}

std::string DayUrl(const ReportClass& c, const std::string& user, const std::string& date) {
  LStringWriter out;
  const LFormatArg args[] = {LFormatArg(user), LFormatArg(date), LFormatArg(date), LFormatArg()};
  tplformatv(out, c.dayUrl, args, 3);
  return out.Take();
}

}  // namespace

void WLSearchListPage(LWebletForm& form) {
  LKXSearchListPage page(form);
  page.Open();
}

LKXSearchListPage::LKXSearchListPage(LWebletForm& form) : LKXWebPage(form, "searchlistpost", "searchlist.html", "") {}

void LKXSearchListPage::Generate() {
  LWebletForm& form = Form();
  LKXUser viewer;
  if (!KXGetCurrentUser(form, viewer)) {
    WLSendRaw(form, kKXCurrentUserNotFound);
    return;
  }
  const ReportClass* report = FindClass(form.Params().GetParm("class"));
  if (report == nullptr) {
    WLSendRaw(form, kKXSearchListUnknownClass);
    return;
  }
  std::string seluser = form.Params().GetParm("seluser");
  if (seluser.empty()) seluser = form.Session().GetParm("seluser");
  std::string email;
  if (!KXChooseShownUser(viewer, seluser, email) || !KXViewerMaySee(viewer, email)) {
    WLSendRaw(form, kKXNotAuthorized);
    return;
  }
  const std::string thisMonth = LDateTime::Now().GetDateText().substr(0, 7);
  std::string month = form.Params().GetParm("yearmonth");
  if (month.empty()) month = thisMonth;
  LDateTime first;
  if (!ReadMonth(month, first)) {
    WLSendRaw(form, kKXSearchListBadMonth);
    return;
  }
  const std::string user = LHrefValue(email);
  LStringWriter search;
  const LFormatArg searchArgs[] = {LFormatArg(user), LFormatArg()};
  tplformatv(search, report->searchUrl, searchArgs, 1);
  wfformat(form,
           "<div align=right><input type=button value=\"%s\" onclick=\"location.href='%H'\"></div>",
           kSearchLabel, search.Take());

  LDateTime previous = first;
  LDateTime next = first;
  (void)previous.AddCalendarDays(-1);
  (void)next.AddCalendarDays(27 + 4);
  wfformat(form,
           "<table class=searchbar><tr><td><a href=\"searchlist?seluser=%s&class=%s&yearmonth=%s\">&lt;&lt;</a></td>"
           "<td><b>%s</b></td><td>",
           user, report->name, previous.GetDateText().substr(0, 7), month);
  if (month < thisMonth) {
    wfformat(form, "<a href=\"searchlist?seluser=%s&class=%s&yearmonth=%s\">&gt;&gt;</a>", user, report->name,
             next.GetDateText().substr(0, 7));
  }
  WLSendRaw(form, "</td></tr></table>Please select the date you want to see: <ul>");
  for (const std::string& date : DatesOf(email, *report, month)) {
    LDateTime day;
    (void)KXReadReportDate(date, "12:00:00", day);
    struct tm fields {};
    const int weekDay = day.GetLocalTime(&fields) ? fields.tm_wday : 0;
    wfformat(form, "<li><a href=\"%H\">%H&nbsp;%H</a></li>", DayUrl(*report, user, date), date, kWeekDays[weekDay]);
  }
  WLSendRaw(form, "</ul>");
}

void WLSearchListPost(LWebletForm& form) { WLSendNoContent(form); }
