#include "hours/time_period_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <utility>
#include <vector>

namespace {

using Periods = std::vector<LTimePeriod>;

// 'a' AddPeriod, 'o' AddPeriodOverwrite, 'j' JoinTimePeriods.
struct Op { char kind; int start = 0, end = 0, type = 0; };

void Apply(LTimePeriodList& list, const Op& op) {
  if (op.kind == 'a') list.AddPeriod(op.start, op.end, op.type);
  if (op.kind == 'o') list.AddPeriodOverwrite(op.start, op.end, op.type);
  if (op.kind == 'j') list.JoinTimePeriods();
}

::testing::AssertionResult KeepsInvariants(const LTimePeriodList& list) {
  int previous_end = 0;
  for (const LTimePeriod& p : list) {
    if (p.start < previous_end || p.start >= p.end || p.end > 86400 || p.start < 0) {
      return ::testing::AssertionFailure() << "bad period " << p.start << "-" << p.end << " after " << previous_end;
    }
    previous_end = p.end;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST(TimePeriodListTest, OperationsGiveTheExpectedDay) {
  struct Case { const char* what; std::vector<Op> ops; Periods expected; };
  const std::vector<Case> cases = {
      {"plain add", {{'a', 100, 200, 0}}, {{100, 200, 0}}},
      {"end 0 is midnight", {{'a', 80000, 0, 2}}, {{80000, 86400, 2}}},
      {"start after end exchanged", {{'a', 200, 100, 1}}, {{100, 200, 1}}},
      {"empty period", {{'a', 5, 5, 0}, {'o', 0, 0, 1}}, {}},
      {"start past midnight with end 0", {{'a', 90000, 0, 0}}, {}},
      {"held to the day", {{'a', -50, 100, 0}, {'a', 86000, 99999, 3}}, {{0, 100, 0}, {86000, 86400, 3}}},
      {"first come kept", {{'a', 100, 200, 0}, {'a', 150, 300, 3}}, {{100, 200, 0}, {200, 300, 3}}},
      {"holes filled around existing",
       {{'a', 100, 200, 0}, {'a', 300, 400, 0}, {'a', 50, 500, 1}},
       {{50, 100, 1}, {100, 200, 0}, {200, 300, 1}, {300, 400, 0}, {400, 500, 1}}},
      {"inside an earlier one, same end", {{'a', 100, 200, 0}, {'a', 150, 200, 1}}, {{100, 200, 0}}},
      {"inserted before later ones", {{'a', 500, 600, 0}, {'a', 100, 200, 1}}, {{100, 200, 1}, {500, 600, 0}}},
      {"overwrite splits", {{'a', 100, 400, 0}, {'o', 200, 300, 1}}, {{100, 200, 0}, {200, 300, 1}, {300, 400, 0}}},
      {"overwrite cuts, moves and removes",
       {{'a', 100, 200, 0}, {'a', 250, 300, 3}, {'a', 350, 500, 0}, {'o', 150, 400, 1}},
       {{100, 150, 0}, {150, 400, 1}, {400, 500, 0}}},
      {"overwrite the same span", {{'a', 100, 200, 0}, {'o', 100, 200, 1}}, {{100, 200, 1}}},
      {"overwrite touching neighbours", {{'a', 0, 100, 0}, {'a', 200, 300, 0}, {'o', 100, 200, 1}},
       {{0, 100, 0}, {100, 200, 1}, {200, 300, 0}}},
      {"join same type only",
       {{'a', 0, 10, 0}, {'a', 10, 20, 0}, {'a', 20, 30, 1}, {'a', 40, 50, 1}, {'a', 50, 60, 1}, {'j'}},
       {{0, 20, 0}, {20, 30, 1}, {40, 60, 1}}},
  };
  for (const Case& c : cases) {
    LTimePeriodList list;
    for (const Op& op : c.ops) Apply(list, op);
    EXPECT_EQ(list.Periods(), c.expected) << c.what;
  }
}

// Random adds and overwrites against a model of the day, second by second.
TEST(TimePeriodListTest, RandomOperationsMatchASecondBySecondModel) {
  std::mt19937 random(20091025);
  for (int sequence = 0; sequence < 2000; ++sequence) {
    LTimePeriodList list;
    std::vector<signed char> model(86400, -1);
    const int ops = 1 + static_cast<int>(random() % 40);
    for (int i = 0; i < ops; ++i) {
      // Mostly short periods so that they meet, sometimes long or odd ones.
      int start = static_cast<int>(random() % 86600) - 100;
      int end = random() % 4 == 0 ? static_cast<int>(random() % 86600) : start + static_cast<int>(random() % 4000);
      if (random() % 10 == 0) end = 0;
      const int type = static_cast<int>(random() % 5);
      const bool overwrite = random() % 3 == 0;
      overwrite ? list.AddPeriodOverwrite(start, end, type) : list.AddPeriod(start, end, type);
      ASSERT_TRUE(KeepsInvariants(list)) << "sequence " << sequence << " op " << i;
      // The model applies the same normalisation, then paints seconds.
      if (start == end) continue;
      if (end == 0) {
        end = 86400;
        if (start > 86400) std::swap(start, end);
      }
      if (start > end) std::swap(start, end);
      for (int s = std::max(start, 0); s < std::min(end, 86400); ++s) {
        if (overwrite || model[s] < 0) model[s] = static_cast<signed char>(type);
      }
    }
    std::vector<signed char> painted(86400, -1);
    long long summed = 0;
    for (const LTimePeriod& p : list) {
      summed += p.end - p.start;
      std::fill(painted.begin() + p.start, painted.begin() + p.end, static_cast<signed char>(p.type));
    }
    ASSERT_EQ(painted, model) << "sequence " << sequence;
    ASSERT_EQ(summed, 86400 - std::count(model.begin(), model.end(), -1)) << "sequence " << sequence;
  }
}
