#include "web/pages/leave/leave_posting.h"

#include <algorithm>
#include <string>

#include "foundation/csv_editor.h"
#include "foundation/text_limits.h"
#include "maintenance/maintenance_wake.h"
#include "model/core_data.h"
#include "model/leave_log.h"
#include "model/leave_notices.h"
#include "model/leave_requests.h"
#include "model/teams.h"
#include "model/users.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/leave/leave_pages_common.h"

namespace {

// What one posted row asks for.
struct PostedRow {
  std::string user;
  std::string year;  // of the log that holds the row's (first) record
  std::string start;
  std::string end;
  int typeIndex = -1;  // -1 or out of range: keep the stored type
  std::string reason;
};

// A posted decimal; `fallback` for anything else (a missing field, text,
// a number out of range).
int PostedInt(const LWebletForm& form, const std::string& name, int fallback) {
  const std::string text = form.Params().GetParm(name);
  if (text.empty() || text.size() > 9) return fallback;
  std::size_t at = text[0] == '-' ? 1 : 0;
  if (at == text.size()) return fallback;
  int value = 0;
  for (; at < text.size(); ++at) {
    if (text[at] < '0' || text[at] > '9') return fallback;
    value = value * 10 + (text[at] - '0');
  }
  return text[0] == '-' ? -value : value;
}

std::string Field(const LWebletForm& form, const char* name, int row) {
  return LCutText(form.Params().GetParm(std::string(name) + std::to_string(row)));
}

bool MayAct(LKXUser& actor, const std::string& user, LKXLeavePostSource source) {
  if (!KXUserExists(user)) return false;
  if (source == LKXLeavePostSource::kPendingPage) return KXIsManagerOf(actor, user);
  return KXMayEditLeaveOf(actor, user);
}

// Rewrites one record of one year's log; false when no record matched (the
// log is then left exactly as it was). `oldStatus` is the record's status
// before.
bool RewriteRecord(const std::string& user, const LKXLeavePart& part, LKXLeaveAction action,
                   const std::string& type, const std::string& reason, const std::string& actor, int& oldStatus) {
  std::string path;
  if (!LKXCoreData::GetUserLeaveLogCSV(user, part.year, path)) return false;
  LCSVFileEditor editor(path, kKXLeaveLogLockTimeoutMs);
  if (!editor.Ok()) return false;
  editor.SetLineEnd("\r\n");
  bool matched = false;
  for (bool more = editor.HasLine(); more; more = editor.Next()) {
    if (matched) {
      editor.RowAccept();
      continue;
    }
    LKXLeaveRecord record = KXParseLeaveRecord(editor.Line());
    if (!KXSameName(record.start, part.record.start) || !KXSameName(record.end, part.record.end)) {
      editor.RowAccept();
      continue;
    }
    matched = true;
    oldStatus = record.status;
    if (action == LKXLeaveAction::kDelete) continue;
    if (type != record.type || reason != record.reason) record.author = actor;
    record.type = type;
    record.reason = reason;
    if (action == LKXLeaveAction::kApprove) record.status = kKXLeaveApproved;
    if (action == LKXLeaveAction::kDisapprove) record.status = kKXLeaveDisapproved;
    editor.RowWrite(KXLeaveRecordRow(record));
  }
  if (!matched) {
    editor.Discard();
    return false;
  }
  return editor.Commit();
}

// Acts on every record of the request (both halves of a leave across the
// year end, so that neither is left behind) and raises the user's notice
// once for the whole request. False when no record was changed.
bool ActOnRequest(const PostedRow& posted, const LKXLeaveRequest& request, LKXLeaveAction action,
                  const std::vector<std::string>& types, const std::string& actor) {
  const bool knownType = posted.typeIndex >= 0 && posted.typeIndex < static_cast<int>(types.size());
  const std::string type = knownType ? types[static_cast<std::size_t>(posted.typeIndex)] : request.Type();
  bool changed = false;
  bool wasApproved = true;
  bool wasDisapproved = true;
  for (const LKXLeavePart& part : request.parts) {
    int oldStatus = kKXLeavePending;
    if (!RewriteRecord(posted.user, part, action, type, posted.reason, actor, oldStatus)) continue;
    changed = true;
    wasApproved = wasApproved && oldStatus >= kKXLeaveApproved;
    wasDisapproved = wasDisapproved && oldStatus < 0;
  }
  if (!changed) return false;
  LKXLeaveNotice notice = LKXLeaveNotice::kDeleted;
  switch (action) {
    case LKXLeaveAction::kDelete:
      break;
    case LKXLeaveAction::kApprove:
      if (wasApproved) return true;
      notice = LKXLeaveNotice::kApprove;
      break;
    case LKXLeaveAction::kDisapprove:
      if (wasDisapproved) return true;
      notice = LKXLeaveNotice::kDisapprove;
      break;
    case LKXLeaveAction::kApply:
      return true;
  }
  LKXUser record;
  if (!KXGetUser(posted.user, record)) return true;
  const std::string notedType = action == LKXLeaveAction::kDelete ? request.Type() : type;
  (void)KXRaiseLeaveNotice(record, notice, {request.Start(), request.End(), notedType}, actor);
  KXWakeMaintenance();
  return true;
}

}  // namespace

