#pragma once
// The access audit: who looked at whose monitoring data. Every view of
// another user's screenshots, full-size pictures, activity log or live
// screen, and every download of an activity log, appends one row to the
// day's audit log "<shared data folder>/Audit/YYYY-MM-DD_audit.csv" (local
// date). Rows follow the work logs' CSV conventions; the columns are in
// doc/access_audit.md.

#include <string>
#include <string_view>
#include <vector>

#include "foundation/date_time.h"

// What was looked at: the fourth column of a row.
inline constexpr char kKXAuditScreenshots[] = "screenshots";
inline constexpr char kKXAuditFullSizePicture[] = "full-size picture";
inline constexpr char kKXAuditActivityLog[] = "activity log";
inline constexpr char kKXAuditLiveScreen[] = "live screen";
inline constexpr char kKXAuditLogDownload[] = "log download";
// A call of the read API: "api " and the path after "api/v1/" (then its
// range or year); its subject is the user asked for, or kKXAuditEveryone.
inline constexpr char kKXAuditApiCall[] = "api ";
inline constexpr char kKXAuditEveryone[] = "*";

struct LKXAuditEntry {
  std::string time;     // "HH:MM:SS"
  std::string viewer;   // e-mail address of who looked
  std::string subject;  // whose data: an address, or an archive folder name
  std::string what;     // one of the texts above, possibly with a detail
  std::string client;   // the viewer's address "a.b.c.d:port"
};

// "<shared data folder>/Audit/YYYY-MM-DD_audit.csv" of the local date of
// `day`; the folder is created only when `create` is set.
std::string KXAuditLogPath(LDateTime day, bool create);

// Appends a row stamped now, unless the viewer looks at their own data
// (letter case ignored): only other people's looks are accountable. False
// when the row could not be written.
bool KXAuditAccess(std::string_view viewer, std::string_view subject, std::string_view what,
                   std::string_view client);

// Appends the row whoever the subject is: a token's calls are accounted
// for even when they read the owner's own data. False when not written.
bool KXAuditRecord(std::string_view viewer, std::string_view subject, std::string_view what,
                   std::string_view client);

// The rows of the audit log of `day`, in file order; when `subject` is not
// empty only the rows about that user (letter case ignored). A row with
// fewer than five columns is skipped.
std::vector<LKXAuditEntry> KXReadAuditLog(LDateTime day, std::string_view subject);
