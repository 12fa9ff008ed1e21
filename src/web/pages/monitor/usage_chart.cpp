#include "web/pages/monitor/usage_chart.h"

#include <algorithm>

#include "web/pages/hours/report_dates.h"
#include "web/panel/html_list.h"

namespace {

constexpr int kLabelWidth = 140;
constexpr int kBarWidth = 200;
constexpr int kRowHeight = 20;
constexpr int kBarHeight = 14;
constexpr std::size_t kMaxLabel = 22;

// A label that fits beside its bar; the full name stays in the bar's title.
std::string Shortened(const std::string& name) {
  if (name.size() <= kMaxLabel) return name;
  std::size_t cut = kMaxLabel - 3;
  // Never cut inside a UTF-8 sequence.
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
  return name.substr(0, cut) + "...";
}

}  // namespace

void KXFillUsageTable(LHtmlList& list, const std::forward_list<LKXAppUsage>& entries,
                      const LKXUsageCellWriter& application, const LKXUsageCellWriter& percentage) {
  list.AddColumn("Application", 40, LHtmlList::kAlignCenter, true);
  list.AddColumn("Time Spent", 15, LHtmlList::kAlignCenter, true);
  list.AddColumn("Percentage", 15, LHtmlList::kAlignCenter, true);
  list.AddColumn("Key Strokes", 15, LHtmlList::kAlignCenter, true);
  list.AddColumn("Mouse Clicks", 15, LHtmlList::kAlignCenter, true);
  for (const LKXAppUsage& e : entries) {
    LHtmlListRow row;
    application(row, e);
    row.AddCellPrintFWithOrder(e.seconds, "%s", KXClockText(e.seconds));
    percentage(row, e);
    row.AddCellPrintFWithOrder(e.keys, "<div align=right>%d</div>", e.keys);
    row.AddCellPrintFWithOrder(e.clicks, "<div align=right>%d</div>", e.clicks);
    list.AddRow(std::move(row));
  }
}

std::string KXUsageChartSvg(std::vector<LKXAppUsage> entries) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const LKXAppUsage& a, const LKXAppUsage& b) { return a.seconds > b.seconds; });
  if (entries.size() > kKXUsageChartBars) entries.resize(kKXUsageChartBars);
  if (entries.empty() || entries.front().seconds <= 0) return {};
  const std::int64_t largest = entries.front().seconds;
  const int height = static_cast<int>(entries.size()) * kRowHeight + 4;
  std::string svg = LHtmlFormatChecked(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" role=\"img\" "
      "aria-label=\"Top applications by time\" style=\"font-family: Arial,sans-serif; font-size: 11px;\">",
      kLabelWidth + kBarWidth + 60, height);
  int y = 2;
  for (const LKXAppUsage& e : entries) {
    const int width = std::max<int>(1, static_cast<int>(e.seconds * kBarWidth / largest));
    svg += LHtmlFormatChecked(
        "<g><title>%H %s</title><text x=\"%d\" y=\"%d\" text-anchor=\"end\">%H</text><rect x=\"%d\" y=\"%d\" "
        "width=\"%d\" height=\"%d\" fill=\"#4a7ebb\"/><text x=\"%d\" y=\"%d\">%s</text></g>",
        e.name, KXClockText(e.seconds), kLabelWidth - 4, y + kBarHeight - 3, Shortened(e.name), kLabelWidth, y, width,
        kBarHeight, kLabelWidth + width + 4, y + kBarHeight - 3, KXClockText(e.seconds));
    y += kRowHeight;
  }
  svg += "</svg>";
  return svg;
}
