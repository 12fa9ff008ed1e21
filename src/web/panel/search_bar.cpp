// The report search bar. Its values come from the session, into which the
// report handlers copy what was posted, so the bar and the report always
// show the same choice.

#include "web/panel/search_bar.h"

#include <algorithm>
#include <ctime>
#include <vector>

#include "foundation/date_time.h"
#include "foundation/settings_parse.h"
#include "model/registry_lists.h"
#include "model/registry_text.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/current_user.h"
#include "web/panel/html_list.h"
#include "web/panel/kx_web_page.h"
#include "web/text/js_text.h"

namespace {

constexpr char kSelectUserText[] = "Select User ...";

struct BarState {
  std::string user;  // empty while no user is chosen
  std::string date, startDate, endDate, startTime, endTime, edit;
  int year = 0;
};

int CurrentYear() {
  struct tm fields {};
  if (!LDateTime::Now().GetLocalTime(&fields)) return 1970;
  return fields.tm_year + 1900;
}

BarState ReadState(const LWebletSessionData& session) {
  BarState state;
  state.user = session.GetParm("seluser");
  if (state.user == kSelectUserText) state.user.clear();
  state.date = session.GetParm("date");
  state.startDate = session.GetParm("startdate");
  state.endDate = session.GetParm("enddate");
  state.startTime = session.GetParm("starttime", "00:00:00");
  if (state.startTime.empty()) state.startTime = "00:00:00";
  state.endTime = session.GetParm("endtime", "24:00:00");
  if (state.endTime.empty()) state.endTime = "24:00:00";
  state.year = session.GetInt("year", CurrentYear());
  state.edit = session.GetParm("edit");
  return state;
}

struct ListedUser {
  std::string name;
  std::string email;
};

// Bytes compared as unsigned, without regard to ASCII case.
bool LessByName(const ListedUser& a, const ListedUser& b) {
  return LSettingsLowerCase(a.name) < LSettingsLowerCase(b.name);
}

// Administrators and accountants see everyone; others the users they
// manage, and themselves only when asked.
std::vector<ListedUser> VisibleUsers(LKXUser& me, bool includeSelf) {
  const std::string myEmail = me.GetEmail();
  const bool seesAll = me.IsAdministrator() || me.IsAccountant();
  std::vector<ListedUser> users;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& user = it.Get();
    const std::string email = user.GetEmail();
    if (email.empty()) continue;
    const bool self = LSettingsEqualNoCase(email, myEmail);
    const bool visible = seesAll || (self ? includeSelf
                                          : KXCommaListContains(user.GetText(kKXUserManager),
                                                                myEmail));
    if (visible) users.push_back({user.GetName(), email});
  }
  std::stable_sort(users.begin(), users.end(), LessByName);
  return users;
}

void WriteUserSelect(LWebletForm& form, LKXUser& me, const BarState& state, bool includeSelf) {
  WLSendRaw(form,
            "<td>User: <select name=userselect id=userselect "
            "onchange=\"evChange('userselect')\">");
  const std::vector<ListedUser> users = VisibleUsers(me, includeSelf);
  const auto chosen = std::find_if(users.begin(), users.end(), [&](const ListedUser& u) {
    return LSettingsEqualNoCase(u.email, state.user);
  });
  wfformat(form, "<option value=\"\"%s>%s</option>", chosen == users.end() ? " selected" : "",
           kSelectUserText);
  for (auto it = users.begin(); it != users.end(); ++it) {
    wfformat(form, "<option value=\"%H\"%s>%H</option>", it->email,
             it == chosen ? " selected" : "", it->name.empty() ? it->email : it->name);
  }
  WLSendRaw(form, "</select></td>");
}

void WriteDateInput(LWebletForm& form, const char* label, const char* name,
                    const std::string& value) {
  wfformat(form,
           "<td>%s<input type=text name=%s id=%s value=\"%H\" size=10 maxlength=10 "
           "title=\"Format: yyyy-mm-dd\" onchange=\"evChange('%s')\">&nbsp;<a "
           "href=\"javascript:NewCalendar('%s')\"><img src=\"cal.gif\" width=16 height=16 "
           "border=0 alt=\"Calendar\"></a></td>",
           label, name, name, value, name, name);
}

