#pragma once
// The application-usage table of the usage and document pages, and the bar
// chart beside it: the applications with the most time as horizontal bars,
// drawn as inline SVG (no script, so the chart also prints and works with
// scripts switched off).

#include <forward_list>
#include <functional>
#include <string>
#include <vector>

#include "hours/app_usage.h"
#include "web/panel/html_list.h"

// Writes one cell of an entry's row.
using LKXUsageCellWriter = std::function<void(LHtmlListRow& row, const LKXAppUsage& entry)>;

// The columns Application, Time Spent, Percentage, Key Strokes and Mouse
// Clicks, and a row per entry; the pages word the application and the
// percentage cells their own way.
void KXFillUsageTable(LHtmlList& list, const std::forward_list<LKXAppUsage>& entries,
                      const LKXUsageCellWriter& application, const LKXUsageCellWriter& percentage);

inline constexpr std::size_t kKXUsageChartBars = 10;

// The chart of the largest `kKXUsageChartBars` entries of `entries` (any
// order); empty text when no entry has time.
std::string KXUsageChartSvg(std::vector<LKXAppUsage> entries);
