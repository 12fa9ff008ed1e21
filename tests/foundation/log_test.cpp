#include "foundation/log.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "foundation/date_time.h"
#include "foundation/file_lock.h"
#include "foundation/unique_fd.h"
#include "support/temp_root.h"
#include "support/time_zone.h"

namespace {

constexpr std::int32_t kJune1 = 1243859696;  // 2009-06-01 12:34:56 UTC

using LogLine = std::tuple<std::string, std::string, std::uint8_t>;

class RecordingWindow : public LLogStatusWindow {
 public:
  void QueueLogLine(const std::string& clock_text, const std::string& text, std::uint8_t level) override {
    lines.emplace_back(clock_text, text, level);
  }
  std::vector<LogLine> lines;
};

class LogTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    zone_.emplace("UTC");
    LDateTime::SetFakeNow(kJune1);
  }
  void TearDown() override {
    KavrixTempRoot::TearDown();
    zone_.reset();
  }

  std::string LogsFolder() const { return SharedFolder() + "/Logs"; }
  std::string LogFile(const std::string& date) const { return LogsFolder() + "/" + date + " KavrixServer Log.txt"; }
  std::string June1() const { return KavrixReadFile(LogFile("2009-06-01")); }
  std::vector<std::string> LogFileNames() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(LogsFolder())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::optional<KavrixScopedTimeZone> zone_;
};

}  // namespace

TEST_F(LogTest, LineIsClockTextSpaceMessageCrLf) {
  LOG("Engine started");
  LOGERROR("Listener failed");
  LOGWARN("warn");
  LOGINFO("info");
  LOG("");
  EXPECT_EQ(June1(),
            "12:34:56 Engine started\r\n12:34:56 Listener failed\r\n12:34:56 warn\r\n"
            "12:34:56 info\r\n12:34:56 \r\n");
  EXPECT_EQ(gLLog().GetLogFolder(), LogsFolder());
  EXPECT_EQ(LLog::FileNameForDate(2009, 6, 1), "2009-06-01 KavrixServer Log.txt");
}

TEST_F(LogTest, BinaryBytesAreWrittenAsGiven) {
  LOG(std::string("a\0b\xff\n", 5));
  EXPECT_EQ(June1(), std::string("12:34:56 a\0b\xff\n\r\n", 16));
}

TEST_F(LogTest, LinesOfOneSecondShareClockTextAndFile) {
  LOG("one");
  LOG("two");
  LDateTime::SetFakeNow(kJune1 + 1);
  LOG("three");
  LDateTime::SetFakeNow(kJune1);  // a clock set back is followed, not ignored
  LOG("four");
  EXPECT_EQ(June1(), "12:34:56 one\r\n12:34:56 two\r\n12:34:57 three\r\n12:34:56 four\r\n");
  EXPECT_EQ(LogFileNames(), std::vector<std::string>{"2009-06-01 KavrixServer Log.txt"});
}

TEST_F(LogTest, MidnightStartsTheNextDaysFile) {
  LDateTime::SetFakeNow(1243900799);  // 2009-06-01 23:59:59 UTC
  LOG("before");
  LDateTime::SetFakeNow(1243900800);
  LOG("after");
  EXPECT_EQ(June1(), "23:59:59 before\r\n");
  EXPECT_EQ(KavrixReadFile(LogFile("2009-06-02")), "00:00:00 after\r\n");
}

TEST_F(LogTest, FileNameAndClockUseTheLocalZone) {
  KavrixScopedTimeZone india("Asia/Kolkata");
  LDateTime::SetFakeNow(1243794599);  // 2009-05-31 18:29:59 UTC = 23:59:59 +05:30
  LOG("before");
  LDateTime::SetFakeNow(1243794600);
  LOG("after");
  EXPECT_EQ(KavrixReadFile(LogFile("2009-05-31")), "23:59:59 before\r\n");
  EXPECT_EQ(KavrixReadFile(LogFile("2009-06-01")), "00:00:00 after\r\n");
  EXPECT_EQ(LogFileNames().size(), 2u);
}

TEST_F(LogTest, OverlongLineIsCutAndLosesItsCrLf) {
  const std::string prefix = "12:34:56 ";
  LOG(std::string(8180, 'a'));  // exactly 8191 bytes with CR LF
  EXPECT_EQ(June1(), prefix + std::string(8180, 'a') + "\r\n");
  std::filesystem::remove(LogFile("2009-06-01"));

  LOG(std::string(8181, 'b'));  // one byte over: the LF goes
  EXPECT_EQ(June1(), prefix + std::string(8181, 'b') + "\r");
  std::filesystem::remove(LogFile("2009-06-01"));

  LOG(std::string(9000, 'c'));
  LOG("next");
  EXPECT_EQ(June1(), prefix + std::string(8182, 'c') + prefix + "next\r\n");
}

