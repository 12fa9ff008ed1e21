// Several writers of one settings file, in other processes and in threads of
// this one: no update may be lost.

#include "foundation/settings_file.h"
#include "foundation/settings_sections.h"
#include "support/test_helpers.h"

constexpr int kIterations = 200;
constexpr int kKeysPerWriter = 5;

class SettingsConcurrencyTest : public KavrixTempRoot {
 protected:
  std::string Path() const { return LSettingsGetSharedFolder() + "/shared"; }

  // Writer `who` sets its own keys round-robin through one object, or through
  // the section list every thread shares when `section` names the file;
  // returns the failures.
  int WriteLoop(const std::string& who, const char* section = nullptr) const {
    LSettingsFile file(Path());
    int failures = 0;
    for (int i = 0; i < kIterations; ++i) {
      const std::string key = who + "k" + std::to_string(i % kKeysPerWriter), value = std::to_string(i);
      failures += (section ? LSettingSetString(section, key, value) : file.SetString(key, value)) ? 0 : 1;
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
    // The section list finds "Shared" without regard to case.
    std::jthread one([&] { failures += WriteLoop("s", "Shared"); });
    std::jthread two([&] { failures += WriteLoop("t", "SHARED"); });
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
