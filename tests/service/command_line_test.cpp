#include "service/command_line.h"

#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

namespace {

LProgramRole Role(std::initializer_list<const char*> arguments, bool display) {
  std::vector<const char*> argv{"kavrixserver"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return LChooseProgramRole(static_cast<int>(argv.size()), argv.data(), display);
}

}  // namespace

TEST(CommandLine, WithoutDisplay) {
  EXPECT_EQ(Role({}, false), LProgramRole::kService);
  EXPECT_EQ(Role({"-service"}, false), LProgramRole::kService);
  EXPECT_EQ(Role({"-foreground"}, false), LProgramRole::kForeground);
  EXPECT_EQ(Role({"-install"}, false), LProgramRole::kConsoleInstall);
  EXPECT_EQ(Role({"-uninstall"}, false), LProgramRole::kConsoleUninstall);
  EXPECT_EQ(Role({"-Service"}, false), LProgramRole::kUsage);
  EXPECT_EQ(Role({"service"}, false), LProgramRole::kUsage);
  EXPECT_EQ(Role({""}, false), LProgramRole::kUsage);
}

TEST(CommandLine, WithDisplay) {
  EXPECT_EQ(Role({}, true), LProgramRole::kDesktop);
  EXPECT_EQ(Role({"-service"}, true), LProgramRole::kService);
  EXPECT_EQ(Role({"-foreground"}, true), LProgramRole::kForeground);
  EXPECT_EQ(Role({"-install"}, true), LProgramRole::kConsoleInstall);
  EXPECT_EQ(Role({"-uninstall"}, true), LProgramRole::kConsoleUninstall);
  EXPECT_EQ(Role({"-other"}, true), LProgramRole::kDesktop);
}

TEST(CommandLine, OnlyTheFirstArgumentCounts) {
  EXPECT_EQ(Role({"-foreground", "-install"}, false), LProgramRole::kForeground);
  EXPECT_EQ(Role({"-x", "-service"}, false), LProgramRole::kUsage);
}
