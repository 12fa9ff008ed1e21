#include "web/pages/leave/team_calendar_page.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <iterator>
#include <vector>

#include "foundation/date_time.h"
#include "model/leave_log.h"
#include "model/org_settings.h"
#include "model/registry_lists.h"
#include "model/registry_text.h"
#include "model/teams.h"
#include "model/users.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/common/dialog_defaults.h"
#include "web/pages/leave/leave_pages_common.h"
#include "web/panel/current_user.h"
#include "web/panel/kx_web_page.h"

namespace {

// Type colours in leave-type order; more types than colours repeat them.
constexpr const char* kTypeColours[] = {"#4a90d9", "#e0785a", "#8c6bc8", "#d9a93a", "#5aa469",
                                        "#c85a9a", "#3aa9b4", "#9a7b4f", "#7a8c99", "#b4c83a"};
constexpr char kMonthNames[][10] = {"January", "February", "March",     "April",   "May",      "June",
                                    "July",    "August",   "September", "October", "November", "December"};
constexpr char kDayLetters[] = "SMTWTFS";  // Sunday first, as LWeekDay

constexpr char kStyle[] =
    "<style>.kx-teamcal{border-collapse:collapse;font-size:9pt}"
    ".kx-teamcal th,.kx-teamcal td{border:1px solid #ccc;padding:1px 2px;text-align:center;min-width:1.4em}"
    ".kx-teamcal td.kx-name,.kx-teamcal th.kx-name{text-align:left;white-space:nowrap;min-width:8em}"
    ".kx-teamcal .kx-off{background:#e4e4e4}.kx-teamcal .kx-holiday{background:#cfcfcf}"
    ".kx-teamcal td.kx-leave{color:#fff;font-weight:bold}"
    ".kx-teamcal td.kx-pending{color:#000;background-image:repeating-linear-gradient(45deg,"
    "rgba(255,255,255,.75) 0,rgba(255,255,255,.75) 3px,transparent 3px,transparent 6px)}"
    ".kx-teamcal-wrap{overflow-x:auto;max-width:100%}"
    ".kx-legend span.kx-swatch{display:inline-block;width:1.2em;height:1em;border:1px solid #999;"
    "vertical-align:middle;margin:0 4px 0 10px}</style>";

struct MonthDays {
  int year = 0;
  int month = 0;  // 1..12
  std::vector<std::string> dates;  // "YYYY-MM-DD" of every day
  std::vector<int> weekDays;       // 0 Sunday .. 6 Saturday
  std::vector<bool> holidays;
};

MonthDays DaysOf(const std::string& month) {
  MonthDays days;
  days.year = std::atoi(month.substr(0, 4).c_str());
  days.month = std::atoi(month.substr(5, 2).c_str());
  const LKXHolidayCalendar holidays;
  LDateTime day;
  if (!day.SetDateTime(days.year, days.month, 1, 12, 0, 0)) return days;
  for (int i = 0; i < 31 && day.GetDateText().compare(0, 7, month) == 0; ++i) {
    days.dates.push_back(day.GetDateText());
    const LWeekDay weekDay = day.GetWeekDay();
    int index = 0;
    while (index < 7 && !weekDay.ContainsIndex(index)) ++index;
    days.weekDays.push_back(index);
    LDateTime start;
    days.holidays.push_back(start.SetDateTime(day.GetDateText(), "00:00:00") && holidays.IsHoliday(start));
    if (!day.AddCalendarDays(1)) break;
  }
  return days;
}

// What one day of one user shows.
struct Cell {
  int type = -1;  // index into the leave types, -1 none
  bool pending = false;
  std::string typeName;
};

std::vector<Cell> LeaveCells(const std::string& email, const MonthDays& days, const std::vector<std::string>& types) {
  std::vector<Cell> cells(days.dates.size());
  if (days.dates.empty()) return cells;
  const std::string& first = days.dates.front();
  const std::string& last = days.dates.back();
  for (const LKXLeaveRecord& record : KXReadLeaveLog(email, std::to_string(days.year))) {
    if (record.IsDisapproved() || record.end < first || record.start > last) continue;
    if (!KXIsDateText(record.start) || !KXIsDateText(record.end)) continue;
    int type = -1;
    for (std::size_t t = 0; t < types.size(); ++t) {
      if (KXSameName(types[t], record.type)) type = static_cast<int>(t);
    }
    for (std::size_t d = 0; d < days.dates.size(); ++d) {
      if (days.dates[d] < record.start || days.dates[d] > record.end) continue;
      Cell& cell = cells[d];
      // Approved leave wins over a pending request of the same day.
      if (cell.typeName.empty() || (cell.pending && record.IsApproved())) {
        cell.type = type;
        cell.pending = !record.IsApproved();
        cell.typeName = record.type;
      }
    }
  }
  return cells;
}

// The first character of a name, whole even when it takes several bytes.
std::string Initial(const std::string& name) {
  std::size_t length = name.empty() ? 0 : 1;
  while (length < name.size() && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) ++length;
  return name.substr(0, length);
}

const char* ColourOf(int type) {
  if (type < 0) return "#777777";
  return kTypeColours[static_cast<std::size_t>(type) % std::size(kTypeColours)];
}

// The leave report's rule, read from the record in hand: no second lookup
// of the user for each row of a large office.
bool MayView(const std::string& viewerEmail, bool everyone, LKXUser& user, const std::string& email) {
  return everyone || KXSameName(viewerEmail, email) ||
         KXCommaListContains(user.GetText(kKXUserManager), viewerEmail);
}

class LKXTeamCalendarPage : public LKXWebPage {
 public:
  explicit LKXTeamCalendarPage(LWebletForm& form)
      : LKXWebPage(form, kLTeamCalendarPath, "leavereport.html", kLTeamCalendarTitle) {}
  void Generate() override;