TEST_F(LogTest, FormattedTextIsCutTo511Bytes) {
  LOGF("%d-%s", 42, "abc");
  LOGERRORF("%s", std::string(511, 'x').c_str());
  LOGWARNF("%s", std::string(512, 'y').c_str());
  LOGINFOF("%s!", std::string(600, 'z').c_str());
  EXPECT_EQ(June1(), "12:34:56 42-abc\r\n12:34:56 " + std::string(511, 'x') + "\r\n12:34:56 " + std::string(511, 'y') +
                         "\r\n12:34:56 " + std::string(511, 'z') + "\r\n");
}

TEST_F(LogTest, TwoTextsAreJoinedAndCutTo259Bytes) {
  LOG("ab", "cd");
  LOG(std::string(200, 'p'), std::string(200, 'q'));
  LOG(std::string(259, 'r'), "s");
  EXPECT_EQ(June1(), "12:34:56 abcd\r\n12:34:56 " + std::string(200, 'p') + std::string(59, 'q') + "\r\n12:34:56 " +
                         std::string(259, 'r') + "\r\n");
}

TEST_F(LogTest, StatusWindowGetsEachLineCutTo259Bytes) {
  RecordingWindow window;
  std::vector<LogLine> relayed;
  LSetServiceLogSink([&](const std::string& clock, const std::string& text, std::uint8_t level) {
    relayed.emplace_back(clock, text, level);
  });
  gLLog().SetStatusWindow(&window);
  LOGERROR(std::string(300, 'e'));
  LOG("plain");
  gLLog().SetStatusWindow(nullptr);
  LOG("to the service");

  ASSERT_EQ(window.lines.size(), 2u);
  EXPECT_EQ(window.lines[0], LogLine("12:34:56", std::string(259, 'e'), 1));
  EXPECT_EQ(window.lines[1], LogLine("12:34:56", "plain", 0));
  ASSERT_EQ(relayed.size(), 1u);  // the service hears only what no window took
  EXPECT_EQ(relayed[0], LogLine("12:34:56", "to the service", 0));
  EXPECT_EQ(June1(), "12:34:56 " + std::string(300, 'e') + "\r\n12:34:56 plain\r\n12:34:56 to the service\r\n");
}

TEST_F(LogTest, WithoutWindowOrServiceLinesStillReachTheFile) {
  LServiceLog("12:00:00", "nobody listens", 0);
  LOG("bare tool");
  EXPECT_EQ(June1(), "12:34:56 bare tool\r\n");
}

TEST_F(LogTest, LoggingFromInsideTheDisplayDoesNotDeadlock) {
  struct LoggingWindow : LLogStatusWindow {
    void QueueLogLine(const std::string&, const std::string& text, std::uint8_t) override {
      seen.push_back(text);
      LOG("window: " + text);
    }
    std::vector<std::string> seen;
  } window;
  std::vector<std::string> relayed;
  LSetServiceLogSink([&](const std::string&, const std::string& text, std::uint8_t) {
    relayed.push_back(text);
    LOG("sink: " + text);
  });
  LOG("relayed");
  gLLog().SetStatusWindow(&window);
  LOG("shown");
  gLLog().SetStatusWindow(nullptr);
  EXPECT_EQ(relayed, std::vector<std::string>{"relayed"});
  EXPECT_EQ(window.seen, std::vector<std::string>{"shown"});
  EXPECT_EQ(June1(), "12:34:56 relayed\r\n12:34:56 sink: relayed\r\n12:34:56 shown\r\n12:34:56 window: shown\r\n");
}

TEST_F(LogTest, UnwritableLogsFolderLosesTheLineQuietly) {
  // A plain file where the folder should be: open fails even for root.
  std::filesystem::create_directories(SharedFolder());
  ASSERT_TRUE(KavrixWriteFile(LogsFolder(), "not a folder"));
  std::vector<LogLine> relayed;
  LSetServiceLogSink([&](const std::string& clock, const std::string& text, std::uint8_t level) {
    relayed.emplace_back(clock, text, level);
  });
  LOG("lost");
  LOGERRORF("%s", "lost too");
  EXPECT_EQ(KavrixReadFile(LogsFolder()), "not a folder");
  ASSERT_EQ(relayed.size(), 2u);  // the live display still shows them
  EXPECT_EQ(relayed[1], LogLine("12:34:56", "lost too", 1));
}

