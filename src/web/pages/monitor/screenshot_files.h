#pragma once
// The stored screenshots of one user's day as the pages see them: the
// clock times of the pictures and thumbnails in the day's folder, and the
// checked path of one of them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/date_time.h"

// Seconds since midnight of the stored pictures ("HH-MM-SS.jpg") or
// thumbnails ("_HH-MM-SS.jpg") of `email`'s screenshot folder of `day`,
// ascending. Names of any other shape are ignored; a missing folder gives
// none.
std::vector<std::int32_t> KXScreenShotTimes(std::string_view email, LDateTime day, bool thumbnails);

// The checked path (see LWebletContainedFilePath) of the picture or
// thumbnail taken at `seconds`; false when there is no such regular file
// inside the archive.
bool KXScreenShotPath(std::string_view email, LDateTime day, std::int32_t seconds, bool thumbnail,
                      std::string& path);

// "HH-MM-SS", the clock time inside the file names.
std::string KXScreenShotFileTime(std::int32_t seconds);
