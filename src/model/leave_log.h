#pragma once
// The records of a user's yearly leave log, read back, written as rows, and
// counted in leave days. The file names come from LKXCoreData; the columns
// are described in doc/work_logs.md.

#include <string>
#include <string_view>
#include <vector>

#include "foundation/date_time.h"

class LCSVWriterRow;

inline constexpr int kKXLeavePending = 0;
inline constexpr int kKXLeaveApproved = 1;
inline constexpr int kKXLeaveDisapproved = -1;
// Readers and the rewrite wait this long for the log's lock.
inline constexpr int kKXLeaveLogLockTimeoutMs = 5000;

struct LKXLeaveRecord {
  std::string start;   // "YYYY-MM-DD", first day
  std::string end;     // "YYYY-MM-DD", last day
  std::string type;    // the leave type's name
  std::string reason;
  int status = kKXLeavePending;  // any value above 0 is approved, below 0 disapproved
  std::string author;  // empty when the user applied himself

  bool IsApproved() const { return status > 0; }
  bool IsDisapproved() const { return status < 0; }
};

// Whether `year` is exactly four ASCII digits: the text comes from web forms
// and becomes part of a file name.
bool KXIsYearText(std::string_view year);
// Whether `date` is a date written exactly "YYYY-MM-DD" (zero-padded, ten
// bytes) that names a real day.
bool KXIsDateText(std::string_view date);
// The current local year as "YYYY".
std::string KXCurrentYearText();

// One line of a leave log; columns past the last one read as empty.
LKXLeaveRecord KXParseLeaveRecord(std::string_view line);
// The records of the user's leave log of `year`, in file order; none when
// the log or the year is missing or invalid.
std::vector<LKXLeaveRecord> KXReadLeaveLog(std::string_view user, std::string_view year);

// The leave type column: plain as the log has always had it, but quoted when
// the name holds a comma, a double quote or a control byte, which would
// otherwise break the row.
void KXAddLeaveTypeCol(LCSVWriterRow& row, std::string_view type);
// The record as a row, without a line end.
std::string KXLeaveRecordRow(const LKXLeaveRecord& record);

// The public holidays loaded once, for pages that count many records.
class LKXHolidayCalendar {
 public:
  LKXHolidayCalendar();  // reads the holiday list
  // As KXIsPublicHoliday: some holiday runs from its start day at 00:00:00
  // to its end day at 23:59:59 around `moment`.
  bool IsHoliday(LDateTime moment) const;

 private:
  struct Range {
    LDateTime from, to;
  };
  std::vector<Range> ranges_;
};

// Leave days from `start` to `end` inclusive that are neither Saturday nor
// Sunday nor a public holiday; 0 when a date is not "YYYY-MM-DD" or the start
// is after the end.
int CalculateHolidaysTaken(std::string_view start, std::string_view end,
                           const LKXHolidayCalendar& holidays);
int CalculateHolidaysTaken(std::string_view start, std::string_view end);
