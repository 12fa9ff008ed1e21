#pragma once
// "viewhours.csv": the work-hours report as a CSV download, made from the same
// rows as the page under the same rule for each user. The fields "seluser",
// "startdate" and "enddate" name the report; a field left out is taken from
// the session, as the page would show it. The download changes nothing, not
// even the session.
//
// Layout: a header row, then one row per report row; line ends CR LF; every
// amount twice, as whole minutes and as "HH:MM" (doc/hours_csv_export.md).

#include <string>

#include "web/pages/hours/hours_report.h"

void WLViewHoursCSV(LWebletForm& form);

// The CSV text of `report`.
std::string KXHoursReportCSV(const LKXHoursReport& report);

inline constexpr char kKXHoursCSVHeader[] =
    "Name,Email,Date,Time Start,Time End,Break(s) minutes,Break(s),Active minutes,Active,Idle minutes,Idle,"
    "Manual minutes,Manual,Total minutes,Total,Required minutes,Required,Difference minutes,Difference\r\n";