TEST_F(LogTest, RemovedLogsFolderIsMadeAgain) {
  LOG("first");
  std::filesystem::remove_all(LogsFolder());
  LOG("second");
  EXPECT_EQ(June1(), "12:34:56 second\r\n");
}

TEST_F(LogTest, FolderIsFoundWhenFirstNeeded) {
  EXPECT_EQ(gLLog().GetLogFolder(), LogsFolder());
  const std::string other = TempDir() + "/other";
  setenv("KAVRIX_ROOT", other.c_str(), 1);
  LOG("still the first folder");
  EXPECT_EQ(June1(), "12:34:56 still the first folder\r\n");
  gLLog().ResetForTests();
  LOG("new root");
  EXPECT_EQ(KavrixReadFile(other + "/kavrixserver/etc/Logs/2009-06-01 KavrixServer Log.txt"), "12:34:56 new root\r\n");
}

// A peer that holds the lock past the time-out delays the line by the lock's
// waits (16+32+64+128+256 ms) but does not lose it; O_APPEND still puts it
// after everything already in the file.
TEST_F(LogTest, HeldLockDelaysButDoesNotLoseTheLine) {
  LOG("first");
  LUniqueFd holder(open(LogFile("2009-06-01").c_str(), O_WRONLY | O_APPEND));
  ASSERT_TRUE(holder);
  ASSERT_EQ(flocktimed(holder.Get(), LOCK_EX, 100), 0);
  ASSERT_EQ(write(holder.Get(), "held\r\n", 6), 6);
  const auto start = std::chrono::steady_clock::now();
  LOG("late");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(496));
  EXPECT_EQ(June1(), "12:34:56 first\r\nheld\r\n12:34:56 late\r\n");
}

// Four threads and a child process append at once; every line must come back
// whole, exactly once, with nothing between or inside lines.
TEST_F(LogTest, LinesFromThreadsAndAChildProcessStayWhole) {
  constexpr int kThreads = 4;
  constexpr int kLines = 150;
  constexpr int kChildSource = kThreads;
  auto message = [](int source, int index) {
    return "S" + std::to_string(source) + " " + std::to_string(index) + " " +
           std::string(500 + (index * 37) % 3000, static_cast<char>('a' + source));
  };
  int go_pipe[2];
  ASSERT_EQ(pipe(go_pipe), 0);
  LUniqueFd go_read(go_pipe[0]);
  LUniqueFd go_write(go_pipe[1]);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    char byte = 0;
    if (read(go_read.Get(), &byte, 1) != 1) _exit(2);
    for (int i = 0; i < kLines; ++i) LOG(message(kChildSource, i));
    _exit(0);
  }
  std::vector<std::thread> threads;
  for (int source = 0; source < kThreads; ++source) {
    threads.emplace_back([&, source] {
      for (int i = 0; i < kLines; ++i) LOG(message(source, i));
    });
  }
  ASSERT_EQ(write(go_write.Get(), "x", 1), 1);
  for (auto& thread : threads) thread.join();
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);

  const std::string content = June1();
  std::vector<std::vector<int>> seen(kThreads + 1, std::vector<int>(kLines, 0));
  std::size_t pos = 0;
  int total = 0;
  while (pos < content.size()) {
    const std::size_t end = content.find("\r\n", pos);
    ASSERT_NE(end, std::string::npos) << "unterminated line at " << pos;
    const std::string line = content.substr(pos, end - pos);
    int source = -1, index = -1;
    ASSERT_EQ(std::sscanf(line.c_str(), "12:34:56 S%d %d ", &source, &index), 2) << line.substr(0, 40);
    ASSERT_GE(source, 0);
    ASSERT_LE(source, kThreads);
    ASSERT_GE(index, 0);
    ASSERT_LT(index, kLines);
    ASSERT_EQ(line, "12:34:56 " + message(source, index)) << "torn line S" << source << " " << index;
    ++seen[source][index];
    ++total;
    pos = end + 2;
  }
  EXPECT_EQ(total, (kThreads + 1) * kLines);
  for (int source = 0; source <= kThreads; ++source) {
    for (int index = 0; index < kLines; ++index) EXPECT_EQ(seen[source][index], 1) << source << " " << index;
  }
}
