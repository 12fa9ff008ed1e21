#pragma once
// One way for tests to name a moment: KavrixAt("2026-03-10", "09:00:00").
// A text the clock cannot read fails the test that wrote it.

#include <gtest/gtest.h>

#include "foundation/date_time.h"

inline LDateTime KavrixAt(const char* date, const char* time = "00:00:00") {
  LDateTime moment;
  EXPECT_TRUE(moment.SetDateTime(date, time)) << date << ' ' << time;
  return moment;
}
