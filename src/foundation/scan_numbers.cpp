#include "foundation/scan_numbers.h"

#include <climits>
#include <cstddef>
#include <cstdint>

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads one "%d" number at `pos`; false (pos unchanged) when there is none.
bool ReadInt(std::string_view text, std::size_t& pos, int& out) {
  std::size_t at = pos;
  while (at < text.size() && IsSpace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  if (at >= text.size() || !IsDigit(text[at])) return false;
  std::int64_t magnitude = 0;
  for (; at < text.size() && IsDigit(text[at]); ++at) {
    if (magnitude <= static_cast<std::int64_t>(INT_MAX) + 1) magnitude = magnitude * 10 + (text[at] - '0');
  }
  const std::int64_t signed_value = negative ? -magnitude : magnitude;
  if (signed_value > INT_MAX) {
    out = INT_MAX;
  } else if (signed_value < INT_MIN) {
    out = INT_MIN;
  } else {
    out = static_cast<int>(signed_value);
  }
  pos = at;
  return true;
}

}  // namespace

int LScanSeparatedInts(std::string_view text, char separator, int* out, int count) {
  std::size_t pos = 0;
  int read = 0;
  while (read < count) {
    if (read > 0) {
      if (pos >= text.size() || text[pos] != separator) break;
      ++pos;
    }
    if (!ReadInt(text, pos, out[read])) break;
    ++read;
  }
  return read;
}

int LAtoi(std::string_view text) {
  int value = 0;
  std::size_t pos = 0;
  return ReadInt(text, pos, value) ? value : 0;
}
