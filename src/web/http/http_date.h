#pragma once
// The time text of static-file responses, in UTC.

#include <cstdint>
#include <string>

// "%s, %.2d %s 20%.2d %.2d:%.2d:%.2d GMT": English weekday and month
// abbreviations, day of month, the last two digits of the year, and the time
// of day, of the moment `secondsSince1970` in UTC. Browsers send this text
// back in If-Modified-Since.
std::string LHttpDateText(std::int64_t secondsSince1970);
