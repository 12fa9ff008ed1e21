// Settings store costs: a get on an unchanged section file (the common case
// for every request that reads "Routing"/"LocalPort" and the like), a walk of
// a 500-user record list reading one key per user, and a set, which rewrites
// the file through a flushed temporary file.
//
// Everything happens under a temporary KAVRIX_ROOT made here and removed at
// the end.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "bench_main.h"
#include "foundation/record_list.h"
#include "foundation/settings_cache.h"
#include "foundation/settings_sections.h"
#include "foundation/test_hooks.h"

namespace {

constexpr int kUsers = 500;

class BenchUser : public LSettingsRecord {};
using BenchUsers = LRecordList<LSettingsRecord, BenchUser>;

void FillSection() {
  for (int i = 0; i < 40; ++i) {
    LSettingSetString("Settings", "Key" + std::to_string(i), std::string_view("value number " + std::to_string(i)));
  }
}

void FillUsers() {
  BenchUsers users = BenchUsers::InSharedFolder("UsersList");
  if (users.Count() == kUsers) return;
  for (int i = 0; i < kUsers; ++i) {
    BenchUser user;
    users.Add(user);
    user.SetString("Email", std::string_view("user" + std::to_string(i) + "@example.com"));
    user.SetString("Name", std::string_view("User " + std::to_string(i)));
    user.SetString("Team", "DefaultTeam");
  }
}

void BM_GetStringUnchanged(benchmark::State& state) {
  FillSection();
  std::string value;
  for (auto _ : state) {
    _LSettingGetString("Settings", "Key39", "", value);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_GetStringUnchanged);

// The floor of the get above: the one stat() that tells whether the file
// changed.
void BM_StatBaseline(benchmark::State& state) {
  FillSection();
  const std::string path = LSettingsGetSharedFolder() + "/settings";
  struct stat info {};
  for (auto _ : state) benchmark::DoNotOptimize(stat(path.c_str(), &info));
}
BENCHMARK(BM_StatBaseline);

int WalkUsers() {
  BenchUsers users = BenchUsers::InSharedFolder("UsersList");
  int found = 0;
  for (LRecordListIterator<LSettingsRecord, BenchUser> it(users); it.Next();) {
    found += it.Get().GetString("Email").empty() ? 0 : 1;
  }
  return found;
}

void BM_WalkUsersReadOneKey(benchmark::State& state) {
  FillUsers();
  for (auto _ : state) benchmark::DoNotOptimize(WalkUsers());
  state.SetItemsProcessed(state.iterations() * kUsers);
}
BENCHMARK(BM_WalkUsersReadOneKey)->Unit(benchmark::kMicrosecond);

// The same walk when no parsed file is cached: every record is read from
// disk and parsed (the first walk after start, or after every user changed).
void BM_WalkUsersReadOneKeyCold(benchmark::State& state) {
  FillUsers();
  for (auto _ : state) {
    LSettingsCacheClear();
    benchmark::DoNotOptimize(WalkUsers());
  }
  state.SetItemsProcessed(state.iterations() * kUsers);
}
BENCHMARK(BM_WalkUsersReadOneKeyCold)->Unit(benchmark::kMicrosecond);

void BM_SetStringChanged(benchmark::State& state) {
  FillSection();
  int n = 0;
  for (auto _ : state) LSettingSetInt("Settings", "Counter", ++n);
}
BENCHMARK(BM_SetStringChanged)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return KavrixBenchMain(argc, argv); }
