#pragma once
// The "daterange" choice of the report pages and the period prompt: ten
// ranges, and the script function changedates() that fills the start and end
// date inputs (found by element id) when one is chosen. After filling an
// input it calls evChange(<id>) when the page defines evChange, so links
// that follow the inputs stay in step.

#include <string>
#include <string_view>

inline constexpr const char* kLDateRangeChoices[] = {
    "Date Range", "Today",      "Last 7 Days", "Last 30 Days", "This Week",
    "Last Week",  "This Month", "Last Month",  "This Year",    "Last Year",
};

// <select name=<name> id=daterange onchange="changedates()"> with the ten
// choices (values 0 to 9, the first selected).
std::string LDateRangeSelectHtml(std::string_view name);

// The script of changedates() for the inputs with element ids `startId` and
// `endId` (the pages' own constants). Weeks run Monday to Sunday, as the
// system's last week does.
std::string LDateRangeScript(std::string_view startId, std::string_view endId);
