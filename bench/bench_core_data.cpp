// Work log costs: activity records appended by 8 threads for 8 users at once
// (each record opened, locked, written in one write and closed, as stations
// deliver them), and one 1280 x 1024 bitmap screenshot stored as JPEG with
// its thumbnail.
//
// Everything happens under a temporary KAVRIX_ROOT made here and removed at
// the end.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "bench_main.h"
#include "foundation/settings_sections.h"
#include "foundation/test_hooks.h"
#include "model/core_data.h"
#include "model/image_test_helpers.h"

namespace {

// 2010-01-04 09:00:00 UTC.
constexpr LDateTime kStart(1262595600);

void BM_AppendActivity(benchmark::State& state) {
  const std::string user = "staff" + std::to_string(state.thread_index()) + "@example.com";
  int keys = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        LKXCoreData::LogActivity(user, kStart, 15, 0, ++keys, 3, "WINWORD.EXE", "Quarterly report - Microsoft Word"));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AppendActivity)->Threads(1)->Threads(8)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_StoreBitmapScreenShot(benchmark::State& state) {
  const std::string bmp = MakeBmp(1280, 1024);
  for (auto _ : state) {
    benchmark::DoNotOptimize(LKXCoreData::LogScreenShot("staff@example.com", kStart, false, bmp.data(), bmp.size()));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StoreBitmapScreenShot)->Unit(benchmark::kMillisecond);

void BM_StoreJpegScreenShot(benchmark::State& state) {
  const std::string jpeg = MakeJpeg(1280, 1024);
  for (auto _ : state) {
    benchmark::DoNotOptimize(LKXCoreData::LogScreenShot("staff@example.com", kStart, true, jpeg.data(), jpeg.size()));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StoreJpegScreenShot)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return KavrixBenchMain(argc, argv, [] {
    setenv("TZ", "UTC", 1);
    // An installed server has its "settings" section file, in which every
    // record looks up the archive root (and finds it empty: the default).
    LSettingSetString("Settings", "AutoDeleteDays", "30");
  });
}
