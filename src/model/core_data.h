#pragma once
// The per-user work logs and data folders: the one place that names the
// archive folders, the daily activity and manual-hours logs, the yearly leave
// logs and the daily screenshot folders, and that appends records to them.
// Every reader (hours, reports, pages, maintenance) takes its file names from
// here. Layout and columns are described in doc/work_logs.md.
//
// All functions take the user's e-mail address first. Nothing here reports
// an error to the office: a missing archive root, a full disk or an
// unreadable picture leaves the record out and the caller carries on. The
// results say whether everything was written, for callers that care.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/core_calendar.h"
#include "foundation/date_time.h"

class LKXCoreData : public LKXCoreCalendar {
 public:
  // Longest path that any function here hands out or writes to. Paths travel
  // through 260-byte buffers elsewhere; a longer one would be cut there and
  // name another file, so it is refused here instead.
  static constexpr std::size_t kMaxPath = 259;

  // The user's folder name: the e-mail address without bytes below 32 and
  // without any of " * . / : < > ? \ |, at most 259 bytes, ASCII upper case
  // turned to lower case. May be empty (for an address made only of dropped
  // bytes); such a user has no folder and every function below refuses it.
  static std::string GetUserFolderName(std::string_view user);

  // "Settings"/"SystemArchiveFolder", or the shared sub-folder "Archive"
  // (created) when that is empty. The configured folder is not created.
  static std::string GetArchiveRoot();

  // archive root + "/" + folder name, created (mode 02770 whatever the
  // umask, foundation/file_modes.h) when missing. False, `out` empty, when
  // the user has no folder name or the path is too long.
  static bool GetUserArchiveFolder(std::string_view user, std::string& out);
  // archive root + "/" + folder name + "/" + file_name, formed without
  // creating anything, for readers that only look. Empty when the user has
  // no folder name or the path is too long.
  static std::string GetUserFilePathForReading(std::string_view user, std::string_view file_name);
  // "<folder>/YYYY-MM-DD_activity.csv" / "_manual.csv" of the local date of
  // `day` (the date part is empty for an unset day).
  static bool GetUserActivityLogCSV(std::string_view user, LDateTime day, std::string& out);
  static bool GetUserManualLogCSV(std::string_view user, LDateTime day, std::string& out);
  // "<folder>/YYYY_leave.csv". `year` must be one to four ASCII digits: the
  // text may come from a web form and is part of a path.
  static bool GetUserLeaveLogCSV(std::string_view user, std::string_view year, std::string& out);
  // "<folder>/YYYY-MM-DD_qascreens", created only when `create` is true and
  // `day` is set.
  static bool GetScreenFolder(std::string_view user, LDateTime day, std::string& out, bool create);

  // Appends activity records "HH:MM:SS,duration,flags,keys,clicks,"app","caption"",
  // split at local midnight into the log of each part's date. Key and click
  // counts are repeated in every part. Nothing for a duration below 1 or an
  // unset start. Texts end at their first NUL byte.
  static bool LogActivity(std::string_view user, LDateTime start, int duration, std::uint16_t flags, int keys,
                          int clicks, std::string_view application, std::string_view caption);
  // Appends manual-hours records "HH:MM:SS,duration,flags,"comment"", split
  // at midnight like activity records.
  static bool LogManualEntry(std::string_view user, LDateTime start, int duration, std::uint16_t flags,
                             std::string_view comment);
  // Appends the leave record "first,last,type,"reason",0,"author"" with
  // status 0 (pending) to the leave log of the last day's year. A leave that
  // crosses a year end is first recorded up to 31 December of the first
  // day's year (with an empty author) in that year's log, and then from
  // 1 January of the last day's year.
  static bool LogLeaveEntry(std::string_view user, LDateTime first, LDateTime last, std::string_view type,
                            std::string_view reason, std::string_view author);

  // Stores one screenshot taken at `time` (nothing when unset) as
  // "<screen folder>/HH-MM-SS.jpg" and its 100 x 80 thumbnail as
  // "_HH-MM-SS.jpg". `is_jpeg` bytes are stored as sent; otherwise the bytes
  // are a Windows bitmap file, stored as JPEG. Bytes that do not decode as
  // such a picture store nothing.
  static bool LogScreenShot(std::string_view user, LDateTime time, bool is_jpeg, const void* data, std::size_t size);
};
