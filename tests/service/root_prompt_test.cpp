#include "service/root_prompt.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/temp_root.h"

namespace {

std::vector<std::pair<std::string, std::string>> gMessages;

void RecordMessage(const std::string& title, const std::string& text) { gMessages.emplace_back(title, text); }

// PATH holds only a folder of this test with `which` and whichever root
// prompts a test puts there, so the machine's own programs never interfere.
class RootPromptTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    const char* path = getenv("PATH");
    savedPath_ = path != nullptr ? path : "";
    bin_ = TempDir() + "/bin";
    ASSERT_EQ(mkdir(bin_.c_str(), 0755), 0);
    ASSERT_EQ(symlink("/usr/bin/which", (bin_ + "/which").c_str()), 0);
    setenv("PATH", bin_.c_str(), 1);
    gMessages.clear();
    LServiceSetMessageHandler(RecordMessage);
  }
  void TearDown() override {
    LServiceSetMessageHandler(nullptr);
    setenv("PATH", savedPath_.c_str(), 1);
    KavrixTempRoot::TearDown();
  }

  // A root prompt that drops its "--" and runs the rest, as the real ones do
  // after asking for the password; it notes its own name first.
  void AddPrompt(const std::string& name) {
    const std::string path = bin_ + "/" + name;
    ASSERT_TRUE(KavrixWriteFile(path, "#!/bin/sh\necho " + name + " >> " + TempDir() +
                                          "/prompts\nshift\nexec \"$@\"\n"));
    ASSERT_EQ(chmod(path.c_str(), 0755), 0);
  }

  std::string bin_;
  std::string savedPath_;
};

}  // namespace

// Root runs the command itself; others through the first prompt of the
// order, keeping the command's result.
TEST_F(RootPromptTest, CommandRunsThroughThePromptOnlyForOthersThanRoot) {
  const std::string marker = TempDir() + "/ran";
  EXPECT_FALSE(LRunCommandAsRootPromptAs("/usr/bin/touch " + marker, false));
  EXPECT_FALSE(KavrixFileExists(marker));
  ASSERT_EQ(gMessages.size(), 1u);
  EXPECT_EQ(gMessages[0].first, "Neither gksu or kdesu were found");
  AddPrompt("kdesu");
  AddPrompt("kdesudo");
  EXPECT_EQ(LRootPromptCommand("cp a b"), "kdesudo -- cp a b");
  EXPECT_TRUE(LRunCommandAsRootPromptAs("/usr/bin/touch " + marker, true));
  EXPECT_TRUE(KavrixFileExists(marker));
  EXPECT_FALSE(KavrixFileExists(TempDir() + "/prompts"));
  EXPECT_TRUE(LRunCommandAsRootPromptAs("/bin/sh -c 'exit 0'", false));
  EXPECT_FALSE(LRunCommandAsRootPromptAs("/bin/sh -c 'exit 4'", false));
  EXPECT_EQ(KavrixReadFile(TempDir() + "/prompts"), "kdesudo\nkdesudo\n");
}
