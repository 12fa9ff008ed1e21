#pragma once
// Cells of the CSV files the server composes for people to open in a
// spreadsheet (the work-hours export, the user list). A spreadsheet takes a
// cell that begins with "=", "+", "-", "@", a tab or CR as a formula, so a
// user name such as "=HYPERLINK(...)" would run in the sheet of whoever
// opens the export. Such a text goes out with one "'" in front, which
// spreadsheets show as text, and the user list import takes that "'" off
// again. A text that itself begins with "'"s and then such a character gets
// one "'" more, so that it too reads back unchanged. A plain number
// ("-1.50", "+3") is no formula and stays as it is, so that a sheet can
// still add it up. The work logs are never guarded: they are the stored
// files themselves. (doc/csv_logs.md, "Formula guard".)

#include <string>
#include <string_view>

// `text` as the cell of an export, before any quoting.
std::string LCSVGuardFormula(std::string_view text);
// The text a guarded cell stands for: one leading "'" dropped when the
// cell's leading "'"s are followed by a formula character.
std::string_view LCSVUnguardFormula(std::string_view cell);
