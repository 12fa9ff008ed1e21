#include "hours/log_row.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/csv_reader.h"
#include "foundation/date_time.h"

namespace {

// The leading columns as "start duration flags keys clicks".
std::string Text(const LKXLogRowHead& head) {
  return std::to_string(head.start) + " " + std::to_string(head.duration) + " " + std::to_string(head.flags) + " " +
         std::to_string(head.keys) + " " + std::to_string(head.clicks);
}

}  // namespace

// The row's head alone, and its texts with and without the caption, read
// exactly as the general row reader reads the same line.
TEST(LogRowTest, LeadingColumnsReadAsTheRowReaderReadsThem) {
  LKXLogRowHead plain;
  LKXReadLogRowHead("09:15:30,600,1,12,3,\"Word\",\"x\"", plain);
  EXPECT_EQ(Text(plain), "33330 600 1 12 3");
  const std::vector<std::string> lines = {
      "  \t09:00:00,  60 ,0,1,1", "09:00:00,", "\"09:00:00\",600,0,5,5", "09:00:00,6\"00\",0,5,5",
      "25:61:99,99999999999,-99999999999,+7,x", "09:00:00,1,0,1,1,\"a\"junk,  c", "09:00:00,1,0,1,1,\"open",
      "09:00:00,1,0,1,1,\"" + std::string(300, 'a') + "\",\"c\"", std::string("09:00:00,6\0" "00,0,5,5", 19),
      "09:00:00,-" + std::string(260, '0') + "5,0,1,1", ""};
  for (const std::string& line : lines) {
    LCSVReaderRow row(line);
    std::string start, application, caption;
    row.GetCol(start);
    LDayTime day_time;
    day_time.SetText(start);
    const int duration = row.GetCol(), flags = row.GetCol(), keys = row.GetCol(), clicks = row.GetCol();
    row.GetCol(application), row.GetCol(caption);
    const std::string head = Text({day_time.value, duration, flags, keys, clicks});
    LKXLogRowHead fast, texts, without;
    std::string app, cap, app_only;
    LKXReadLogRowHead(line, fast);
    LKXReadLogRowTexts(line, texts, app, &cap);
    LKXReadLogRowTexts(line, without, app_only, nullptr);
    EXPECT_EQ(Text(fast) + "|" + Text(texts) + "|" + app + "|" + cap + "|" + Text(without) + "|" + app_only,
              head + "|" + head + "|" + application + "|" + caption + "|" + head + "|" + application)
        << line;
  }
}
