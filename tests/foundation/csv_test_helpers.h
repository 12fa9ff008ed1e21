#pragma once
// Small helpers shared by the CSV tests.

#include "foundation/csv_reader.h"
#include "support/test_helpers.h"

using Lines = std::vector<std::string>;

// Every line the reader hands out for the file at `path`.
inline Lines CsvLines(const std::string& path, int lock_timeout_ms = 1000) {
  LCSVFileReader reader(path, lock_timeout_ms);
  Lines lines;
  while (reader.Next()) lines.push_back(reader.Line());
  return lines;
}

// Every column of `line` as LCSVReaderRow sees it.
inline Lines CsvColumns(const std::string& line) {
  LCSVReaderRow row(line);
  Lines columns;
  for (std::string column; row.GetCol(column);) columns.push_back(column);
  return columns;
}