void WriteTimeInput(LWebletForm& form, const char* label, const char* name,
                    const std::string& value) {
  wfformat(form,
           "<td>%s<input type=text name=%s id=%s value=\"%H\" size=8 maxlength=8 "
           "title=\"Format: HH:MM:SS\" onchange=\"evChange('%s')\"></td>",
           label, name, name, value, name);
}

void WriteYearSelect(LWebletForm& form, int selected) {
  WLSendRaw(form,
            "<td>Year: <select name=yearselect id=yearselect "
            "onchange=\"evChange('yearselect')\">");
  const int now = CurrentYear();
  for (int year = now + 1; year >= now - 2; --year) {
    wfformat(form, "<option value=%d%s>%d</option>", year, year == selected ? " selected" : "",
             year);
  }
  WLSendRaw(form, "</select></td>");
}

// The day before or after `date`; empty when `date` is no date.
std::string ShiftDate(const std::string& date, int days) {
  if (date.empty() || !LDateTime::ValidateDateYYYYHMMHDD(date)) return {};
  LDateTime moment;
  if (!moment.SetDateTime(date, "12:00:00") || !moment.AddCalendarDays(days)) return {};
  return moment.GetDateText();
}

std::string DayLink(const std::string& action, const BarState& state, const std::string& date,
                    bool timeRange) {
  std::string url = LHtmlFormatChecked("%s?seluser=%U&date=%U", action, state.user, date);
  if (timeRange) {
    url += LHtmlFormatChecked("&starttime=%U&endtime=%U", state.startTime, state.endTime);
  }
  return url;
}

std::string EditLink(const std::string& action, const BarState& state, bool date, bool dateRange,
                     bool timeRange, bool year) {
  std::string url = LHtmlFormatChecked("%s?submit=%U&edit=%s&seluser=%U", action,
                                       LKXWebPage::kSearchLabel,
                                       state.edit == "true" ? "false" : "true", state.user);
  if (date) url += LHtmlFormatChecked("&date=%U", state.date);
  if (dateRange) {
    url += LHtmlFormatChecked("&startdate=%U&enddate=%U", state.startDate, state.endDate);
  }
  if (timeRange) {
    url += LHtmlFormatChecked("&starttime=%U&endtime=%U", state.startTime, state.endTime);
  }
  if (year) url += LHtmlFormatChecked("&yearselect=%d", state.year);
  return url;
}

// Keeps the day and mode links in step with what the user has typed or
// chosen but not yet searched for.
std::string BarScript(const std::string& action, const BarState& state, bool date,
                      bool dateRange, bool timeRange, bool year) {
  std::string script = "var kxBar = {action: " + LJavaScriptString(action) +
                       ", user: " + LJavaScriptString(state.user) +
                       ", date: " + LJavaScriptString(state.date) +
                       ", edit: " + LJavaScriptString(state.edit == "true" ? "false" : "true") +
                       ", year: " + LJavaScriptString(std::to_string(state.year)) + "};\r\n";
  script += LHtmlFormatChecked(
      "var kxBarParts = {date: %d, range: %d, time: %d, year: %d};\r\n", date ? 1 : 0,
      dateRange ? 1 : 0, timeRange ? 1 : 0, year ? 1 : 0);
  script +=
      "function kxBarValue(id, fallback) {\r\n"
      "  var el = document.getElementById(id);\r\n"
      "  return el ? el.value : fallback;\r\n"
      "}\r\n"
      "function kxBarShift(text, days) {\r\n"
      "  var p = text.split('-');\r\n"
      "  if (p.length != 3) return '';\r\n"
      "  var v = new Date(+p[0], p[1] - 1, +p[2] + days);\r\n"
      "  function two(n) { return (n < 10 ? '0' : '') + n; }\r\n"
      "  return v.getFullYear() + '-' + two(v.getMonth() + 1) + '-' + two(v.getDate());\r\n"
      "}\r\n"
      "function evChange(name) {\r\n"
      "  var q = encodeURIComponent;\r\n"
      "  var user = kxBarValue('userselect', kxBar.user);\r\n"
      "  var date = kxBarValue('dateinput', kxBar.date);\r\n"
      "  var times = kxBarParts.time ? '&starttime=' + q(kxBarValue('starttime', '')) +\r\n"
      "      '&endtime=' + q(kxBarValue('endtime', '')) : '';\r\n"
      "  var prev = document.getElementById('goPrev');\r\n"
      "  if (prev) prev.href = kxBar.action + '?seluser=' + q(user) + '&date=' +\r\n"
      "      q(kxBarShift(date, -1)) + times;\r\n"
      "  var next = document.getElementById('goNext');\r\n"
      "  if (next) next.href = kxBar.action + '?seluser=' + q(user) + '&date=' +\r\n"
      "      q(kxBarShift(date, 1)) + times;\r\n"
      "  var mode = document.getElementById('editmode');\r\n"
      "  if (!mode) return;\r\n"
      "  var h = kxBar.action + '?submit=' + q('  Search  ') + '&edit=' + kxBar.edit +\r\n"
      "      '&seluser=' + q(user);\r\n"
      "  if (kxBarParts.date) h += '&date=' + q(date);\r\n"
      "  if (kxBarParts.range) h += '&startdate=' + q(kxBarValue('startdate', '')) +\r\n"
      "      '&enddate=' + q(kxBarValue('enddate', ''));\r\n"
      "  h += times;\r\n"
      "  if (kxBarParts.year) h += '&yearselect=' + q(kxBarValue('yearselect', kxBar.year));\r\n"
      "  mode.href = h;\r\n"
      "}\r\n";
  return script;
}

}  // namespace

