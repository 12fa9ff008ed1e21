#pragma once
// The bar chart beside the application-usage table: the applications with
// the most time as horizontal bars, drawn as inline SVG (no script, so the
// chart also prints and works with scripts switched off).

#include <string>
#include <vector>

#include "hours/app_usage.h"

inline constexpr std::size_t kKXUsageChartBars = 10;

// The chart of the largest `kKXUsageChartBars` entries of `entries` (any
// order); empty text when no entry has time.
std::string KXUsageChartSvg(std::vector<LKXAppUsage> entries);
