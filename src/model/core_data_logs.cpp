// Appending activity, manual-hours and leave records. Each record is one row
// written by LCSVAppendRow: opened (created 0660, never truncated), locked
// exclusively for up to 5000 ms, written in one write at the end, closed.

#include <cstdint>
#include <limits>
#include <string>

#include "foundation/csv_writer.h"
#include "model/core_data.h"
#include "model/dropped_records.h"
#include "model/leave_log.h"

namespace {

// The station hands its texts over as C strings.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

// Appends the record in parts that each end by local midnight, every part to
// the log of its own date; `make_row(start, duration)` builds a part's row.
// A part runs to midnight when the rest reaches past it; a record that ends
// exactly at midnight stays whole.
template <typename MakeRow>
bool AppendSplitAtMidnight(std::string_view user, LDateTime start, int duration,
                           bool (*log_path)(std::string_view, LDateTime, std::string&), const MakeRow& make_row) {
  if (duration < 1 || !start.IsSet()) return false;
  bool all = true;
  std::int64_t remaining = duration;
  for (;;) {
    const std::int64_t t = start.GetDayTime().value;
    const std::int64_t part = (t + remaining >= LDateTime::kOneDay + 1) ? LDateTime::kOneDay - t : remaining;
    std::string path;
    all = log_path(user, start, path) && LCSVAppendRow(path, make_row(start, static_cast<int>(part))) && all;
    remaining -= part;
    if (remaining <= 0) return all;
    // A moment past the 32-bit range has no date to file the rest under.
    if (start.value > std::numeric_limits<std::int32_t>::max() - part) return false;
    start += static_cast<std::int32_t>(part);
  }
}

bool AppendLeave(std::string_view user, const std::string& year, const std::string& first_day,
                 const std::string& last_day, std::string_view type, std::string_view reason, std::string_view author) {
  std::string path;
  if (!LKXCoreData::GetUserLeaveLogCSV(user, year, path)) return false;
  LCSVWriterRow row;
  row.AddColDirect(first_day);
  row.AddColDirect(last_day);
  KXAddLeaveTypeCol(row, type);
  row.AddCol(reason);
  row.AddCol(0);  // pending
  row.AddCol(author);
  return LCSVAppendRow(path, row);
}

// A record that was well-formed but could not be written is counted, so
// that a full disk shows in the system log.
bool NoteOutcome(LKXDroppedRecords& counter, bool written) {
  if (written) {
    counter.Saved();
  } else {
    counter.Dropped();
  }
  return written;
}

}  // namespace

bool LKXCoreData::LogActivity(std::string_view user, LDateTime start, int duration, std::uint16_t flags, int keys,
                              int clicks, std::string_view application, std::string_view caption) {
  application = UpToNul(application);
  caption = UpToNul(caption);
  if (duration < 1 || !start.IsSet()) return false;
  const auto make_row = [&](LDateTime part_start, int part) {
    LCSVWriterRow row;
    row.AddColDirect(part_start.GetTimeText());
    row.AddCol(part);
    row.AddCol(flags);
    row.AddCol(keys);
    row.AddCol(clicks);
    row.AddCol(application);
    row.AddCol(caption);
    return row;
  };
  return NoteOutcome(KXDroppedActivityRecords(),
                     AppendSplitAtMidnight(user, start, duration, &GetUserActivityLogCSV, make_row));
}

bool LKXCoreData::LogManualEntry(std::string_view user, LDateTime start, int duration, std::uint16_t flags,
                                 std::string_view comment) {
  comment = UpToNul(comment);
  if (duration < 1 || !start.IsSet()) return false;
  const auto make_row = [&](LDateTime part_start, int part) {
    LCSVWriterRow row;
    row.AddColDirect(part_start.GetTimeText());
    row.AddCol(part);
    row.AddCol(flags);
    row.AddCol(comment);
    return row;
  };
  return NoteOutcome(KXDroppedManualRecords(),
                     AppendSplitAtMidnight(user, start, duration, &GetUserManualLogCSV, make_row));
}

bool LKXCoreData::LogLeaveEntry(std::string_view user, LDateTime first, LDateTime last, std::string_view type,
                                std::string_view reason, std::string_view author) {
  // An unset day has no year whose log could hold the record.
  if (!first.IsSet() || !last.IsSet()) return false;
  type = UpToNul(type);
  reason = UpToNul(reason);
  author = UpToNul(author);
  std::string first_day = first.GetDateText();
  const std::string last_day = last.GetDateText();
  const std::string first_year = first_day.substr(0, 4);
  const std::string last_year = last_day.substr(0, 4);
  bool all = true;
  if (first_year != last_year) {
    // Years strictly between the two get no record of their own.
    all = AppendLeave(user, first_year, first_day, first_year + "-12-31", type, reason, "");
    first_day = last_year + "-01-01";
  }
  return AppendLeave(user, last_year, first_day, last_day, type, reason, author) && all;
}
