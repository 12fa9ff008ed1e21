// CSV cells of the downloads, quoted as RFC 4180 says.

#include <gtest/gtest.h>

#include "web/text/csv_cell.h"

TEST(CSVCell, QuotesOnlyWhatNeedsIt) {
  const struct {
    const char* text;
    const char* cell;
  } cases[] = {
      {"09:30", "09:30"},
      {"Doe, Jane", "\"Doe, Jane\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {" padded ", "\" padded \""},
      // Formulas are guarded before the quoting; numbers are not.
      {"=1+2", "'=1+2"},
      {"=SUM(A1,A2)", "\"'=SUM(A1,A2)\""},
      {"-1.50", "-1.50"},
  };
  for (const auto& c : cases) EXPECT_EQ(LCSVCell(c.text), c.cell) << c.text;
}
