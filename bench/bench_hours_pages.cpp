// Whole hours pages over loopback, as a browser gets them: the work-hours
// report of one user over 365 days, of 100 users over one week, and the
// time sheet of a day with 20,000 activity rows; and the same hours as a
// payroll program reads them from the API ("api/v1/hours", with a token). Each request goes through
// the panel's own URL table, session and page frame.
//
// The logs are realistic days: about 3,000 activity rows (a row every 9
// seconds or so from the morning, a lunch pause, some rows without input,
// a few private), and on some days a manual log. Seven such days are written
// and every other day of every user is a hard link to one of them, so the
// disk holds each once.
//
// Everything happens under a temporary KAVRIX_ROOT made here and removed at
// the end.

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench_main.h"
#include "foundation/settings_sections.h"
#include "foundation/unique_fd.h"
#include "loopback_port.h"
#include "model/api_token.h"
#include "model/core_data.h"
#include "model/users.h"
#include "page_server.h"
#include "web/http/kx_web_server.h"
#include "web/pages/common/web_script_array.h"
#include "web/session/weblet_session.h"

namespace {

constexpr int kUsers = 100;
constexpr int kYearDays = 365;
constexpr int kTemplateDays = 7;
constexpr int kBusyDayRows = 20000;
// 2025-01-06 00:00:00 UTC, a Monday.
constexpr LDateTime kFirstDay(1736121600);
const LDateTime kBusyDay = kFirstDay + 400 * LDateTime::kOneDay;

std::string Address(int i) { return "user" + std::to_string(i) + "@office.example"; }

// About 3,000 rows from a start that differs a little from day to day.
void WriteRealisticDay(const std::string& user, LDateTime day, int variant) {
  int second = 8 * 3600 + variant * 420;
  for (int i = 0; second < 17 * 3600; ++i) {
    second += 7 + (i * 7 + variant) % 5;
    if (i == 1500) second += 45 * 60;  // lunch
    const bool noInput = (i + variant) % 23 == 0;
    LKXCoreData::LogActivity(user, day + second, 8 + i % 4, (i + variant) % 131 == 0 ? 1 : 0, noInput ? 0 : 1 + i % 9,
                             noInput ? 0 : i % 3, i % 3 == 0 ? "OUTLOOK.EXE" : "WINWORD.EXE",
                             "Quarterly report - Microsoft Word");
  }
  if (variant % 3 == 0) {
    LKXCoreData::LogManualEntry(user, day + 7 * 3600, 1800, 0, "site visit");
    LKXCoreData::LogManualEntry(user, day + 18 * 3600, 2700, variant == 3 ? 1 : 0, "customer call");
  }
}

void Link(const std::string& from, const std::string& to) {
  std::error_code ignored;
  std::filesystem::create_hard_link(from, to, ignored);
}

// Gives `user` the template day `variant` on `day`.
void LinkDay(const std::string& user, LDateTime day, int variant) {
  const LDateTime source = kFirstDay + variant * LDateTime::kOneDay;
  std::string from, to;
  LKXCoreData::GetUserActivityLogCSV(Address(0), source, from);
  LKXCoreData::GetUserActivityLogCSV(user, day, to);
  Link(from, to);
  LKXCoreData::GetUserManualLogCSV(Address(0), source, from);
  LKXCoreData::GetUserManualLogCSV(user, day, to);
  if (std::filesystem::exists(from)) Link(from, to);
}

std::string gTokenHeader;  // the administrator's API token

void WriteSession(const std::string& id, const std::string& content) {
  std::ofstream(LWebletSessionData::Folder() + "/" + id + ".sess") << content;
}

void Prepare() {
  KXAddUser("boss@office.example", "Boss", true, false, "", "", "pw");
  for (int u = 0; u < kUsers; ++u) KXAddUser(Address(u), "User " + std::to_string(u), false, false, "", "", "pw");
  for (int d = 0; d < kTemplateDays; ++d) WriteRealisticDay(Address(0), kFirstDay + d * LDateTime::kOneDay, d);
  for (int d = kTemplateDays; d < kYearDays; ++d) {
    LinkDay(Address(0), kFirstDay + d * LDateTime::kOneDay, d % kTemplateDays);
  }
  for (int u = 1; u < kUsers; ++u) {
    for (int d = 0; d < kTemplateDays; ++d) LinkDay(Address(u), kFirstDay + d * LDateTime::kOneDay, (d + u) % kTemplateDays);
  }
  int second = 6 * 3600;
  for (int i = 0; i < kBusyDayRows; ++i) {
    second += 3;
    LKXCoreData::LogActivity(Address(0), kBusyDay + second, 2 + i % 4, i % 97 == 0 ? 1 : 0, i % 11, i % 3,
                             "WINWORD.EXE", "Quarterly report - Microsoft Word");
  }
  std::string everyone;
  for (int u = 0; u < kUsers; ++u) everyone += (u == 0 ? "" : "%2C") + Address(u);
  const std::string last = (kFirstDay + (kYearDays - 1) * LDateTime::kOneDay).GetDateText();
  const std::string week = (kFirstDay + 6 * LDateTime::kOneDay).GetDateText();
  WriteSession("lyearrepo1", "user=boss%40office.example&selusers=user0%40office.example&startdate=" +
                                 kFirstDay.GetDateText() + "&enddate=" + last);
  WriteSession("lweekrepo1", "user=boss%40office.example&selusers=" + everyone + "&startdate=" +
                                 kFirstDay.GetDateText() + "&enddate=" + week);
  LKXUser boss;
  std::string token;
  if (KXGetUser("boss@office.example", boss) && KXCreateApiToken(boss, token)) {
    gTokenHeader = "Authorization: Bearer " + token + "\r\n";
  }
  WriteSession("lbusydayx1", "user=boss%40office.example&seluser=user0%40office.example&date=" + kBusyDay.GetDateText());
}

BenchPageServer gPages;

void Page(benchmark::State& state, const std::string& path, const char* session, const char* expected) {
  BenchTimePage(state, gPages, path, session, expected);
}

void BM_YearReportOneUser(benchmark::State& state) { Page(state, "viewhours", "lyearrepo1", "Total 365 days"); }
BENCHMARK(BM_YearReportOneUser)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_WeekReport100Users(benchmark::State& state) { Page(state, "viewhours", "lweekrepo1", "Total of 100"); }
BENCHMARK(BM_WeekReport100Users)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_YearReportCSV(benchmark::State& state) { Page(state, "viewhours.csv", "lyearrepo1", ",Total 365 days,"); }
BENCHMARK(BM_YearReportCSV)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_TimeSheet20000Rows(benchmark::State& state) { Page(state, "timesheet", "lbusydayx1", "Total Worked Hours"); }
BENCHMARK(BM_TimeSheet20000Rows)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_ApiHoursYearOneUser(benchmark::State& state) {
  const std::string last = (kFirstDay + (kYearDays - 1) * LDateTime::kOneDay).GetDateText();
  BenchTimePage(state, gPages, "api/v1/hours?user=user0%40office.example&from=" + kFirstDay.GetDateText() + "&to=" + last,
                "", "\"total\":{\"worked\":", false, gTokenHeader);
}
BENCHMARK(BM_ApiHoursYearOneUser)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Every user the administrator may see: the 100 and himself (no logs).
void BM_ApiHoursWeek100Users(benchmark::State& state) {
  const std::string week = (kFirstDay + 6 * LDateTime::kOneDay).GetDateText();
  BenchTimePage(state, gPages, "api/v1/hours?from=" + kFirstDay.GetDateText() + "&to=" + week, "",
                "\"email\":\"user99@office.example\"", false, gTokenHeader);
}
BENCHMARK(BM_ApiHoursWeek100Users)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  const int status = KavrixBenchMain(argc, argv, [] {
    setenv("TZ", "UTC", 1);
    LSettingSetString("Settings", "AutoDeleteDays", "30");
    LSettingSetString("Settings", "SetupWizardRun", "0");
    Prepare();
    gPages.Start();
  });
  gPages.server.reset();
  return status;
}
