#pragma once
// Changing and deleting rows of one day's manual-hours log, as the manual
// hours page does. The rows that the request names are found by their start
// text (letter case ignored) and their duration; every other line, broken
// rows included, is copied byte for byte, with CR LF after it.
//
// The new contents go to "~" + the log's name in the same folder, which is
// synced and then renamed over the log while the exclusive lock on the log
// is held, so a station appending to the same log either lands before the
// edit (and is copied) or waits and then appends to the new file. An edit
// that cannot have the lock within its time-out does not take place: going
// ahead would drop a row appended meanwhile. A log left without any line is
// removed, so that the day counts as not worked again.

#include <string>
#include <string_view>
#include <vector>

// One change asked for: the row that starts at `start` and lasts `duration`
// seconds is deleted (`remove`), or gets `makePrivate` in bit 0 of its flags
// (other bits kept) and `comment` (unless `keepComment`). A changed row
// that comes out the same as before keeps its line byte for byte.
struct LKXManualRowChange {
  std::string start;
  int duration = 0;
  bool remove = false;
  bool makePrivate = false;
  bool keepComment = false;
  std::string comment;
};

enum class LKXManualEditResult {
  kDone,     // rewritten (or removed when nothing was left)
  kNoLog,    // the log does not exist: nothing to change
  kBusy,     // the lock could not be had in time; the log is unchanged
  kFailed,   // reading or writing failed; the log is unchanged
};

// Wait for a manual log that a station is appending to.
inline constexpr int kKXManualEditLockTimeoutMs = 5000;

// Applies `changes` to the log at `path`. A log row named by several
// changes takes the last of them.
[[nodiscard]] LKXManualEditResult KXEditManualLog(const std::string& path,
                                                  const std::vector<LKXManualRowChange>& changes,
                                                  int lockTimeoutMs = kKXManualEditLockTimeoutMs);

// The lines of a log's contents that are not empty, without their line ends
// (LF, CR or CR LF), in order.
std::vector<std::string_view> KXSplitLogLines(std::string_view contents);
