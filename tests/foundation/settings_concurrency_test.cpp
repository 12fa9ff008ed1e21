// Several writers of one settings file, in other processes and in threads of
// this one: no update may be lost, and a writer killed at any moment leaves
// a complete file.

#include <signal.h>

#include <string>
#include <thread>
#include <vector>

#include "foundation/settings_file.h"
#include "foundation/unique_fd.h"
#include "fork_helpers.h"
#include "support/temp_root.h"

namespace {

constexpr int kIterations = 200;
constexpr int kKeysPerWriter = 5;

class SettingsConcurrencyTest : public KavrixTempRoot {
 protected:
  std::string Path() const { return TempDir() + "/shared"; }

  // Writer `who` sets its own keys round-robin; returns the failures.
  int WriteLoop(const std::string& who) const {
    LSettingsFile file(Path());
    int failures = 0;
    for (int i = 0; i < kIterations; ++i) {
      const std::string key = who + "k" + std::to_string(i % kKeysPerWriter);
      failures += file.SetString(key, std::string_view(std::to_string(i))) ? 0 : 1;
    }
    return failures;
  }

  // Every key of every writer holds the last value written to it.
  void ExpectAllLastValues(const std::vector<std::string>& writers) const {
    LSettingsEntries entries;
    entries.Parse(KavrixReadFile(Path()));
    EXPECT_EQ(entries.Items().size(), writers.size() * kKeysPerWriter);
    for (const std::string& who : writers) {
      for (int k = 0; k < kKeysPerWriter; ++k) {
        const std::string key = who + "k" + std::to_string(k);
        const std::string* value = entries.Find(key);
        ASSERT_NE(value, nullptr) << key;
        EXPECT_EQ(*value, std::to_string(kIterations - kKeysPerWriter + k)) << key;
      }
    }
  }
};

}  // namespace

TEST_F(SettingsConcurrencyTest, TwoProcessesSettingDifferentKeysLoseNothing) {
  TestChild first([this] { return WriteLoop("p") == 0 ? 0 : 1; });
  TestChild second([this] { return WriteLoop("q") == 0 ? 0 : 1; });
  ASSERT_TRUE(first.Started() && second.Started());
  first.Release();
  second.Release();
  EXPECT_EQ(first.Wait(), 0);
  EXPECT_EQ(second.Wait(), 0);
  ExpectAllLastValues({"p", "q"});
}

TEST_F(SettingsConcurrencyTest, TwoThreadsWithTheirOwnObjectsLoseNothing) {
  int failures[2] = {0, 0};
  {
    std::jthread first([&] { failures[0] = WriteLoop("s"); });
    std::jthread second([&] { failures[1] = WriteLoop("t"); });
  }
  EXPECT_EQ(failures[0], 0);
  EXPECT_EQ(failures[1], 0);
  ExpectAllLastValues({"s", "t"});
}

TEST_F(SettingsConcurrencyTest, ProcessesAndThreadsTogetherLoseNothing) {
  TestChild child([this] { return WriteLoop("c") == 0 ? 0 : 1; });
  child.Release();
  int failures[2] = {0, 0};
  {
    std::jthread first([&] { failures[0] = WriteLoop("x"); });
    std::jthread second([&] { failures[1] = WriteLoop("y"); });
  }
  EXPECT_EQ(child.Wait(), 0);
  EXPECT_EQ(failures[0] + failures[1], 0);
  ExpectAllLastValues({"c", "x", "y"});
}

// Killed at an unknown point of a save, the writer leaves either the old or
// the new file: every other key survives and the rewritten value is whole.
TEST_F(SettingsConcurrencyTest, WriterKilledAtAnyMomentLeavesACompleteFile) {
  LSettingsFile file(Path());
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(file.SetString("keep" + std::to_string(i), std::string_view(std::string(200, 'a' + i))));
  }
  int progress[2];
  ASSERT_EQ(pipe(progress), 0);
  LUniqueFd progress_read(progress[0]), progress_write(progress[1]);
  TestChild writer([&] {
    LSettingsFile own(Path());
    for (int i = 0;; ++i) {
      own.SetString("big", std::string_view(std::string(250, static_cast<char>('A' + i % 26))));
      if (i == 30) {
        const char byte = 1;
        if (write(progress_write.Get(), &byte, 1) != 1) return 1;
      }
    }
  });
  writer.Release();
  progress_write.Reset();
  char byte;
  ASSERT_EQ(read(progress_read.Get(), &byte, 1), 1);  // the writer is mid-loop
  ASSERT_EQ(kill(writer.Pid(), SIGKILL), 0);
  EXPECT_EQ(writer.Wait(), -1);

  LSettingsFile reader(Path());
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(reader.GetString("keep" + std::to_string(i)), std::string(200, 'a' + i));
  }
  const std::string big = reader.GetString("big");
  ASSERT_EQ(big.size(), 250u);
  EXPECT_EQ(big, std::string(250, big[0]));
  // The file stays writable for the next writer.
  EXPECT_TRUE(file.SetString("after", "1"));
  EXPECT_EQ(LSettingsFile(Path()).GetString("after"), "1");
}
