// Hours calculation costs: one busy day (5000 activity rows, 20 manual
// entries), a 31-day sum for one user, and the weekly sums of 200 users as
// the weekly report and the insufficient-hours warnings make them. Every
// day of every user holds the same busy day (hard links to one pair of
// logs, so the disk holds it once).
//
// Everything happens under a temporary KAVRIX_ROOT made here and removed at
// the end.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "bench_main.h"
#include "foundation/settings_sections.h"
#include "foundation/test_hooks.h"
#include "hours/app_usage.h"
#include "hours/work_hours.h"
#include "model/core_data.h"
#include "model/users.h"

namespace {

constexpr int kUsers = 200;
constexpr int kActivityRows = 5000;
constexpr int kManualRows = 20;
// 2010-01-01 00:00:00 UTC; 2010-01-04 is a Monday.
constexpr LDateTime kFirstDay(1262304000);
const LDateTime kMonday = kFirstDay + 3 * LDateTime::kOneDay;

std::string Address(int i) { return "user" + std::to_string(i) + "@office.example"; }

// From 06:00 a row every 9 seconds of 8 to 12 seconds (so some overlap),
// a few private, some without input, and a ten-minute pause every 250 rows.
void WriteBusyDay(const std::string& user, LDateTime day) {
  int second = 6 * 3600;
  for (int i = 0; i < kActivityRows; ++i) {
    second += (i % 250 == 249) ? 600 : 9;
    LKXCoreData::LogActivity(user, day + second, 8 + i % 5, i % 97 == 0 ? 1 : 0, i % 11, i % 3,
                             i % 4 == 0 ? "OUTLOOK.EXE" : "WINWORD.EXE", "Quarterly report - Microsoft Word");
  }
  for (int i = 0; i < kManualRows; ++i) {
    LKXCoreData::LogManualEntry(user, day + (6 * 3600 + i * 1800), 600, i % 5 == 0 ? 1 : 0, "meeting");
  }
}

void Link(const std::string& from, const std::string& to) {
  std::error_code ignored;
  std::filesystem::create_hard_link(from, to, ignored);
}

// Every day from kFirstDay for `days` days of every user gets the busy day.
void Prepare() {
  WriteBusyDay(Address(0), kFirstDay);
  std::string activity, manual;
  LKXCoreData::GetUserActivityLogCSV(Address(0), kFirstDay, activity);
  LKXCoreData::GetUserManualLogCSV(Address(0), kFirstDay, manual);
  for (int u = 0; u < kUsers; ++u) {
    KXAddUser(Address(u), "User " + std::to_string(u), false, false, "", "", "pw");
    for (int d = (u == 0 ? 1 : 3); d < (u == 0 ? 31 : 10); ++d) {
      std::string path;
      LKXCoreData::GetUserActivityLogCSV(Address(u), kFirstDay + d * LDateTime::kOneDay, path);
      Link(activity, path);
      LKXCoreData::GetUserManualLogCSV(Address(u), kFirstDay + d * LDateTime::kOneDay, path);
      Link(manual, path);
    }
  }
}

void BM_OneBusyDay(benchmark::State& state) {
  for (auto _ : state) {
    LTimePeriodList list;
    LWorkHoursData data;
    LKXReport::LKXCalculateHours(list, Address(0), kMonday, data);
    benchmark::DoNotOptimize(data);
    state.counters["periods"] = static_cast<double>(list.Count());
    state.counters["total_mins"] = data.total_mins;
  }
}
BENCHMARK(BM_OneBusyDay)->Unit(benchmark::kMillisecond);

void BM_ThirtyOneDaySum(benchmark::State& state) {
  for (auto _ : state) {
    LWorkHoursData data;
    LKXReport::LKXCalculateHours(Address(0), kFirstDay, kFirstDay + 30 * LDateTime::kOneDay, data);
    benchmark::DoNotOptimize(data);
    state.counters["total_mins"] = data.total_mins;
  }
}
BENCHMARK(BM_ThirtyOneDaySum)->Unit(benchmark::kMillisecond);

void BM_WeekOf200Users(benchmark::State& state) {
  for (auto _ : state) {
    long long total = 0;
    for (int u = 0; u < kUsers; ++u) {
      LWorkHoursData data;
      LKXReport::LKXCalculateHours(Address(u), kMonday, kMonday + 6 * LDateTime::kOneDay, data);
      total += data.total_mins;
    }
    benchmark::DoNotOptimize(total);
    state.counters["total_mins"] = static_cast<double>(total);
  }
}
BENCHMARK(BM_WeekOf200Users)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_UsageOfAWeek(benchmark::State& state) {
  for (auto _ : state) {
    LKXAppUsageList list;
    LKXAddAppUsage(list, Address(0), kMonday, kMonday + 6 * LDateTime::kOneDay);
    benchmark::DoNotOptimize(list.GetTotalUsageSeconds());
  }
}
BENCHMARK(BM_UsageOfAWeek)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return KavrixBenchMain(argc, argv, [] {
    setenv("TZ", "UTC", 1);
    // An installed server has its "settings" section file.
    LSettingSetString("Settings", "AutoDeleteDays", "30");
    Prepare();
  });
}
