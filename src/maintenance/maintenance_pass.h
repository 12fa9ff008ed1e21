#pragma once
// One pass of the maintenance thread, in this order:
//   0. records dropped since the last line are counted in the log once
//      their minute has come (model/dropped_records.h; between passes the
//      thread's wait does the same);
//   1. the welcome mail when "WelcomeEmail" asks for it;
//   2. the daily jobs when "RunDailyMaintenance" is on, then the request is
//      cleared and "LastDailyService" set to the pass's start;
//   3. the same for the weekly jobs ("RunWeeklyMaintenance",
//      "LastWeeklyService");
//   4. every user in registry order: the mail flags and no-connection
//      notices (flagged_mail.h), then the offline caption
//      (offline_caption.h);
//   5. the schedule: strictly between 02:00:00 and 03:00:00 local time the
//      daily run is requested when the last one started more than four
//      hours ago, and on Tuesdays the weekly run likewise. The request is
//      carried out by the next pass, so a run missed by 03:00 waits for the
//      next night, and a request set by hand runs whatever the hour.
// The stamps are written even when the jobs found broken records on the
// way (they log those and go on), so a record that fails every time cannot
// make the jobs run every minute. A run cut short by a stop request keeps
// its request, to be carried out after the restart.

#include "foundation/date_time.h"

class LThread;

struct LKXPassContext {
  LThread* thread = nullptr;
  // "ModeLeave" as it was when the thread started.
  bool leave_mode = true;
  // The zone the offline captions are shown in: the server's own offset
  // from UTC in minutes, east positive.
  int viewer_zone = 0;
};

// Settings of the schedule ("Settings" section).
inline constexpr char kKXRunDailyMaintenance[] = "RunDailyMaintenance";
inline constexpr char kKXLastDailyService[] = "LastDailyService";
inline constexpr char kKXRunWeeklyMaintenance[] = "RunWeeklyMaintenance";
inline constexpr char kKXLastWeeklyService[] = "LastWeeklyService";
// A run is requested again only this long after the last one started: the
// hour from 02:00 repeats when the clocks go back, and must not run twice.
inline constexpr int kKXRunGapSeconds = 14400;

void KXMaintenancePass(const LKXPassContext& context);

// The server's time-zone bias: minus its offset from UTC in minutes, so that
// zones east of UTC give negative values.
int KXLocalTimeZoneBias();

// Step 5 alone, for `now`.
void KXScheduleRuns(LDateTime now);
// Whether `now` lies strictly inside the night's hour for the runs. On a
// day whose clock skips that hour the hour that follows the skip takes its
// place, so that the night still has its run.
bool KXInRunHour(LDateTime now);
