#include "engine/wait_budget.h"

#include <gtest/gtest.h>

TEST(WaitBudget, GivesUpWhenLessThanOneMillisecondIsLeft) {
  LWaitBudget exact(400);
  EXPECT_TRUE(exact.ChargeEmptySlice());
  EXPECT_FALSE(exact.ChargeEmptySlice());  // 0 left

  LWaitBudget oneMore(401);
  EXPECT_TRUE(oneMore.ChargeEmptySlice());
  EXPECT_TRUE(oneMore.ChargeEmptySlice());  // 1 ms left still counts
  EXPECT_EQ(oneMore.Left(), 1);
  EXPECT_FALSE(oneMore.ChargeEmptySlice());
  // Time-outs shorter than a slice allow none.
  LWaitBudget below(199);
  EXPECT_FALSE(below.ChargeEmptySlice());
}
