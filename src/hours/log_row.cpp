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
bool SplitPlainColumns(std::string_view line, std::string_view (&columns)[kColumns], std::size_t& pos) {
  pos = 0;
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  for (std::string_view& column : columns) {
    column = {};
    if (pos >= line.size()) continue;
    // A plain loop: find_first_of calls memchr on its set once per byte.
    std::size_t stop = pos;
    while (stop < line.size() && line[stop] != ',' && line[stop] != '"') ++stop;
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

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int Digit(char c) { return c - '0'; }

// Nearly every column is a short run of digits, or "HH:MM:SS" for the start;
// those are read here directly, anything else the general way, which gives
// the same value for these.
int ReadNumber(std::string_view text) {
  if (text.empty() || text.size() > 9) return LAtoi(text);
  int value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return LAtoi(text);
    value = value * 10 + Digit(c);
  }
  return value;
}

std::int32_t ReadStart(std::string_view text) {
  if (text.size() == 8 && text[2] == ':' && text[5] == ':' && IsDigit(text[0]) && IsDigit(text[1]) &&
      IsDigit(text[3]) && IsDigit(text[4]) && IsDigit(text[6]) && IsDigit(text[7])) {
    return (Digit(text[0]) * 10 + Digit(text[1])) * 3600 + (Digit(text[3]) * 10 + Digit(text[4])) * 60 +
           Digit(text[6]) * 10 + Digit(text[7]);
  }
  LDayTime start;
  start.SetText(text);
  return start.value;
}

// One text column at `pos` by the item rule when it is plain or quoted
// without doubled quotes and short enough to need no cut; false otherwise.
bool PlainText(std::string_view line, std::size_t& pos, std::string& out) {
  out.clear();
  if (pos >= line.size()) return true;
  std::size_t end;
  if (line[pos] == '"') {
    const std::size_t close = line.find('"', pos + 1);
    if (close == std::string_view::npos || (close + 1 < line.size() && line[close + 1] == '"')) return false;
    if (close - pos - 1 >= kLMaxText) return false;
    out.assign(line.substr(pos + 1, close - pos - 1));
    end = line.find(',', close);
    if (end == std::string_view::npos) end = line.size();
  } else {
    end = pos;
    while (end < line.size() && line[end] != ',' && line[end] != '"') ++end;
    if (end < line.size() && line[end] == '"') return false;
    if (end - pos >= kLMaxText) return false;
    out.assign(line.substr(pos, end - pos));
  }
  pos = end;
  if (pos < line.size()) ++pos;
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  return true;
}

}  // namespace

void LKXReadLogRowTexts(std::string_view line, LKXLogRowHead& head, std::string& application,
                        std::string* caption) {
  std::string_view columns[kColumns];
  std::size_t pos = 0;
  if (SplitPlainColumns(line, columns, pos) && PlainText(line, pos, application) &&
      (caption == nullptr || PlainText(line, pos, *caption))) {
    head.start = ReadStart(columns[0]);
    head.duration = ReadNumber(columns[1]);
    head.flags = ReadNumber(columns[2]);
    head.keys = ReadNumber(columns[3]);
    head.clicks = ReadNumber(columns[4]);
    return;
  }
  LCSVReaderRow row(line);
  std::string start_text;
  row.GetCol(start_text);
  LDayTime start;
  start.SetText(start_text);
  head.start = start.value;
  head.duration = row.GetCol();
  head.flags = row.GetCol();
  head.keys = row.GetCol();
  head.clicks = row.GetCol();
  row.GetCol(application);
  if (caption != nullptr) row.GetCol(*caption);
}

void LKXReadLogRowHead(std::string_view line, LKXLogRowHead& out) {
  std::string_view columns[kColumns];
  std::size_t pos = 0;
  if (!SplitPlainColumns(line, columns, pos)) {
    ReadWithRowReader(line, out);
    return;
  }
  out.start = ReadStart(columns[0]);
  out.duration = ReadNumber(columns[1]);
  out.flags = ReadNumber(columns[2]);
  out.keys = ReadNumber(columns[3]);
  out.clicks = ReadNumber(columns[4]);
}
