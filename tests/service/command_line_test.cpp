#include "service/command_line.h"

#include <vector>

#include <gtest/gtest.h>

// Only the first argument counts, spelled exactly; with a display an
// unknown one opens the desktop instead of printing the usage.
TEST(CommandLine, RoleOfEachFirstArgumentWithAndWithoutDisplay) {
  struct Case {
    std::vector<const char*> arguments;
    LProgramRole withoutDisplay, withDisplay;
  };
  const Case cases[] = {
      {{}, LProgramRole::kService, LProgramRole::kDesktop},
      {{"-service"}, LProgramRole::kService, LProgramRole::kService},
      {{"-foreground", "-install"}, LProgramRole::kForeground, LProgramRole::kForeground},
      {{"-Service"}, LProgramRole::kUsage, LProgramRole::kDesktop},
      {{"-x", "-service"}, LProgramRole::kUsage, LProgramRole::kDesktop},
  };
  for (const Case& c : cases) {
    std::vector<const char*> argv{"kavrixserver"};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    const int argc = static_cast<int>(argv.size());
    EXPECT_EQ(LChooseProgramRole(argc, argv.data(), false), c.withoutDisplay) << argc << (argc > 1 ? argv[1] : "");
    EXPECT_EQ(LChooseProgramRole(argc, argv.data(), true), c.withDisplay) << argc << (argc > 1 ? argv[1] : "");
  }
}
