#include "web/pages/hours/unexplained_absence_page.h"

#include <string>

#include "model/core_data.h"
#include "model/public_holidays.h"
#include "model/registry_lists.h"
#include "model/registry_text.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/hours/manual_page_support.h"
#include "web/panel/current_user.h"
#include "web/panel/html_list.h"
#include "web/panel/search_bar.h"

namespace {

constexpr int kMaxRangeSeconds = 31622400;  // 366 days: longer is refused
constexpr int kTableId = 110;
constexpr const char* kWeekDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                         "Thursday", "Friday", "Saturday"};

const LKXSessionCopy kAbsenceCopies[] = {{"startdate", "startdate"}, {"enddate", "enddate"}};

int WeekDayIndex(LDateTime day) {
  const LWeekDay bit = day.GetWeekDay();
  for (int i = 0; i < 7; ++i) {
    if (bit.value == (1u << i)) return i;
  }
  return -1;
}

// The first day the user is expected at work: the date of "EmpStartDate"
// at 00:00:00, or none when it is empty or no date.
LDateTime FirstWorkDay(LKXUser& user) {
  const std::string text = user.GetText(kKXUserEmpStartDate);
  LDateTime day;
  if (text.size() < 10 || !KXReadReportDate(std::string_view(text).substr(0, 10), "00:00:00", day)) return LDateTime();
  return day;
}

// A work day, on or after the start date, no public holiday, without work
// and without a leave form.
bool IsAbsence(LKXUser& user, LWeekDay workDays, LDateTime firstDay, LDateTime day) {
  const int weekDay = WeekDayIndex(day);
  return weekDay >= 0 && workDays.ContainsIndex(weekDay) && (!firstDay.IsSet() || day >= firstDay) &&
         !KXIsPublicHoliday(day) && !user.HasWorkedOnDate(day) && !user.HasLeaveFormOnDate(day);
}

// Only staff with fixed work days can be absent on a given day.
bool HasFixedDays(LKXUser& user) {
  return !user.IsCasual() && (user.GetWorkDays().value & LWeekDay::kAllDays) != 0;
}

void AddUserRows(LHtmlList& list, LKXUser& user, LDateTime start, LDateTime end) {
  const LWeekDay workDays = user.GetWorkDays();
  const LDateTime firstDay = FirstWorkDay(user);
  const std::string name = user.GetName();
  int sequence = 0;
  for (LDateTime day = start; day <= end;) {
    const int weekDay = WeekDayIndex(day);
    if (IsAbsence(user, workDays, firstDay, day)) {
      LHtmlListRow row;
      // The key keeps a user's rows together and in date order whatever
      // the name column's direction.
      char key[16];
      snprintf(key, sizeof key, "%3d", sequence);
      if (sequence == 0) {
        row.AddCellPrintFWithOrder(name + key, "%H", name);
      } else {
        row.AddCellPrintFWithOrder(name + key, "&nbsp;");
      }
      row.AddCellPrintF("%H", day.GetDateText());
      row.AddCellPrintF("%s", kWeekDayNames[weekDay]);
      list.AddRow(std::move(row));
      ++sequence;
    }
    if (!day.AddCalendarDays(1)) break;
  }
}

}  // namespace

LKXUnexplainedabsencePage::LKXUnexplainedabsencePage(LWebletForm& form)
    : LKXWebPage(form, "unexplainedabsence", "unexplainedabsence.html", "Unexplained Absence Report") {}

void LKXUnexplainedabsencePage::Generate() {
  LWebletForm& form = Form();
  LWebletSessionData& session = form.Session();
  LKXUser me;
  if (!KXGetCurrentUser(form, me)) {
    WLSendRaw(form, kKXCurrentUserNotFound);
    return;
  }
  std::string startText = session.GetParm("startdate");
  std::string endText = session.GetParm("enddate");
  if (startText.empty() || endText.empty()) {
    // Last week unless the viewer chose otherwise; the search bar shows it.
    LDateTime weekStart, weekEnd;
    LKXCoreData::GetLastWeek(weekStart, weekEnd);
    if (startText.empty()) startText = weekStart.GetDateText();
    if (endText.empty()) endText = weekEnd.GetDateText();
    session.SetParm("startdate", startText);
    session.SetParm("enddate", endText);
  }
  LDateTime start, end;
  bool search = true;
  if (!KXReadReportDate(startText, "00:00:00", start) || !KXReadReportDate(endText, "00:00:00", end)) {
    WLSendRaw(form, kKXBadDates);
    search = false;
  } else if (end < start) {
    WLSendRaw(form, kKXStartAfterEnd);
    search = false;
  } else if (static_cast<long>(end.value) - start.value > kMaxRangeSeconds) {
    WLSendRaw(form, kKXRangeOverAYear);
    search = false;
  }
  KXAddSearchBar(*this, false, false, true, false, false, false, false);
  WLSendRaw(form, "<script type=\"text/javascript\" language=\"javascript\" src=\"sorttable.js\"></script>");
  LHtmlList list(form, "unexplainedabsence", 0, true);
  list.AddColumn("Name", 20, LHtmlList::kAlignLeft, true);
  list.AddColumn("Date", 40, LHtmlList::kAlignLeft, true);
  list.AddColumn("Weekday", 40, LHtmlList::kAlignLeft, true);
  if (search) {
    // Only the viewer's own staff: administrator or HR rights do not widen
    // this list.
    const std::string myEmail = me.GetEmail();
    for (LKXUserListIterator it(gKXUsersList); it.Next();) {
      LKXUser& user = it.Get();
      if (!KXCommaListContains(user.GetText(kKXUserManager), myEmail)) continue;
      if (!HasFixedDays(user)) continue;
      AddUserRows(list, user, start, end);
    }
  }
  list.Write(form, 100, kTableId);
  AddJScriptFunction("window.onload=function(){initSearchBar();}\r\n");
}

int KXCountUnexplainedAbsences(std::string_view managerEmail, LDateTime start, LDateTime end) {
  int count = 0;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& user = it.Get();
    user.HoldReading();
    if (!KXCommaListContains(user.GetText(kKXUserManager), managerEmail) || !HasFixedDays(user)) continue;
    const LWeekDay workDays = user.GetWorkDays();
    const LDateTime firstDay = FirstWorkDay(user);
    for (LDateTime day = start; day <= end;) {
      if (IsAbsence(user, workDays, firstDay, day)) ++count;
      if (!day.AddCalendarDays(1)) break;
    }
  }
  return count;
}

void WLUnexplainedAbsence(LWebletForm& form) {
  WLCopyFieldsToSession(form, kAbsenceCopies);
  LKXUnexplainedabsencePage(form).Open();
}
