#include "hours/log_row.h"

#include <string>

#include "foundation/csv_reader.h"
#include "foundation/date_time.h"
#include "foundation/scan_numbers.h"
#include "foundation/text_limits.h"

namespace {

constexpr int kColumns = 5;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// The first columns by the comma-list item rule; false when one of them is
// quoted or would be cut, which only the full reader handles.
bool SplitPlainColumns(std::string_view line, std::string_view (&columns)[kColumns]) {
  std::size_t pos = 0;
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  for (std::string_view& column : columns) {
    column = {};
    if (pos >= line.size()) continue;
    std::size_t stop = line.find_first_of(",\"", pos);
    if (stop == std::string_view::npos) stop = line.size();
    if (stop < line.size() && line[stop] == '"') return false;
    if (stop - pos >= kLMaxText) return false;
    column = line.substr(pos, stop - pos);
    pos = stop;
    if (pos < line.size()) ++pos;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
  }
  return true;
}

void ReadWithRowReader(std::string_view line, LKXLogRowHead& out) {
  LCSVReaderRow row(line);
  std::string start_text;
  row.GetCol(start_text);
  LDayTime start;
  start.SetText(start_text);
  out.start = start.value;
  out.duration = row.GetCol();
  out.flags = row.GetCol();
  out.keys = row.GetCol();
  out.clicks = row.GetCol();
}

}  // namespace

void LKXReadLogRowHead(std::string_view line, LKXLogRowHead& out) {
  std::string_view columns[kColumns];
  if (!SplitPlainColumns(line, columns)) {
    ReadWithRowReader(line, out);
    return;
  }
  LDayTime start;
  start.SetText(columns[0]);
  out.start = start.value;
  out.duration = LAtoi(columns[1]);
  out.flags = LAtoi(columns[2]);
  out.keys = LAtoi(columns[3]);
  out.clicks = LAtoi(columns[4]);
}
