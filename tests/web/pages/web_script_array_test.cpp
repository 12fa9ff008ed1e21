// The URL table against the list of all the panel's paths.

#include <gtest/gtest.h>

#include <string>

#include "web/pages/web_script_array.h"
#include "web/pages/web_script_plan.h"

TEST(WebScriptArray, HoldsThePresentRowsOfThePlanInItsOrder) {
  EXPECT_EQ(std::size(kLWebScriptPlan), 66u);
  const LWebScriptTable table = WebScriptArray();
  std::size_t row = 0;
  const auto check = [&](const LWebScriptPlanRow& planned) {
    if (!planned.present) return;
    ASSERT_LT(row, table.size()) << planned.path;
    EXPECT_STREQ(table[row].path, planned.path);
    EXPECT_NE(table[row].handler, nullptr);
    ++row;
  };
  for (const LWebScriptPlanRow& planned : kLWebScriptPlan) check(planned);
  // The paths this server adds come after the 66, so none of them hides one.
  for (const LWebScriptPlanRow& added : kLWebScriptAddedRows) check(added);
  EXPECT_EQ(row, table.size());
  for (std::size_t i = 0; i < std::size(kLWebScriptPlan); ++i) {
    for (std::size_t j = i + 1; j < std::size(kLWebScriptPlan); ++j) {
      EXPECT_NE(std::string(kLWebScriptPlan[i].path), kLWebScriptPlan[j].path);
    }
  }
}
