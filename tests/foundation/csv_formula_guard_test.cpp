// The formula guard of exported cells: a text a spreadsheet would run gets
// one "'" in front, plain numbers stay, and reading takes exactly that "'"
// off again, so every text comes back as it was.

#include "foundation/csv_formula_guard.h"

#include <gtest/gtest.h>

TEST(CSVFormulaGuard, GuardsFormulasKeepsNumbersAndReadsBackEveryText) {
  const struct { const char* text; const char* cell; } cases[] = {
      {"", ""}, {"Ann", "Ann"},
      {"=HYPERLINK(\"http://x\")", "'=HYPERLINK(\"http://x\")"},
      {"+44 20 7946", "'+44 20 7946"}, {"-Ann", "'-Ann"}, {"@SUM(A1)", "'@SUM(A1)"}, {"\tcmd", "'\tcmd"},
      {"\rcmd", "'\rcmd"}, {"-", "'-"}, {"-1+2", "'-1+2"}, {"-1.5.0", "'-1.5.0"}, {"1-2", "1-2"},
      // Plain numbers are no formulas.
      {"-1.50", "-1.50"}, {"+3", "+3"}, {"42", "42"},
      // Texts that begin with "'"s: one more only before a formula character.
      {"'Bob", "'Bob"}, {"'", "'"}, {"'=x", "''=x"}, {"''+y", "'''+y"}, {"'-1.50", "''-1.50"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LCSVGuardFormula(c.text), c.cell) << c.text;
    EXPECT_EQ(LCSVUnguardFormula(c.cell), c.text) << c.cell;
  }
}
