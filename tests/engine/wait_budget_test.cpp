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
  LWaitBudget zero(0);
  EXPECT_FALSE(zero.ChargeEmptySlice());
  LWaitBudget below(199);
  EXPECT_FALSE(below.ChargeEmptySlice());
}

// A link that delivers one byte every 4 seconds under a 5000 ms time-out:
// each gap costs 20 empty slices (4000 ms), and every byte restarts the
// count, so the receive never runs out however long it lasts in total.
TEST(WaitBudget, SlowLinkCountsOnlySilence) {
  LWaitBudget budget(5000);
  for (int byte = 0; byte < 100; ++byte) {
    for (int slice = 0; slice < 20; ++slice) ASSERT_TRUE(budget.ChargeEmptySlice());
    EXPECT_EQ(budget.Left(), 1000);
    budget.Restart();
  }
  // Silence of the whole time-out does end it: 25 empty slices.
  for (int slice = 0; slice < 24; ++slice) ASSERT_TRUE(budget.ChargeEmptySlice());
  EXPECT_FALSE(budget.ChargeEmptySlice());
}
