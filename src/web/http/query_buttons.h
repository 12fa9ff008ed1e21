#pragma once
// A link or a page of another site can make a browser send a GET to the
// panel with the user's cookie, whatever its query says. So a query never
// presses a button: the forms that change data post their buttons, and a GET
// of their page shows the page and changes nothing. The search bar's button
// is the one a query keeps: its links only move through the reports.

#include <string_view>

#include "web/text/hash_table.h"

// The label of the search bar's button, the one button a query may press.
inline constexpr char kLSearchButtonLabel[] = "  Search  ";

// True for a field that names a pressed button: "submit", "submitdef" (the
// dialogs' copy of OK for Enter) and "submit_<name>".
bool LWebletIsButtonField(std::string_view name);

// Removes from the fields of a query every button field that presses
// anything but the search bar's button.
void LWebletDropQueryButtons(LHashTable& params);
