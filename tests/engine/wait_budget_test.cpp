#include "engine/wait_budget.h"

#include <gtest/gtest.h>

#include <utility>

// Each empty slice charges 200 ms; a budget with 1 ms left allows one more,
// and one shorter than a slice allows none.
TEST(WaitBudget, GivesUpWhenLessThanOneMillisecondIsLeft) {
  for (const auto& [ms, slices] : {std::pair{400, 1}, {401, 2}, {199, 0}}) {
    LWaitBudget budget(ms);
    int charged = 0;
    while (charged < 10 && budget.ChargeEmptySlice()) ++charged;
    EXPECT_EQ(charged, slices) << ms;
  }
}
