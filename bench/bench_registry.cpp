// Staff registry costs with 500 users: the walk that the user list page and
// the reports make (three keys per user), finding one user by address (every
// log-on and most pages), and the manager test, which walks every user's
// "Manager" list. Cold variants drop the parsed-file cache first, as after
// every user record changed.
//
// Everything happens under a temporary KAVRIX_ROOT made here and removed at
// the end.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "bench_main.h"
#include "foundation/settings_cache.h"
#include "foundation/test_hooks.h"
#include "model/registry_lists.h"
#include "model/users.h"

namespace {

constexpr int kUsers = 500;

std::string Address(int i) { return "user" + std::to_string(i) + "@office.example"; }

void FillUsers() {
  if (KXUserCount() == kUsers) return;
  for (int i = 0; i < kUsers; ++i) {
    KXAddUser(Address(i), "User " + std::to_string(i), i % 50 == 0, false, "", "", "pw");
  }
}

int WalkThreeKeys() {
  int found = 0;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& user = it.Get();
    found += user.GetEmail().size() + user.GetName().size() + user.GetText(kKXUserManager).size() > 0 ? 1 : 0;
  }
  return found;
}

void BM_WalkUsersThreeKeys(benchmark::State& state) {
  FillUsers();
  for (auto _ : state) benchmark::DoNotOptimize(WalkThreeKeys());
  state.SetItemsProcessed(state.iterations() * kUsers);
}
BENCHMARK(BM_WalkUsersThreeKeys)->Unit(benchmark::kMicrosecond);

void BM_WalkUsersThreeKeysCold(benchmark::State& state) {
  FillUsers();
  for (auto _ : state) {
    LSettingsCacheClear();
    benchmark::DoNotOptimize(WalkThreeKeys());
  }
  state.SetItemsProcessed(state.iterations() * kUsers);
}
BENCHMARK(BM_WalkUsersThreeKeysCold)->Unit(benchmark::kMicrosecond);

// The last user in list order: the whole list is compared.
void BM_GetUserByEmailLast(benchmark::State& state) {
  FillUsers();
  const std::string wanted = "USER499@office.example";
  LKXUser user;
  for (auto _ : state) benchmark::DoNotOptimize(KXGetUser(wanted, user));
}
BENCHMARK(BM_GetUserByEmailLast)->Unit(benchmark::kMicrosecond);

void BM_GetUserByEmailMiddle(benchmark::State& state) {
  FillUsers();
  const std::string wanted = Address(kUsers / 2);
  LKXUser user;
  for (auto _ : state) benchmark::DoNotOptimize(KXGetUser(wanted, user));
}
BENCHMARK(BM_GetUserByEmailMiddle)->Unit(benchmark::kMicrosecond);

// A user who manages nobody: every "Manager" list is read to the end.
void BM_IsManagerNo(benchmark::State& state) {
  FillUsers();
  LKXUser user;
  KXGetUser(Address(1), user);
  for (auto _ : state) benchmark::DoNotOptimize(KXIsManager(user));
}
BENCHMARK(BM_IsManagerNo)->Unit(benchmark::kMicrosecond);

// Adding to a list of 500 (the address is checked against all of them) and
// deleting again, so the list stays the same size.
void BM_AddAndDeleteUser(benchmark::State& state) {
  FillUsers();
  for (auto _ : state) {
    KXAddUser("extra@office.example", "Extra", false, false, "", "", "pw");
    KXDeleteUser("extra@office.example");
  }
}
BENCHMARK(BM_AddAndDeleteUser)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return KavrixBenchMain(argc, argv); }
