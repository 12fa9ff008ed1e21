#pragma once
// The leading columns of a work-log row, which both the activity and the
// manual-hours logs share: start time, duration and flags, then (activity
// only) key strokes and mouse clicks. They are read exactly as
// LCSVReaderRow reads them: missing columns read empty, text in a number
// column reads 0, numbers are held to the int range, and the start is
// LDayTime's reading of "H:M:S" without a range check.
//
// A busy day has thousands of activity rows; reading only these five plain
// columns in place, without copying each column, is most of what keeps a
// day's calculation cheap. A row whose leading columns are quoted or
// overlong is handed to LCSVReaderRow instead, so the two never disagree.

#include <cstdint>
#include <string>
#include <string_view>

struct LKXLogRowHead {
  std::int32_t start = 0;  // seconds since midnight as written
  int duration = 0;
  int flags = 0;
  int keys = 0;
  int clicks = 0;
};

void LKXReadLogRowHead(std::string_view line, LKXLogRowHead& out);

// The leading columns and the activity row's application (and, when
// `caption` is given, the window caption), read as LCSVReaderRow reads them;
// plain and simply quoted texts are taken in place, anything else through
// LCSVReaderRow.
void LKXReadLogRowTexts(std::string_view line, LKXLogRowHead& head, std::string& application,
                        std::string* caption);
