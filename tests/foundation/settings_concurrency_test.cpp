// Several writers of one settings file, in other processes and in threads of
// this one: no update may be lost, and a writer killed at any moment leaves
// a complete file.

#include "foundation/settings_file.h"
#include "support/test_helpers.h"

constexpr int kIterations = 200;
constexpr int kKeysPerWriter = 5;

class SettingsConcurrencyTest : public KavrixTempRoot {
 protected:
  std::string Path() const { return TempDir() + "/shared"; }

  // Writer `who` sets its own keys round-robin through one object; returns
  // the failures.
  int WriteLoop(const std::string& who) const {
    LSettingsFile file(Path());
    int failures = 0;
    for (int i = 0; i < kIterations; ++i) {
      failures += file.SetString(who + "k" + std::to_string(i % kKeysPerWriter), std::to_string(i)) ? 0 : 1;
    }
    return failures;
  }
};

TEST_F(SettingsConcurrencyTest, TwoProcessesAndTwoThreadsLoseNoKey) {
  TestChild first([this] { return WriteLoop("p"); }), second([this] { return WriteLoop("q"); });
  first.Release();
  second.Release();
  std::atomic<int> failures{0};
  {
    std::jthread one([&] { failures += WriteLoop("s"); }), two([&] { failures += WriteLoop("t"); });
  }
  EXPECT_EQ(first.Wait() + second.Wait() + failures.load(), 0);
  LSettingsEntries entries;
  entries.Parse(KavrixReadFile(Path()));
  EXPECT_EQ(entries.Items().size(), 4u * kKeysPerWriter);
  for (const std::string who : {"p", "q", "s", "t"}) {
    for (int k = 0; k < kKeysPerWriter; ++k) {
      const std::string* value = entries.Find(who + "k" + std::to_string(k));
      EXPECT_TRUE(value && *value == std::to_string(kIterations - kKeysPerWriter + k)) << who << k;
    }
  }
}

// Killed at an unknown point of a save, the writer leaves either the old or
// the new file: every other key survives and the rewritten value is whole.
TEST_F(SettingsConcurrencyTest, WriterKilledAtAnyMomentLeavesACompleteFile) {
  LSettingsFile file(Path());
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(file.SetString("keep" + std::to_string(i), std::string(200, 'a' + i)));
  TestPipe progress;
  TestChild writer([&] {
    LSettingsFile own(Path());
    for (int i = 0;; ++i) {
      own.SetString("big", std::string(250, static_cast<char>('A' + i % 26)));
      if (i == 30 && !progress.Send()) return 1;
    }
  });
  writer.Release();
  ASSERT_TRUE(progress.Receive());  // the writer is mid-loop
  ASSERT_EQ(kill(writer.Pid(), SIGKILL), 0);
  EXPECT_EQ(writer.Wait(), -1);
  LSettingsFile reader(Path());
  for (int i = 0; i < 20; ++i) EXPECT_EQ(reader.GetString("keep" + std::to_string(i)), std::string(200, 'a' + i));
  const std::string big = reader.GetString("big");
  EXPECT_TRUE(big.size() == 250u && big == std::string(250, big[0])) << big;
  EXPECT_TRUE(file.SetString("after", "1"));  // the file stays writable
  EXPECT_EQ(LSettingsFile(Path()).GetString("after"), "1");
}
