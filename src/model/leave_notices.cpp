#include "model/leave_notices.h"

#include "foundation/csv_writer.h"
#include "model/leave_log.h"
#include "model/registry_lists.h"

namespace {

struct NoticeKeys {
  const char* prefix;
  const LKXUserKey* flag;
  const LKXUserKey* operatorKey;  // null for an application
};

NoticeKeys KeysOf(LKXLeaveNotice notice) {
  switch (notice) {
    case LKXLeaveNotice::kApplication:
      return {"LeaveApplicationRequest", &kKXUserLeaveApplicationEmail, nullptr};
    case LKXLeaveNotice::kApprove:
      return {"LeaveApproveRequest", &kKXUserLeaveApproveEmail, &kKXUserLeaveApproveOperator};
    case LKXLeaveNotice::kDisapprove:
      return {"LeaveDisapproveRequest", &kKXUserLeaveDisapproveEmail, &kKXUserLeaveDisapproveOperator};
    case LKXLeaveNotice::kDeleted:
      break;
  }
  return {"LeaveDeletedRequest", &kKXUserLeaveDeletedEmail, &kKXUserLeaveDeletedOperator};
}

std::string ItemKey(LKXLeaveNotice notice, int number) {
  return KeysOf(notice).prefix + std::to_string(number);
}

// The stored items, oldest first; they are numbered from 1 without gaps.
std::vector<std::string> ReadItems(LKXUser& user, LKXLeaveNotice notice) {
  std::vector<std::string> items;
  for (int n = 1; n <= kKXMaxNotedLeaves; ++n) {
    const std::string item = user.GetString(ItemKey(notice, n));
    if (item.empty()) break;
    items.push_back(item);
  }
  return items;
}

}  // namespace

const LKXUserKey& KXLeaveNoticeFlag(LKXLeaveNotice notice) { return *KeysOf(notice).flag; }

bool KXRaiseLeaveNotice(LKXUser& user, LKXLeaveNotice notice, const LKXNotedLeave& leave,
                        const std::string& actor) {
  const NoticeKeys keys = KeysOf(notice);
  LKXRegistryLock lock;
  bool ok = true;
  const int stored = static_cast<int>(ReadItems(user, notice).size());
  if (stored < kKXMaxNotedLeaves) {
    LCSVWriterRow row;
    KXAddLeaveTypeCol(row, leave.start);
    KXAddLeaveTypeCol(row, leave.end);
    KXAddLeaveTypeCol(row, leave.type);
    ok = user.SetString(ItemKey(notice, stored + 1), row.Text());
  }
  if (keys.operatorKey != nullptr) ok = user.SetText(*keys.operatorKey, actor) && ok;
  return user.SetFlag(*keys.flag, true) && ok;
}

std::vector<LKXNotedLeave> KXNotedLeaves(LKXUser& user, LKXLeaveNotice notice) {
  std::vector<LKXNotedLeave> leaves;
  for (const std::string& item : ReadItems(user, notice)) {
    const LKXLeaveRecord record = KXParseLeaveRecord(item);
    leaves.push_back({record.start, record.end, record.type});
  }
  return leaves;
}

bool KXClearLeaveNotice(LKXUser& user, LKXLeaveNotice notice, std::size_t sent) {
  LKXRegistryLock lock;
  const std::vector<std::string> items = ReadItems(user, notice);
  bool ok = true;
  // Requests raised after the mail was composed move to the front.
  for (std::size_t n = 0; n < items.size(); ++n) {
    const std::string key = ItemKey(notice, static_cast<int>(n) + 1);
    if (n + sent < items.size()) {
      ok = user.SetString(key, items[n + sent]) && ok;
    } else {
      ok = user.SetString(key, static_cast<const char*>(nullptr)) && ok;
    }
  }
  if (sent >= items.size()) ok = user.SetFlag(*KeysOf(notice).flag, false) && ok;
  return ok;
}
