#include "hours/app_usage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hours_fixture.h"

namespace {

struct Entry {
  int seconds, keys, clicks;
  std::string name;
  int tag;
  bool operator==(const Entry&) const = default;
};

std::vector<Entry> EntriesOf(const LKXAppUsageList& list) {
  std::vector<Entry> out;
  for (const LKXAppUsage& e : list.Entries()) out.push_back({e.seconds, e.keys, e.clicks, e.name, e.tag});
  return out;
}

}  // namespace

TEST(AppUsageListTest, NamesMeetWithoutLetterCaseNewestFirstWithTheirTag) {
  LKXAppUsageList list;
  list.AddApp(10, 1, 2, "Winword.exe");
  list.SetTag(7);
  list.AddApp(5, 0, 1, "WINWORD.EXE"), list.AddApp(30, 3, 0, "excel.exe");
  list.AddApp(2147483647, 2147483647, 0, "excel.EXE"), list.AddApp(1, 1, 1, std::string(300, 'a'));
  EXPECT_EQ(EntriesOf(list), (std::vector<Entry>{{1, 1, 1, std::string(259, 'a'), 7},
                                                 {2147483647, 2147483647, 0, "excel.exe", 7},
                                                 {15, 1, 3, "Winword.exe", 0}}));
  EXPECT_EQ(list.GetTotalUsageSeconds(), 2147483647);  // held at the int range
}

TEST_F(HoursTest, UsageReportTakesWorkRowsWithInputOverTheWholeSpan) {
  RawLog("2010-01-04",
         "09:00:00,600,0,5,0,\"Word\",\"a\"\r\n"
         "09:10:00,7200,0,0,1,\"word\",\"long rows count here\"\r\n"
         "11:10:00,600,1,5,5,\"Solitaire\",\"private\"\r\n"
         "11:20:00,900,0,0,0,\"Excel\",\"no input\"\r\n"
         "11:40:00,-60,0,5,5,\"Excel\",\"negative\"\r\n"
         "11:50:00,300,0,1,0,\"Excel\",\"b\"\r\n"
         "11:55:00,300,0,1\r\n");
  RawLog("2010-01-06", "09:00:00,60,0,1,1,\"WORD\",\"last day\"\r\n");
  RawLog("2010-01-07", "09:00:00,60,0,1,1,\"Word\",\"after\"\r\n");
  LKXAppUsageList all;
  LKXAddAppUsage(all, kUser, KavrixAt("2010-01-04", "13:00:00"), KavrixAt("2010-01-06", "08:00:00"));
  EXPECT_EQ(EntriesOf(all), (std::vector<Entry>{{300, 1, 0, "", 0}, {300, 1, 0, "Excel", 0}, {7860, 6, 2, "Word", 0}}));
  EXPECT_EQ(all.GetTotalUsageSeconds(), 8460);

  LKXAppUsageList word;
  LKXAddAppUsage(word, kUser, KavrixAt("2010-01-04"), KavrixAt("2010-01-07"), "WORD");
  EXPECT_EQ(EntriesOf(word), (std::vector<Entry>{{7920, 7, 3, "Word", 0}}));
}

