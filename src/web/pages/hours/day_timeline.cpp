#include "web/pages/hours/day_timeline.h"

#include "web/pages/hours/report_dates.h"
#include "web/panel/html_list.h"

namespace {

// The drawing is laid out in a box of one unit per minute of the day, plus
// margins for the labels; the browser scales it to the page width.
constexpr int kLeft = 20;
constexpr int kDayWidth = 1440;
constexpr int kWidth = kDayWidth + 2 * kLeft;
constexpr int kBarTop = 4;
constexpr int kBarHeight = 28;
constexpr int kLabelY = kBarTop + kBarHeight + 16;
constexpr int kLegendY = kLabelY + 14;
constexpr int kHeight = kLegendY + 24;
constexpr int kHoursPerMark = 3;

struct TypeLook {
  const char* name;
  const char* colour;
};

// Indexed by the period type. Colours that differ in lightness as well as
// hue, so a grey print still tells them apart.
constexpr TypeLook kLooks[] = {
    {"active", "#2e7d32"}, {"manual", "#1565c0"}, {"idle", "#f9c74f"}, {"private", "#9e9e9e"}, {"break", "#e76f51"},
};
// The legend's order: what is worked first.
constexpr int kLegendOrder[] = {kKXPeriodActive, kKXPeriodIdle, kKXPeriodManual, kKXPeriodPrivate, kKXPeriodBreak};

const TypeLook& LookOf(int type) {
  return (type >= 0 && type < 5) ? kLooks[type] : kLooks[kKXPeriodPrivate];
}

// Hundredths as "N.NN", without the C library's locale-dependent and, for
// the thousands of bars of a busy day, slow floating point output.
std::string Hundredths(long long hundredths) {
  std::string text = std::to_string(hundredths / 100);
  text += '.';
  text += static_cast<char>('0' + hundredths % 100 / 10);
  text += static_cast<char>('0' + hundredths % 10);
  return text;
}

// A second of the day as a coordinate: minutes from the left margin.
std::string X(std::int32_t second) { return Hundredths((static_cast<long long>(second) * 100 + 30) / 60 + kLeft * 100); }

std::string Width(std::int32_t seconds) { return Hundredths((static_cast<long long>(seconds) * 100 + 30) / 60); }

// One unit of the drawing is a minute of the day.
constexpr std::int32_t kSecondsPerUnit = 60;

// Bars narrower than a unit cannot be told apart on screen, and a busy day
// has thousands of them. Touching short periods are gathered until they span
// a unit and drawn as one bar in the type that fills most of it.
class LShortBarRun {
 public:
  bool Empty() const { return start == end; }
  void Add(const LTimePeriod& p) {
    if (Empty()) start = p.start;
    end = p.end;
    if (p.type >= 0 && p.type < 5) seconds_[p.type] += p.end - p.start;
  }
  // The run as one period (empty when nothing was gathered), and a fresh run.
  LTimePeriod Take() {
    LTimePeriod bar{start, end, kKXPeriodActive};
    for (int type = 0; type < 5; ++type) {
      if (seconds_[type] > seconds_[bar.type]) bar.type = type;
    }
    *this = LShortBarRun();
    return bar;
  }
  std::int32_t start = 0;
  std::int32_t end = 0;

 private:
  std::int32_t seconds_[5] = {};
};

void AddBar(std::string& svg, const LTimePeriod& p) {
  if (p.end <= p.start) return;
  const TypeLook& look = LookOf(p.type);
  svg += LHtmlFormatChecked(
      "<rect x=\"%s\" y=\"%d\" width=\"%s\" height=\"%d\" fill=\"%s\"><title>%s %s-%s</title></rect>", X(p.start),
      kBarTop, Width(p.end - p.start), kBarHeight, look.colour, look.name, KXClockText(p.start), KXClockText(p.end));
}

}  // namespace

const char* KXPeriodTypeName(int type) { return LookOf(type).name; }

std::string KXDayTimelineSvg(const LTimePeriodList& periods) {
  std::string svg = LHtmlFormatChecked(
      "<svg class=timeline xmlns=\"http://www.w3.org/2000/svg\" width=\"100%%\" viewBox=\"0 0 %d %d\" "
      "role=\"img\" aria-label=\"Periods of the day from 00:00 to 24:00\" "
      "style=\"-webkit-print-color-adjust:exact;print-color-adjust:exact;font-family:Arial,sans-serif\">",
      kWidth, kHeight);
  svg += LHtmlFormatChecked(
      "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"#ffffff\" stroke=\"#999999\" stroke-width=\"1\"/>",
      kLeft, kBarTop, kDayWidth, kBarHeight);
  LShortBarRun run;
  for (const LTimePeriod& p : periods) {
    if (p.end - p.start >= kSecondsPerUnit || (!run.Empty() && p.start != run.end)) AddBar(svg, run.Take());
    if (p.end - p.start >= kSecondsPerUnit) {
      AddBar(svg, p);
    } else {
      run.Add(p);
      if (run.end - run.start >= kSecondsPerUnit) AddBar(svg, run.Take());
    }
  }
  AddBar(svg, run.Take());
  for (int hour = 0; hour <= 24; hour += kHoursPerMark) {
    const std::string x = X(hour * 3600);
    svg += LHtmlFormatChecked(
        "<line x1=\"%s\" y1=\"%d\" x2=\"%s\" y2=\"%d\" stroke=\"#666666\" stroke-width=\"1\"/>"
        "<text x=\"%s\" y=\"%d\" font-size=\"12\" text-anchor=\"middle\" fill=\"#333333\">%.2d:00</text>",
        x, kBarTop + kBarHeight, x, kBarTop + kBarHeight + 4, x, kLabelY, hour);
  }
  int x = kLeft;
  for (int type : kLegendOrder) {
    const TypeLook& look = kLooks[type];
    svg += LHtmlFormatChecked(
        "<rect x=\"%d\" y=\"%d\" width=\"14\" height=\"14\" fill=\"%s\" stroke=\"#666666\" stroke-width=\"0.5\"/>"
        "<text x=\"%d\" y=\"%d\" font-size=\"13\" fill=\"#333333\">%s</text>",
        x, kLegendY, look.colour, x + 20, kLegendY + 12, look.name);
    x += 110;
  }
  svg += "</svg>";
  return svg;
}
