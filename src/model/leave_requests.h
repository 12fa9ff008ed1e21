#pragma once
// Leave as the staff member applied for it. A leave across the year end is
// stored as two records, one in each year's log (the first ending on
// 31 December with an empty author, the second starting on 1 January); the
// stored files keep that layout, and this is the one place that joins the
// two halves back into one request, so that the pages, the post handlers
// and the mails treat it as one.

#include <string>
#include <string_view>
#include <vector>

#include "model/leave_log.h"

// One record and the year of the log that holds it.
struct LKXLeavePart {
  std::string year;
  LKXLeaveRecord record;
};

// One record, or the two halves of a leave across the year end in date order.
struct LKXLeaveRequest {
  std::vector<LKXLeavePart> parts;

  const std::string& Start() const { return parts.front().record.start; }
  const std::string& End() const { return parts.back().record.end; }
  const std::string& Type() const { return parts.front().record.type; }
  const std::string& Reason() const { return parts.front().record.reason; }
  bool IsSplit() const { return parts.size() > 1; }
  // Pending while any half is: a half left pending must still be decided.
  bool IsPending() const;
  // Pending when any half is, else disapproved when any half is, else approved.
  int Status() const;
};

// Whether `january`, a record of the log after `december`'s, is the second
// half of the same leave: `december` ends on 31 December, `january` starts
// on 1 January of the next year, with the same type (letter case ignored)
// and the same reason. The author is not compared: only the second half
// keeps the one who recorded a leave call.
bool KXIsYearEndContinuation(std::string_view decemberYear, const LKXLeaveRecord& december,
                             const LKXLeaveRecord& january);

// The requests with a record in the logs of `firstYear` to `lastYear`
// (four-digit years), each once and joined with its other half, which may
// lie in the year before or after; in year and file order.
std::vector<LKXLeaveRequest> KXReadLeaveRequests(std::string_view user, int firstYear, int lastYear);

// The request that a posted row names: its whole range (`start` and `end`
// in different years), or the dates of one record of the log of `year`.
// False when no record matches.
bool KXFindLeaveRequest(std::string_view user, std::string_view year, std::string_view start,
                        std::string_view end, LKXLeaveRequest& out);
