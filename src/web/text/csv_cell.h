#pragma once
// One cell of a CSV file that the panel hands out for download (the
// work-hours export), quoted as RFC 4180 says, so that any spreadsheet reads
// back exactly the text that was written: a cell holding a comma, a double
// quote, CR, LF or blanks at either end is enclosed in double quotes, with
// each double quote inside written twice; any other cell goes out as it is.
// A text that a spreadsheet would run as a formula gets a "'" in front
// first (foundation/csv_formula_guard.h); figures the caller writes itself
// are no text cells. (The work logs have a quoting of their own:
// foundation/csv_writer.h.)

#include <string>
#include <string_view>

void LCSVCellAppend(std::string& line, std::string_view text);
std::string LCSVCell(std::string_view text);
