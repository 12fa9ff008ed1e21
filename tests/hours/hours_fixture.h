#pragma once
// A fresh data root in UTC with one user, and helpers that write that
// user's logs the way stations and pages do.

#include <string>
#include <vector>

#include "foundation/date_time.h"
#include "model/core_data.h"
#include "model/user.h"
#include "model/users.h"
#include "support/temp_root.h"
#include "support/test_dates.h"
#include "support/test_helpers.h"
#include "support/time_zone.h"

class HoursTest : public KavrixTempRoot {
 public:
  static constexpr const char* kUser = "ann@x.example";

  void SetUp() override {
    KavrixTempRoot::SetUp();
    ASSERT_TRUE(KXAddUser(kUser, "Ann", false, false, "", "", "p"));
    ASSERT_TRUE(KXGetUser(kUser, user_));
  }

  static void Activity(const char* date, const char* time, int duration, int flags = 0, int keys = 5,
                       const char* app = "WINWORD.EXE") {
    ASSERT_TRUE(LKXCoreData::LogActivity(kUser, KavrixAt(date, time), duration, static_cast<std::uint16_t>(flags),
                                         keys, 0, app, "caption"));
  }
  static void Manual(const char* date, const char* time, int duration, int flags = 0) {
    ASSERT_TRUE(
        LKXCoreData::LogManualEntry(kUser, KavrixAt(date, time), duration, static_cast<std::uint16_t>(flags), "c"));
  }
  // Writes raw bytes as the day's activity (or manual) log.
  static void RawLog(const char* date, const std::string& bytes, bool manual = false) {
    std::string path;
    ASSERT_TRUE(manual ? LKXCoreData::GetUserManualLogCSV(kUser, KavrixAt(date), path)
                       : LKXCoreData::GetUserActivityLogCSV(kUser, KavrixAt(date), path));
    ASSERT_TRUE(KavrixWriteFile(path, bytes));
  }

 protected:
  KavrixScopedTimeZone zone_{"UTC0"};
  LKXUser user_;
};
