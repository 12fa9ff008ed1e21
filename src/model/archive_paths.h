#pragma once
// Where the registry looks for a user's work logs when it asks whether the
// user worked, or was on leave, on a day. The names follow the archive
// layout of the work logs (doc/work_logs.md): archive root, the user's
// folder name derived from the e-mail address, then "<date>_activity.csv",
// "<date>_manual.csv" or "<year>_leave.csv".
//
// Only reads are made here, and a read must not create the user's folder,
// so the paths are formed without creating anything.

#include <string>
#include <string_view>

#include "foundation/date_time.h"

// archive root + "/" + folder name + "/" + file name; empty when the
// address gives no folder name (the archive root itself must never be
// taken for a user's folder).
std::string KXUserArchiveFile(std::string_view email, std::string_view file_name);

// The logs of the local date of `day` and of a year ("YYYY").
std::string KXUserActivityLogPath(std::string_view email, LDateTime day);
std::string KXUserManualLogPath(std::string_view email, LDateTime day);
std::string KXUserLeaveLogPath(std::string_view email, LDateTime day);
