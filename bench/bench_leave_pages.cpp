// The leave pages that grow with an office: the leave report of a user
// with 300 records in the year, the pending page of a manager with 200
// staff (one pending request each), each as a whole request over loopback
// with a session cookie (target: under 50 ms each), and the team leave
// calendar of that manager's 200 staff for the month of their leave
// (target: under 100 ms). The same manager's main page, whose "Today" panel
// shows all 200 with a full day of activity each (under 100 ms), and its
// refresh "today.json" (under 20 ms).
//
// Everything happens under a temporary KAVRIX_ROOT made here and removed at
// the end.

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench_main.h"
#include "foundation/date_time.h"
#include "foundation/settings_sections.h"
#include "foundation/unique_fd.h"
#include "loopback_port.h"
#include "model/core_data.h"
#include "model/teams.h"
#include "model/users.h"
#include "page_fetch.h"
#include "page_server.h"
#include "web/http/kx_web_server.h"
#include "web/pages/common/web_script_array.h"
#include "web/panel/access_rules.h"
#include "web/session/weblet_session.h"

namespace {

constexpr int kReportRecords = 300;
constexpr int kStaff = 200;
constexpr char kManager[] = "boss@office.example";
constexpr char kBossSession[] = "lbenchbos1";
constexpr char kYear[] = "2026";
constexpr std::size_t kMinPageBytes = 50000;

std::string Day(int n) {  // distinct dates of 2026, one per record
  LDateTime day;
  day.SetDateTime(2026, 1, 1 + n, 0, 0, 0);
  return day.GetDateText();
}

// A working day to now: a row every 9 seconds or so from 08:00 with a lunch
// pause, about 3,000 rows by the end of the day, as a station writes them.
void WriteToday(const std::string& user, LDateTime today) {
  int second = 8 * 3600;
  for (int i = 0; second < 17 * 3600; ++i) {
    second += 7 + i % 5;
    if (i == 1500) second += 45 * 60;
    LKXCoreData::LogActivity(user, today + second, 8 + i % 4, 0, 1 + i % 9, i % 3,
                             i % 3 == 0 ? "OUTLOOK.EXE" : "WINWORD.EXE", "Quarterly report - Microsoft Word");
  }
}

// Every staff member has today's activity (one file, hard-linked) and every
// other one is connected with a caption.
void PrepareToday() {
  LDateTime today = LDateTime::Now();
  today.SetDayTime(LDayTime(0));
  WriteToday("staff0@office.example", today);
  std::string from, to;
  LKXCoreData::GetUserActivityLogCSV("staff0@office.example", today, from);
  for (int i = 0; i < kStaff; ++i) {
    const std::string email = "staff" + std::to_string(i) + "@office.example";
    if (i > 0) {
      LKXCoreData::GetUserActivityLogCSV(email, today, to);
      std::error_code ignored;
      std::filesystem::create_hard_link(from, to, ignored);
    }
    LKXUser user;
    if (i % 2 == 0 || !KXGetUser(email, user)) continue;
    user.SetFlag(kKXUserConnected, true);
    user.SetFlag(kKXUserStateActive, true);
    user.SetNumber(kKXUserStateChanged, LDateTime::Now().value - 600);
    user.SetText(kKXUserLastApplication, "WINWORD.EXE");
    user.SetText(kKXUserLastCaption, "Quarterly report - Microsoft Word");
  }
}

void Prepare() {
  for (std::string_view type : kKXDefaultLeaveTypes) KXAddLeaveType(type);
  KXAddUser(kManager, "Boss", false, false, "", "nobody@office.example", "pw");
  std::string path;
  for (int i = 0; i < kStaff; ++i) {
    const std::string email = "staff" + std::to_string(i) + "@office.example";
    KXAddUser(email, "Staff " + std::to_string(i), false, false, "", kManager, "pw");
    LKXCoreData::GetUserLeaveLogCSV(email, kYear, path);
    std::ofstream(path, std::ios::binary) << Day(40) << "," << Day(44) << ",holiday,\"trip\",0,\"\"\r\n";
  }
  LKXCoreData::GetUserLeaveLogCSV("staff0@office.example", kYear, path);
  std::ofstream log(path, std::ios::binary);
  for (int i = 0; i < kReportRecords; ++i) {
    log << Day(i) << "," << Day(i) << "," << (i % 2 ? "holiday" : "sick") << ",\"reason " << i << "\","
        << (i % 3) - 1 << ",\"" << kManager << "\"\r\n";
  }
  std::ofstream(LWebletSessionData::Folder() + "/" + kBossSession + ".sess")
      << "user=boss%40office.example&year=2026";
  PrepareToday();
}


void RunPage(benchmark::State& state, const std::string& path) {
  const std::uint16_t port = BenchFreeLoopbackPort();
  LSettingSetString("Routing", "LocalPort", std::to_string(port));
  LKXWebServer server(LWebletSessionData::Folder() + "/../Web", WebScriptArray(), WLCheckAccess);
  server.Start();
  if (!server.WaitListening(10000)) {
    state.SkipWithError("server did not listen");
    return;
  }
  std::size_t bytes = 0;
  for (auto _ : state) bytes = BenchFetchPage(port, path, kBossSession).size();
  // A refused or expired session answers with a short page; the figure
  // would then measure nothing.
  if (bytes < kMinPageBytes) state.SkipWithError("the page was not the full report");
  state.counters["page_bytes"] = static_cast<double>(bytes);
}

void BM_LeaveReport300Records(benchmark::State& state) {
  RunPage(state, "leavereport?seluser=staff0%40office.example&year=2026&edit=true");
}
BENCHMARK(BM_LeaveReport300Records)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_PendingPage200Staff(benchmark::State& state) { RunPage(state, "pendingleaverequests"); }
BENCHMARK(BM_PendingPage200Staff)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_TeamCalendar200Staff(benchmark::State& state) { RunPage(state, "teamcalendar?month=2026-02"); }
BENCHMARK(BM_TeamCalendar200Staff)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void TimeToday(benchmark::State& state, const std::string& path, const char* expected) {
  BenchPageServer pages;
  pages.Start();
  BenchTimePage(state, pages, path, kBossSession, expected);
}

void BM_MainPage200StaffToday(benchmark::State& state) {
  TimeToday(state, "mainpage", "timesheet?seluser=staff199%40office.example");
}
BENCHMARK(BM_MainPage200StaffToday)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_TodayJson200Staff(benchmark::State& state) {
  TimeToday(state, "today.json", "\"email\":\"staff199@office.example\"");
}
BENCHMARK(BM_TodayJson200Staff)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) { return KavrixBenchMain(argc, argv, Prepare); }
