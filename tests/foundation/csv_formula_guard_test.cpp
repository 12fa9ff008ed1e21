// The formula guard of exported cells: a text a spreadsheet would run gets
// one "'" in front, plain numbers stay, and reading takes exactly that "'"
// off again, so every text comes back as it was.

#include "foundation/csv_formula_guard.h"

#include <gtest/gtest.h>

TEST(CSVFormulaGuard, GuardsFormulasKeepsNumbersAndReadsBackEveryText) {
  const struct { const char* text; const char* cell; } cases[] = {
      {"", ""}, {"Ann", "Ann"}, {"=1+2", "'=1+2"}, {"+44 20 7946", "'+44 20 7946"}, {"@SUM(A1)", "'@SUM(A1)"},
      {"\tcmd", "'\tcmd"}, {"\rcmd", "'\rcmd"}, {"-", "'-"}, {"-1.5.0", "'-1.5.0"},
      // Plain numbers are no formulas.
      {"-1.50", "-1.50"}, {"+3", "+3"},
      // Texts that begin with "'"s: one more only before a formula character.
      {"'Bob", "'Bob"}, {"''+y", "'''+y"}, {"'-1.50", "''-1.50"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LCSVGuardFormula(c.text), c.cell) << c.text;
    EXPECT_EQ(LCSVUnguardFormula(c.cell), c.text) << c.cell;
  }
}