void KXAddSearchBar(LKXWebPage& page, bool user, bool date, bool dateRange, bool timeRange,
                    bool editMode, bool year, bool includeSelf) {
  LWebletForm& form = page.Form();
  WLSendRaw(form,
            "<script type=\"text/javascript\" language=\"javascript\" "
            "src=\"datepicker.js\"></script>");
  LKXUser me;
  if (!KXGetCurrentUser(form, me)) {
    WLSendRaw(form, "Can't find current user!");
    return;
  }
  const BarState state = ReadState(form.Session());
  WLSendRaw(form, "<table class=searchbar cellpadding=2 cellspacing=0><tr>");
  if (user) WriteUserSelect(form, me, state, includeSelf);
  if (date) WriteDateInput(form, "Date: ", "dateinput", state.date);
  if (dateRange) {
    WriteDateInput(form, "Start Date: ", "startdate", state.startDate);
    WriteDateInput(form, "End Date: ", "enddate", state.endDate);
    page.AddDateRangeSelect("startdate", "enddate", "<td>", "</td>");
  }
  if (timeRange) {
    WriteTimeInput(form, "Start Time: ", "starttime", state.startTime);
    WriteTimeInput(form, "End Time: ", "endtime", state.endTime);
  }
  if (year) WriteYearSelect(form, state.year);
  wfformat(form, "<td>&nbsp;&nbsp;<input type=submit name=submit width=50 value=\"%s\"/></td>",
           LKXWebPage::kSearchLabel);
  if (date) {
    wfformat(form,
             "<td><a name=goPrev id=goPrev href=\"%H\">&lt;</a>&nbsp;<a name=goNext id=goNext "
             "href=\"%H\">&gt;</a></td>",
             DayLink(page.Action(), state, ShiftDate(state.date, -1), timeRange),
             DayLink(page.Action(), state, ShiftDate(state.date, 1), timeRange));
  }
  if (editMode) {
    wfformat(form, "<td><a name=editmode id=editmode href=\"%H\">%s</a></td>",
             EditLink(page.Action(), state, date, dateRange, timeRange, year),
             state.edit == "true" ? "View Mode" : "Edit Mode");
  }
  if ((date && state.date.empty()) || (dateRange && state.startDate.empty())) {
    WLSendRaw(form, "<td><small>Please click on Search to show the report</small></td>");
  }
  WLSendRaw(form, "</tr></table>");
  page.AddJScriptFunction(BarScript(page.Action(), state, date, dateRange, timeRange, year));
}
