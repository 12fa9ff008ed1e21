// The monitoring pages over loopback, as a browser gets them: the activity
// page of a day of 20,000 rows, the screenshot page of a day of 2,000
// pictures, the application usage of 20 users over a month (one page per
// user, all 20 in one iteration), and the download of a 1 MB full-size
// picture. Each request goes through the panel's own URL table, session and
// page frame. Everything happens under a temporary KAVRIX_ROOT.

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
#include "model/core_data.h"
#include "model/image_test_helpers.h"
#include "model/users.h"
#include "page_server.h"
#include "web/http/kx_web_server.h"
#include "web/pages/common/web_script_array.h"
#include "web/session/weblet_session.h"

namespace {

constexpr int kBusyDayRows = 20000;
constexpr int kPictures = 2000;
constexpr int kUsageUsers = 20;
constexpr int kMonthDays = 30;
constexpr std::size_t kBigPicture = 1024 * 1024;
// 2026-03-02 00:00:00 UTC.
constexpr LDateTime kDay(1772409600);

std::string Address(int i) { return "user" + std::to_string(i) + "@office.example"; }

void WriteSession(const std::string& id, const std::string& content) {
  std::ofstream(LWebletSessionData::Folder() + "/" + id + ".sess") << content;
}

// A working day: rows every few seconds, some without input (which the
// activity page joins when they touch), three applications.
void WriteDay(const std::string& user, LDateTime day, int rows) {
  int second = 6 * 3600;
  for (int i = 0; i < rows; ++i) {
    const bool idle = i % 5 == 0;
    const int duration = 2 + i % 3;
    LKXCoreData::LogActivity(user, day + second, duration, i % 97 == 0 ? 1 : 0, idle ? 0 : 1 + i % 9, idle ? 0 : i % 3,
                             i % 3 == 0 ? "OUTLOOK.EXE" : (i % 3 == 1 ? "WINWORD.EXE" : "chrome.exe"),
                             "Quarterly report " + std::to_string(i % 40) + " - Microsoft Word");
    second += duration + (i % 7 == 0 ? 1 : 0);
  }
}

void Prepare() {
  KXAddUser("boss@office.example", "Boss", true, false, "", "", "pw");
  for (int u = 0; u < kUsageUsers; ++u) KXAddUser(Address(u), "User " + std::to_string(u), false, false, "", "", "pw");
  WriteDay(Address(0), kDay, kBusyDayRows);
  // A month of ordinary days (3,000 rows) for each user, linked to one
  // written day so the disk holds it once.
  const LDateTime first = kDay - kMonthDays * LDateTime::kOneDay;
  WriteDay(Address(1), first, 3000);
  std::string source;
  LKXCoreData::GetUserActivityLogCSV(Address(1), first, source);
  for (int u = 0; u < kUsageUsers; ++u) {
    for (int d = 0; d < kMonthDays; ++d) {
      std::string to;
      LKXCoreData::GetUserActivityLogCSV(Address(u), first + d * LDateTime::kOneDay, to);
      std::error_code ignored;
      if (to != source) std::filesystem::create_hard_link(source, to, ignored);
    }
  }
  // 2,000 pictures with their thumbnails, the files linked to one pair.
  const std::string jpeg = MakeJpeg(320, 200);
  LKXCoreData::LogScreenShot(Address(0), kDay + 6 * 3600, true, jpeg.data(), jpeg.size());
  std::string folder;
  LKXCoreData::GetScreenFolder(Address(0), kDay, folder, false);
  for (int i = 1; i < kPictures; ++i) {
    const std::string name = (kDay + 6 * 3600 + i * 15).GetTimeHHHMMHSS() + ".jpg";
    std::error_code ignored;
    std::filesystem::create_hard_link(folder + "/06-00-00.jpg", folder + "/" + name, ignored);
    std::filesystem::create_hard_link(folder + "/_06-00-00.jpg", folder + "/_" + name, ignored);
  }
  std::string big = jpeg;
  big.resize(kBigPicture, '\0');
  std::ofstream(folder + "/05-00-00.jpg", std::ios::binary) << big;

  WriteSession("lmonitorb1", "user=boss%40office.example");
  const std::string first_text = first.GetDateText();
  const std::string last_text = (kDay - LDateTime::kOneDay).GetDateText();
  for (int u = 0; u < kUsageUsers; ++u) {
    WriteSession("lusagepgs" + std::to_string(u), "user=boss%40office.example&selusers=user" + std::to_string(u) +
                                                  "%40office.example&startdate=" + first_text + "&enddate=" + last_text);
  }
}

BenchPageServer gPages;

void Page(benchmark::State& state, const std::string& path, const char* session, const char* expected,
          bool gzip = false) {
  BenchTimePage(state, gPages, path, session, expected, gzip);
}

const std::string kUser0 = "seluser=user0%40office.example&date=2026-03-02";

void BM_Activity20000Rows(benchmark::State& state) {
  Page(state, "viewactivity?" + kUser0, "lmonitorb1", "</tr></table>");
}
BENCHMARK(BM_Activity20000Rows)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The same page for a browser that accepts gzip, unpacked on arrival.
void BM_Activity20000RowsGzip(benchmark::State& state) {
  Page(state, "viewactivity?" + kUser0, "lmonitorb1", "</tr></table>", true);
}
BENCHMARK(BM_Activity20000RowsGzip)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_Screenshots2000(benchmark::State& state) {
  Page(state, "viewscreens?" + kUser0, "lmonitorb1", "time=14:19:45\"");
}
BENCHMARK(BM_Screenshots2000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_AppUsage20UsersMonth(benchmark::State& state) {
  std::string answer;
  const double cpuBefore = BenchProcessCpuMs();
  for (auto _ : state) {
    for (int u = 0; u < kUsageUsers; ++u) answer = BenchFetchPage(gPages.port, "viewappusage", "lusagepgs" + std::to_string(u));
    benchmark::DoNotOptimize(answer.data());
  }
  state.counters["process_cpu_ms"] = (BenchProcessCpuMs() - cpuBefore) / static_cast<double>(state.iterations());
  if (answer.find("WINWORD.EXE</a>") == std::string::npos) {
    std::fprintf(stderr, "viewappusage answered:\n%s\n", answer.substr(answer.size() > 3000 ? answer.size() - 3000 : 0).c_str());
    state.SkipWithError("the usage page is not the report");
  }
}
BENCHMARK(BM_AppUsage20UsersMonth)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_FullSizePicture1MB(benchmark::State& state) {
  Page(state, "fullsizeimg.jpg?" + kUser0 + "&time=05:00:00", "lmonitorb1", "Content-Length: 1048576\r\n");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kBigPicture);
}
BENCHMARK(BM_FullSizePicture1MB)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  const int status = KavrixBenchMain(argc, argv, [] {
    setenv("TZ", "UTC", 1);
    LSettingSetString("Settings", "SetupWizardRun", "0");
    Prepare();
    gPages.Start();
  });
  gPages.server.reset();
  return status;
}
