// LKXUser::GetOfflineTips: when an absent user is expected back, shown to
// team mates in place of the user's window caption.

#include <cstdio>

#include "foundation/core_calendar.h"
#include "foundation/text_limits.h"
#include "model/public_holidays.h"
#include "model/user.h"

namespace {

// How far ahead to look for the next working day. A user on leave or on
// holiday for longer than this gets no phrase rather than a search that
// never ends (a user whose days are all covered has no next working day).
constexpr int kMaxDaysAhead = 366;

std::string Printf(const char* format, const std::string& a, const std::string& b = std::string()) {
  char text[kLMaxText + 1];
  std::snprintf(text, sizeof(text), format, a.c_str(), b.c_str());
  return text;
}

}  // namespace

std::string LKXUser::GetOfflineTips(int viewer_zone) {
  std::string tips;
  GetOfflineTips(viewer_zone, tips);
  return tips;
}

void LKXUser::GetOfflineTips(int viewer_zone, std::string& out) {
  out.clear();
  const LWeekDay work_days = GetWorkDays();
  if (work_days.IsEmpty()) {
    out = "(works flexible days)";
    return;
  }
  const std::string start_text = GetText(kKXUserNormalHourStart);
  const std::string end_text = GetText(kKXUserNormalHourEnd);
  if (start_text.empty() || end_text.empty()) {
    out = "(works flexible hours)";
    return;
  }
  LDayTime start, end;
  start.SetText(start_text);
  end.SetText(end_text);
  const int zone = GetTimeZone();
  if (zone != kKXTimeZoneUnknown) {
    start = LKXCoreCalendar::ChangeDayTimeToTimeZone(zone, viewer_zone, start);
    end = LKXCoreCalendar::ChangeDayTimeToTimeZone(zone, viewer_zone, end);
  }
  const LDateTime now = LDateTime::Now();
  const LDayTime now_time = now.GetDayTime();
  auto is_working_day = [&](LDateTime day) {
    return work_days.Contains(day.GetWeekDay()) && !KXIsPublicHoliday(day) && !HasLeaveFormOnDate(day);
  };
  if (is_working_day(now)) {
    if (now_time < start) {
      out = Printf("will be online from %s today", start.GetText());
      return;
    }
    if (start.value == 0 || end.value == 0) {
      out = "will be online anytime today";
      return;
    }
    if (now_time < end) {
      out = "will be back soon";
      return;
    }
  }
  LDateTime day = now;
  for (int ahead = 1; ahead <= kMaxDaysAhead; ++ahead) {
    // By calendar day: 86400 s from 23:30 can skip a day when summer time begins.
    if (!day.AddCalendarDays(1)) return;
    if (!is_working_day(day)) continue;
    out = start.value == 0 ? Printf("will be online from %s", day.GetDateText())
                           : Printf("will be online from %s %s", start.GetText(), day.GetDateText());
    return;
  }
}