 private:
  void WriteChoices(const std::string& month, const std::string& team);
  void WriteLegend(const std::vector<std::string>& types);
};

void LKXTeamCalendarPage::WriteChoices(const std::string& month, const std::string& team) {
  LWebletForm& form = Form();
  const std::string prev = LTeamCalendarStep(month, -1);
  const std::string next = LTeamCalendarStep(month, 1);
  const int monthNumber = std::atoi(month.substr(5, 2).c_str());
  wfformat(form,
           "<p class=noprint><a id=prevmonth href=\"teamcalendar?month=%s&amp;team=%U\">&laquo; Previous month</a>"
           "&nbsp;|&nbsp;<a id=nextmonth href=\"teamcalendar?month=%s&amp;team=%U\">Next month &raquo;</a>"
           "&nbsp;&nbsp;Team: <select name=team id=teamselect onchange=\"this.form.submit()\">"
           "<option value=\"\">%s</option>",
           prev, team, next, team, kLAllTeams);
  for (const std::string& name : KXGetTeamNames()) {
    wfformat(form, "<option value=\"%H\"%s>%H</option>", name, KXSameName(name, team) ? " selected" : "", name);
  }
  wfformat(form,
           "</select> <input type=submit name=submit value=\"Show\"><input type=hidden name=month value=\"%s\"></p>"
           "<h3 id=calendarmonth>%s %d</h3>",
           month, kMonthNames[monthNumber - 1], std::atoi(month.substr(0, 4).c_str()));
}

void LKXTeamCalendarPage::WriteLegend(const std::vector<std::string>& types) {
  LWebletForm& form = Form();
  WLSendRaw(form, "<p class=kx-legend>");
  for (std::size_t t = 0; t < types.size(); ++t) {
    wfformat(form, "<span class=kx-swatch style=\"background:%s\"></span>%H", ColourOf(static_cast<int>(t)),
             types[t]);
  }
  WLSendRaw(form,
            "<span class=\"kx-swatch kx-pending\" style=\"background-color:#999;background-image:"
            "repeating-linear-gradient(45deg,rgba(255,255,255,.75) 0,rgba(255,255,255,.75) 3px,transparent 3px,"
            "transparent 6px)\"></span>Pending"
            "<span class=kx-swatch style=\"background:#cfcfcf\"></span>Public holiday"
            "<span class=kx-swatch style=\"background:#e4e4e4\"></span>Not a working day</p>");
}

void LKXTeamCalendarPage::Generate() {
  LWebletForm& form = Form();
  if (!KXOrgGetBool(LKXOrg::kModeLeave)) {
    WLWriteLeaveDisabled(form);
    return;
  }
  LKXUser viewer;
  if (!KXGetCurrentUser(form, viewer)) {
    WLSendRaw(form, kLNoCurrentUserText);
    return;
  }
  const std::string month = LTeamCalendarMonthOr(form.Params().GetParm("month"));
  const std::string team = form.Params().GetParm("team");
  const std::string viewerEmail = viewer.GetEmail();
  const bool everyone = viewer.IsAdministrator() || viewer.IsAccountant();
  const std::vector<std::string> types = KXGetLeaveTypeNames();
  const MonthDays days = DaysOf(month);

  WLSendRaw(form, kStyle);
  WriteChoices(month, team);
  WriteLegend(types);
  WLSendRaw(form, "<div class=kx-teamcal-wrap><table class=kx-teamcal id=teamcalendar><tr><th class=kx-name>Name</th>");
  for (std::size_t d = 0; d < days.dates.size(); ++d) {
    wfformat(form, "<th%s title=\"%s\">%d<br>%s</th>", days.holidays[d] ? " class=kx-holiday" : "", days.dates[d],
             static_cast<int>(d + 1), std::string(1, kDayLetters[days.weekDays[d]]));
  }
  WLSendRaw(form, "</tr>");
  int rows = 0;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& user = it.Get();
    const std::string email = user.GetEmail();
    if (!MayView(viewerEmail, everyone, user, email)) continue;
    if (!team.empty() && !KXCommaListContains(user.GetText(kKXUserTeam), team)) continue;
    LWeekDay workDays = user.GetWorkDays();
    bool flexible = true;
    for (int i = 0; i < 7; ++i) flexible = flexible && !workDays.ContainsIndex(i);
    const std::vector<Cell> cells = LeaveCells(email, days, types);
    wfformat(form, "<tr><td class=kx-name>%H</td>", user.GetName().empty() ? email : user.GetName());
    for (std::size_t d = 0; d < cells.size(); ++d) {
      const int weekDay = days.weekDays[d];
      const bool working = flexible ? weekDay != 0 && weekDay != 6 : workDays.ContainsIndex(weekDay);
      const char* shade = days.holidays[d] ? "kx-holiday" : (working ? "" : "kx-off");
      const Cell& cell = cells[d];
      if (cell.typeName.empty()) {
        if (shade[0] != '\0') {
          wfformat(form, "<td class=%s></td>", shade);
        } else {
          WLSendRaw(form, "<td></td>");
        }
        continue;
      }
      // The type's initial, so that the page reads without colours too.
      wfformat(form, "<td class=\"kx-leave%s %s\" style=\"background-color:%s\" title=\"%H%s\">%H</td>",
               cell.pending ? " kx-pending" : "", shade, ColourOf(cell.type), cell.typeName,
               cell.pending ? " (pending)" : "", Initial(cell.typeName));
    }
    WLSendRaw(form, "</tr>");
    ++rows;
  }
  WLSendRaw(form, "</table></div>");
  if (rows == 0) wfformat(form, "<p>%s</p>", kLTeamCalendarNobody);
}

}  // namespace

std::string LTeamCalendarMonthOr(std::string_view month) {
  if (month.size() == 7 && month[4] == '-' && KXIsYearText(month.substr(0, 4)) && month[5] >= '0' &&
      month[5] <= '1' && month[6] >= '0' && month[6] <= '9') {
    const int number = (month[5] - '0') * 10 + (month[6] - '0');
    if (number >= 1 && number <= 12) return std::string(month);
  }
  return LDateTime::Now().GetDateText().substr(0, 7);
}

std::string LTeamCalendarStep(std::string_view month, int step) {
  int year = std::atoi(std::string(month.substr(0, 4)).c_str());
  int number = std::atoi(std::string(month.substr(5, 2)).c_str()) + step;
  if (number < 1) number = 12, --year;
  if (number > 12) number = 1, ++year;
  if (year < 1000 || year > 9999) return std::string(month);
  char text[8];
  std::snprintf(text, sizeof text, "%04d-%02d", year, number);
  return text;
}

void WLTeamCalendar(LWebletForm& form) {
  WLDefaultDialogTargets(form, "mainpage", "mainpage");
  LKXTeamCalendarPage(form).Open();
}
