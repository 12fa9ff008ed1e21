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
#include "support/test_helpers.h"

class HoursTest : public KavrixTempRoot {
 public:
  static constexpr const char* kUser = "ann@x.example";

  void SetUp() override {
    KavrixTempRoot::SetUp();
    SetTimeZone("UTC0");
    ASSERT_TRUE(KXAddUser(kUser, "Ann", false, false, "", "", "p"));
    ASSERT_TRUE(KXGetUser(kUser, user_));
  }

  static LDateTime At(const char* date, const char* time = "00:00:00") {
    LDateTime moment;
    EXPECT_TRUE(moment.SetDateTime(date, time));
    return moment;
  }
  static void Activity(const char* date, const char* time, int duration, int flags = 0, int keys = 5,
                       const char* app = "WINWORD.EXE") {
    ASSERT_TRUE(LKXCoreData::LogActivity(kUser, At(date, time), duration, static_cast<std::uint16_t>(flags), keys, 0,
                                         app, "caption"));
  }
  static void Manual(const char* date, const char* time, int duration, int flags = 0) {
    ASSERT_TRUE(LKXCoreData::LogManualEntry(kUser, At(date, time), duration, static_cast<std::uint16_t>(flags), "c"));
  }
  // Writes raw bytes as the day's activity (or manual) log.
  static void RawLog(const char* date, const std::string& bytes, bool manual = false) {
    std::string path;
    ASSERT_TRUE(manual ? LKXCoreData::GetUserManualLogCSV(kUser, At(date), path)
                       : LKXCoreData::GetUserActivityLogCSV(kUser, At(date), path));
    ASSERT_TRUE(KavrixWriteFile(path, bytes));
  }

 protected:
  LKXUser user_;
};
