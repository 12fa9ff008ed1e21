#pragma once
// The report search bar at the top of a report page.

class LKXWebPage;

// Writes the bar into `page`'s form: the parts asked for (user select, day,
// date range, time range, edit-mode link, year), the search button, and the
// script that keeps the bar's links in step with its fields. `includeSelf`
// puts the viewer into the user select.
void KXAddSearchBar(LKXWebPage& page, bool user, bool date, bool dateRange, bool timeRange,
                    bool editMode, bool year, bool includeSelf);
