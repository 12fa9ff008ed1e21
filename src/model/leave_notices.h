#pragma once
// The leave requests a pending leave notice is about, kept on the user
// record beside its flag so that the mail can name them: the flag alone
// cannot tell which request was applied for or decided, and several may
// pile up before the maintenance thread sends the mail.
//
// Each request is one key, "<prefix>1", "<prefix>2", ... in the order they
// were raised (prefixes "LeaveApplicationRequest", "LeaveApproveRequest",
// "LeaveDisapproveRequest", "LeaveDeletedRequest"), holding the columns
// first day, last day and type of a leave record. A leave across the year
// end is one request with its whole range. Raising and clearing hold
// LKXRegistryLock, so a request raised while its mail is on the way stays
// for the next mail, with its flag.

#include <string>
#include <vector>

#include "model/user.h"

enum class LKXLeaveNotice { kApplication, kApprove, kDisapprove, kDeleted };

struct LKXNotedLeave {
  std::string start;
  std::string end;
  std::string type;
};

// A notice keeps at most this many requests; later ones raise the flag
// without being named.
inline constexpr int kKXMaxNotedLeaves = 50;

// The flag of the notice ("LeaveApplicationEmail", ...).
const LKXUserKey& KXLeaveNoticeFlag(LKXLeaveNotice notice);

// Notes the request, sets the operator key of a decision to `actor` (an
// application has none) and raises the flag, in that order. False when the
// record could not be written.
bool KXRaiseLeaveNotice(LKXUser& user, LKXLeaveNotice notice, const LKXNotedLeave& leave,
                        const std::string& actor);

// The requests noted for the notice, oldest first.
std::vector<LKXNotedLeave> KXNotedLeaves(LKXUser& user, LKXLeaveNotice notice);

// After the mail that named the first `sent` requests went out: forgets
// them and clears the flag unless requests were noted meanwhile. False when
// the record could not be written.
bool KXClearLeaveNotice(LKXUser& user, LKXLeaveNotice notice, std::size_t sent);
