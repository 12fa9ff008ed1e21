#include "foundation/csv_formula_guard.h"

namespace {

bool StartsFormula(char c) { return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r'; }

// An optional sign, digits, and optionally a point and more digits.
bool PlainNumber(std::string_view text) {
  std::size_t at = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
  const auto digits = [&] {
    const std::size_t from = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
    return at > from;
  };
  if (!digits()) return false;
  if (at < text.size() && text[at] == '.') {
    ++at;
    if (!digits()) return false;
  }
  return at == text.size();
}

// The text after its leading "'"s.
std::string_view AfterQuotes(std::string_view text) {
  const std::size_t first = text.find_first_not_of('\'');
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

}  // namespace

std::string LCSVGuardFormula(std::string_view text) {
  const std::string_view rest = AfterQuotes(text);
  if (rest.empty() || !StartsFormula(rest.front())) return std::string(text);
  if (rest.size() == text.size() && PlainNumber(text)) return std::string(text);
  return "'" + std::string(text);
}

std::string_view LCSVUnguardFormula(std::string_view cell) {
  if (cell.empty() || cell.front() != '\'') return cell;
  const std::string_view rest = AfterQuotes(cell);
  if (rest.empty() || !StartsFormula(rest.front())) return cell;
  return cell.substr(1);
}