bool LKXLeaveActionOf(const std::string& submit, LKXLeaveAction& action) {
  if (submit == kLApplyLabel) {
    action = LKXLeaveAction::kApply;
  } else if (submit == kLDeleteLabel) {
    action = LKXLeaveAction::kDelete;
  } else if (submit == kLApproveLabel) {
    action = LKXLeaveAction::kApprove;
  } else if (submit == kLDisapproveLabel) {
    action = LKXLeaveAction::kDisapprove;
  } else {
    return false;
  }
  return true;
}

std::vector<std::string> KXPostLeaveChanges(LWebletForm& form, LKXUser& actor, LKXLeaveAction action,
                                            LKXLeavePostSource source, const std::string& reportUser) {
  std::vector<std::string> notices;
  const std::string yearField = form.Params().GetParm("year");
  const std::string formYear = yearField.empty() ? KXCurrentYearText() : LCutText(yearField);
  // Every row posts at least its dates, so there can be no more rows than
  // posted fields: a "count" of a million costs no more than the form.
  const int posted = static_cast<int>(form.Params().Size());
  const int count = std::min(std::max(PostedInt(form, "count", 0), 0), posted);
  const std::vector<std::string> types = KXGetLeaveTypeNames();
  const std::string actorEmail = actor.GetEmail();
  for (int i = 0; i < count; ++i) {
    if (action != LKXLeaveAction::kApply && Field(form, "check", i).empty()) continue;
    PostedRow row;
    row.user = source == LKXLeavePostSource::kPendingPage ? Field(form, "inputuser", i) : reportUser;
    row.start = Field(form, "inputstartdate", i);
    row.end = Field(form, "inputenddate", i);
    if (row.start.empty() && row.end.empty()) continue;  // not a row of the page
    // The pending page lists two years, so its rows carry their own.
    row.year = Field(form, "inputyear", i);
    if (row.year.empty()) row.year = formYear;
    row.typeIndex = PostedInt(form, "selecttype" + std::to_string(i), -1);
    row.reason = Field(form, "inputreason", i);
    if (!KXIsYearText(row.year)) {
      notices.push_back("The year \"" + row.year + "\" is not a four-digit year; nothing was changed.");
      continue;
    }
    if (!MayAct(actor, row.user, source)) {
      notices.push_back("You may not change the leave of " + row.user + "; nothing was changed.");
      continue;
    }
    LKXLeaveRequest request;
    if (!KXFindLeaveRequest(row.user, row.year, row.start, row.end, request) ||
        !ActOnRequest(row, request, action, types, actorEmail)) {
      notices.push_back("No leave record from " + row.start + " to " + row.end + " of " + row.user + " in " +
                        row.year + "; nothing was changed.");
    }
  }
  return notices;
}

void WLWriteLeaveNotices(LWebletForm& form, const std::vector<std::string>& notices) {
  for (const std::string& notice : notices) wfformat(form, "<p><font color=#a00000>%H</font></p>", notice);
}
