#include "web/text/csv_cell.h"

#include "foundation/csv_formula_guard.h"

namespace {

bool NeedsQuotes(std::string_view text) {
  if (text.empty()) return false;
  if (text.front() == ' ' || text.back() == ' ' || text.front() == '\t' || text.back() == '\t') return true;
  return text.find_first_of(",\"\r\n") != std::string_view::npos;
}

}  // namespace

void LCSVCellAppend(std::string& line, std::string_view raw) {
  const std::string guarded = LCSVGuardFormula(raw);
  const std::string_view text = guarded;
  if (!NeedsQuotes(text)) {
    line.append(text);
    return;
  }
  line.push_back('"');
  for (char c : text) {
    if (c == '"') line.push_back('"');
    line.push_back(c);
  }
  line.push_back('"');
}

std::string LCSVCell(std::string_view text) {
  std::string cell;
  LCSVCellAppend(cell, text);
  return cell;
}
