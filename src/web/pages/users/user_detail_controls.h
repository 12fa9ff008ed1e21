#pragma once
// The controls of the user-details form, shared by the page and by the copy
// of the form kept while a picker is open.

// Control ids of the form.
inline constexpr int kKXDetailEmail = 101;
inline constexpr int kKXDetailName = 102;
inline constexpr int kKXDetailTeam = 104;
inline constexpr int kKXDetailAdmin = 106;
inline constexpr int kKXDetailAccountant = 107;
inline constexpr int kKXDetailManagers = 108;
inline constexpr int kKXDetailMonitor = 109;
inline constexpr int kKXDetailPermanent = 110;
inline constexpr int kKXDetailCasual = 111;
inline constexpr int kKXDetailDefaultHours = 210;
inline constexpr int kKXDetailCustomHours = 211;
inline constexpr int kKXDetailCustomHoursInput = 212;
inline constexpr int kKXDetailFixedDays = 310;
inline constexpr int kKXDetailFlexibleDays = 311;
inline constexpr int kKXDetailMonday = 401;  // 401..406 Monday to Saturday, 407 Sunday
inline constexpr int kKXDetailShowDetails = 409;
inline constexpr int kKXDetailHourStart = 501;
inline constexpr int kKXDetailHourEnd = 502;
inline constexpr int kKXDetailStrictHours = 601;
inline constexpr int kKXDetailTakeLunch = 602;
inline constexpr int kKXDetailLunchStart = 603;
inline constexpr int kKXDetailLunchDuration = 604;
inline constexpr int kKXDetailLogScreenShot = 606;
inline constexpr int kKXDetailLeaveAllowance = 701;
inline constexpr int kKXDetailCarryOver = 702;

// "WorkDays" bits of the boxes 401..407 (Sunday is bit 0), 0 for any other id.
inline int KXDetailWorkDayBit(int id) {
  constexpr int kDayBoxes = 7;
  const int index = id - kKXDetailMonday;
  if (index < 0 || index >= kDayBoxes) return 0;
  return index == kDayBoxes - 1 ? 1 : 2 << index;
}
