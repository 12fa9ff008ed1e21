#include "web/pages/setup/setup_steps.h"

#include <string>

#include "foundation/settings_sections.h"
#include "model/registry_text.h"

namespace {

constexpr std::string_view kSection = "Settings";
constexpr std::string_view kKey = "SetupStepsDone";

constexpr LKXSetupStep kLaterSteps[] = {
    {kKXSetupStepConfirmEmail, "Check that KavrixServer can send email"},
    {kKXSetupStepUsage, "Choose what KavrixServer is used for"},
    {kKXSetupStepAddUsers, "Add the first users"},
    {kKXSetupStepFinish, "Read what to do next"},
};

}  // namespace

void KXMarkSetupStepDone(std::string_view path) {
  const std::string done = LSettingGetString(kSection, kKey);
  if (KXCommaListContains(done, path)) return;
  std::vector<std::string> items = KXCommaListItems(done);
  items.emplace_back(path);
  (void)LSettingSetString(kSection, kKey, KXJoinCommaList(items));
}

std::vector<LKXSetupStep> KXSetupStepsToDo() {
  const std::string done = LSettingGetString(kSection, kKey);
  std::vector<LKXSetupStep> steps;
  if (!KXCommaListContains(done, kKXSetupStepAdmin)) return steps;
  for (const LKXSetupStep& step : kLaterSteps) {
    if (!KXCommaListContains(done, step.path)) steps.push_back(step);
  }
  return steps;
}
