// Maintenance costs: the weekly staff report for 500 users of 50 managers
// with a week of busy logs (3000 activity rows per user per day), composed
// and handed to a receiver that only counts (the delivery is the mail
// benchmark's business); and one per-minute pass over 2000 user records
// with nothing to send. Every day of every user holds the same busy day
// (hard links to one log, so the disk holds it once).

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>

#include "bench_main.h"
#include "foundation/settings_sections.h"
#include "maintenance/maintenance_pass.h"
#include "maintenance/weekly_report.h"
#include "model/core_data.h"
#include "model/users.h"

namespace {

constexpr int kReportUsers = 500;
constexpr int kManagers = 50;
constexpr int kPassUsers = 2000;
constexpr int kActivityRows = 3000;
constexpr int kApplications = 12;
// 2010-01-04 00:00:00 UTC, a Monday.
constexpr LDateTime kMonday(1262563200);

std::string Address(int i) { return "user" + std::to_string(i) + "@office.example"; }

double PeakRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

void AddUsers(int from, int to) {
  for (int u = from; u < to; ++u) {
    const std::string manager = u < kManagers ? "" : Address(u % kManagers);
    KXAddUser(Address(u), "User " + std::to_string(u), u == 0, u == 1, "", manager, "pw");
    LKXUser user;
    KXGetUser(Address(u), user);
    if (u < kReportUsers) {
      user.SetNumber(kKXUserWorkDays, 62);
      user.SetText(kKXUserNormalHourStart, "09:00:00");
      user.SetText(kKXUserNormalHourEnd, "17:00:00");
    }
  }
}

void PrepareWeek() {
  std::string busy;
  LKXCoreData::GetUserActivityLogCSV(Address(0), kMonday, busy);
  int second = 8 * 3600;
  for (int i = 0; i < kActivityRows; ++i) {
    second += 9;
    LKXCoreData::LogActivity(Address(0), kMonday + second, 8 + i % 5, i % 97 == 0 ? 1 : 0, i % 11, i % 3,
                             "PROGRAM" + std::to_string(i % kApplications) + ".EXE", "A document - A program");
  }
  AddUsers(0, kReportUsers);
  for (int u = 0; u < kReportUsers; ++u) {
    for (int d = (u == 0 ? 1 : 0); d < 7; ++d) {
      std::string path;
      LKXCoreData::GetUserActivityLogCSV(Address(u), kMonday + d * LDateTime::kOneDay, path);
      std::error_code ignored;
      std::filesystem::create_hard_link(busy, path, ignored);
    }
  }
}

void BM_WeeklyReport500Users(benchmark::State& state) {
  for (auto _ : state) {
    long mails = 0;
    long bytes = 0;
    LKXStaffWeek week(kMonday + 2 * 3600, kMonday + 6 * LDateTime::kOneDay + 2 * 3600);
    KXComposeWeeklyReports(nullptr, week, [&](std::string_view, std::string_view, std::string_view body) {
      ++mails;
      bytes += static_cast<long>(body.size());
      return true;
    });
    state.counters["mails"] = static_cast<double>(mails);
    state.counters["body_bytes"] = static_cast<double>(bytes);
  }
  state.counters["peak_rss_mib"] = PeakRssMiB();
}
BENCHMARK(BM_WeeklyReport500Users)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_PassOver2000Users(benchmark::State& state) {
  static const bool ready = [] {
    AddUsers(kReportUsers, kPassUsers);
    LDateTime::SetFakeNow((kMonday + 7 * LDateTime::kOneDay + 12 * 3600).value);
    KXMaintenancePass({});  // stores every caption; the passes measured find nothing to do
    return true;
  }();
  benchmark::DoNotOptimize(ready);
  for (auto _ : state) KXMaintenancePass({});
}
BENCHMARK(BM_PassOver2000Users)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return KavrixBenchMain(argc, argv, [] {
    setenv("TZ", "UTC", 1);
    LSettingSetString("Settings", "AutoDeleteDays", "30");
    PrepareWeek();
  });
}
