#include "foundation/log.h"

#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>
#include <tuple>

#include "foundation/date_time.h"
#include "support/test_helpers.h"
#include "support/time_zone.h"

namespace {

constexpr std::int32_t kJune1 = 1243859696;  // 2009-06-01 12:34:56 UTC

using LogLine = std::tuple<std::string, std::string, std::uint8_t>;

class LogTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    LDateTime::SetFakeNow(kJune1);
    LSetServiceLogSink([this](const std::string& clock, const std::string& text, std::uint8_t level) {
      relayed_.emplace_back(clock, text, level);
    });
  }
  std::string LogsFolder() const { return SharedFolder() + "/Logs"; }
  std::string LogFile(const std::string& date) const { return LogsFolder() + "/" + date + " KavrixServer Log.txt"; }
  std::string June1() const { return KavrixReadFile(LogFile("2009-06-01")); }

  KavrixScopedTimeZone zone_{"UTC"};
  std::vector<LogLine> relayed_;  // what the service would send to control windows
};

struct RecordingWindow : LLogStatusWindow {
  void QueueLogLine(const std::string& clock_text, const std::string& text, std::uint8_t level) override {
    lines.emplace_back(clock_text, text, level);
    LOG("window: " + text);  // must not deadlock
  }
  std::vector<LogLine> lines;
};

}  // namespace

// A line is the clock text, a space, the message's bytes as they are and
// CR LF, in the file of the local date.
TEST_F(LogTest, LinesFollowTheLocalSecondAndDate) {
  LOGERROR("one");
  LDateTime::SetFakeNow(kJune1 + 1);
  LOG(std::string("a\0b\xff\n", 5));
  EXPECT_EQ(June1(), "12:34:56 one\r\n" + std::string("12:34:57 a\0b\xff\n\r\n", 16));
  KavrixScopedTimeZone india("Asia/Kolkata");
  LDateTime::SetFakeNow(1243794599);  // 2009-05-31 18:29:59 UTC = 23:59:59 +05:30
  LOG("India");
  EXPECT_EQ(KavrixReadFile(LogFile("2009-05-31")), "23:59:59 India\r\n");
}

// The whole line is cut to 8191 bytes, so an overlong one loses its CR LF;
// formatted text is cut to 511 bytes and two joined texts to 259.
TEST_F(LogTest, LongTextsAreCut) {
  const std::string prefix = "12:34:56 ";
  LOG(std::string(8180, 'a'));  // exactly 8191 bytes with CR LF
  LOG(std::string(8181, 'b'));  // one byte over: the LF goes
  EXPECT_EQ(June1(), prefix + std::string(8180, 'a') + "\r\n" + prefix + std::string(8181, 'b') + "\r");
  std::filesystem::remove_all(LogsFolder());  // a removed folder is made again
  LOGF("%d-%s", 42, "abc");
  LOGF("%s!", std::string(511, 'y').c_str());
  LOG(std::string(200, 'p'), std::string(200, 'q'));
  EXPECT_EQ(June1(), prefix + "42-abc\r\n" + prefix + std::string(511, 'y') + "\r\n" + prefix + std::string(200, 'p') +
                         std::string(59, 'q') + "\r\n");
}

// The service hears only what no window took; each part is cut to 259
// bytes. A line logged from inside the display goes to the file only.
TEST_F(LogTest, StatusWindowOrServiceGetsEachLine) {
  LSetServiceLogSink([this](const std::string& clock, const std::string& text, std::uint8_t level) {
    relayed_.emplace_back(clock, text, level);
    LOG("sink: " + text);  // must not deadlock
  });
  RecordingWindow window;
  gLLog().SetStatusWindow(&window);
  LOGERROR(std::string(300, 'e'));
  LOG("plain");
  gLLog().SetStatusWindow(nullptr);
  LOG("to the service");
  EXPECT_EQ(window.lines, (std::vector<LogLine>{{"12:34:56", std::string(259, 'e'), 1}, {"12:34:56", "plain", 0}}));
  EXPECT_EQ(relayed_, (std::vector<LogLine>{{"12:34:56", "to the service", 0}}));
  EXPECT_EQ(June1(), "12:34:56 " + std::string(300, 'e') + "\r\n12:34:56 window: " + std::string(259, 'e') +
                         "\r\n12:34:56 plain\r\n12:34:56 window: plain\r\n"
                         "12:34:56 to the service\r\n12:34:56 sink: to the service\r\n");
}

// Four threads and a child process append at once; every line must come back
// whole, exactly once, with nothing between or inside lines.
TEST_F(LogTest, LinesFromThreadsAndAChildProcessStayWhole) {
  LSetServiceLogSink(nullptr);
  auto message = [](int source, int index) {
    return std::to_string(index) + " " + std::string(500 + (index * 37) % 3000, static_cast<char>('a' + source));
  };
  auto log_all = [&](int source) {
    for (int i = 0; i < 150; ++i) LOG(message(source, i));
    return 0;
  };
  std::multiset<std::string> expected, seen;
  for (int source = 0; source < 5; ++source) {
    for (int i = 0; i < 150; ++i) expected.insert("12:34:56 " + message(source, i));
  }
  TestChild child([&] { return log_all(4); });
  {
    std::vector<std::jthread> threads;
    for (int source = 0; source < 4; ++source) threads.emplace_back(log_all, source);
    child.Release();
  }
  ASSERT_EQ(child.Wait(), 0);
  const std::string content = June1();
  for (std::size_t pos = 0, end; (end = content.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
    seen.insert(content.substr(pos, end - pos));
  }
  EXPECT_TRUE(content.ends_with("\r\n") && seen == expected) << "torn, lost or doubled lines";
}
