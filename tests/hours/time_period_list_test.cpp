#include "hours/time_period_list.h"

#include <gtest/gtest.h>

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

}  // namespace

TEST(TimePeriodListTest, OperationsGiveTheExpectedDay) {
  struct Case { const char* what; std::vector<Op> ops; Periods expected; };
  const std::vector<Case> cases = {
      {"end 0 is midnight", {{'a', 80000, 0, 2}}, {{80000, 86400, 2}}},
      {"start after end exchanged", {{'a', 200, 100, 1}}, {{100, 200, 1}}},
      {"empty period", {{'a', 5, 5, 0}, {'o', 0, 0, 1}}, {}},
      {"held to the day", {{'a', -50, 100, 0}, {'a', 86000, 99999, 3}}, {{0, 100, 0}, {86000, 86400, 3}}},
      {"holes filled around existing",
       {{'a', 100, 200, 0}, {'a', 300, 400, 0}, {'a', 50, 500, 1}},
       {{50, 100, 1}, {100, 200, 0}, {200, 300, 1}, {300, 400, 0}, {400, 500, 1}}},
      {"overwrite splits", {{'a', 100, 400, 0}, {'o', 200, 300, 1}}, {{100, 200, 0}, {200, 300, 1}, {300, 400, 0}}},
      {"overwrite cuts, moves and removes",
       {{'a', 100, 200, 0}, {'a', 250, 300, 3}, {'a', 350, 500, 0}, {'o', 150, 400, 1}},
       {{100, 150, 0}, {150, 400, 1}, {400, 500, 0}}},
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

