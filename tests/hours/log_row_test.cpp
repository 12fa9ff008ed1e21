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

// What the general row reader makes of the same line.
std::string ByRowReader(const std::string& line, std::string& application, std::string& caption) {
  LCSVReaderRow row(line);
  std::string text;
  row.GetCol(text);
  LDayTime start;
  start.SetText(text);
  LKXLogRowHead head;
  head.start = start.value;
  head.duration = row.GetCol(), head.flags = row.GetCol(), head.keys = row.GetCol(), head.clicks = row.GetCol();
  row.GetCol(application), row.GetCol(caption);
  return Text(head);
}

// The head alone, and the texts with and without the caption.
void ExpectSameAsRowReader(const std::string& line) {
  std::string application, caption;
  const std::string expected = ByRowReader(line, application, caption);
  LKXLogRowHead head;
  LKXReadLogRowHead(line, head);
  EXPECT_EQ(Text(head), expected) << line;
  for (bool withCaption : {false, true}) {
    LKXLogRowHead texts;
    std::string app = "old", cap = "old";
    LKXReadLogRowTexts(line, texts, app, withCaption ? &cap : nullptr);
    EXPECT_EQ(Text(texts) + "|" + app + "|" + cap, expected + "|" + application + "|" + (withCaption ? caption : "old"))
        << line;
  }
}

}  // namespace

TEST(LogRowTest, LeadingColumnsReadAsTheRowReaderReadsThem) {
  LKXLogRowHead head;
  LKXReadLogRowHead("09:15:30,600,1,12,3,\"Word\",\"x\"", head);
  EXPECT_EQ(Text(head), "33330 600 1 12 3");
  const std::vector<std::string> lines = {
      "  \t09:00:00,  60 ,0,1,1", "09:00:00,", "\"09:00:00\",600,0,5,5", "09:00:00,6\"00\",0,5,5",
      "25:61:99,99999999999,-99999999999,+7,x", "09:00:00,1,0,1,1,\"a\"junk,  c", "09:00:00,1,0,1,1,\"open",
      "09:00:00,1,0,1,1,\"" + std::string(300, 'a') + "\",\"c\"", std::string("09:00:00,6\0" "00,0,5,5", 19),
      "09:00:00,-" + std::string(260, '0') + "5,0,1,1", ""};
  for (const std::string& line : lines) ExpectSameAsRowReader(line);
}

