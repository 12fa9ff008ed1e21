#pragma once
// Which steps of the setup wizard are done, kept in "Settings"
// "SetupStepsDone" as a comma list of the steps' paths. A browser closed
// after step 1 switches the wizard off (an administrator exists), so the
// administrator's main page offers the steps still to do from this record.

#include <string_view>
#include <vector>

// A step the main page can lead back to: its path and the link's text.
struct LKXSetupStep {
  std::string_view path;
  std::string_view text;
};

inline constexpr std::string_view kKXSetupStepAdmin = "wizardadmin";
inline constexpr std::string_view kKXSetupStepConfirmEmail = "wizardconfirmemail";
inline constexpr std::string_view kKXSetupStepUsage = "wizardkavrixusage";
inline constexpr std::string_view kKXSetupStepAddUsers = "wizardaddusers";
inline constexpr std::string_view kKXSetupStepFinish = "wizardfinish";

// Records the step with this path as done.
void KXMarkSetupStepDone(std::string_view path);

// The steps after the first not yet done, in the wizard's order; empty when
// step 1 was never recorded (a system set up before the record was kept)
// or every step is done.
std::vector<LKXSetupStep> KXSetupStepsToDo();
