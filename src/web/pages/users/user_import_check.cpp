#include "web/pages/users/user_import_check.h"

#include "mail/email_address.h"
#include "model/leave_balance.h"
#include "model/new_user.h"
#include "model/registry_lists.h"
#include "model/registry_text.h"
#include "model/users.h"
#include "web/pages/users/user_detail_page.h"

namespace {

bool InFile(const std::vector<LKXUserListCSVRow>& rows, const std::string& email) {
  for (const LKXUserListCSVRow& row : rows) {
    if (KXSameName(row.email, email)) return true;
  }
  return false;
}

std::string ProblemText(const LKXUserCheck& check) {
  switch (check.problem) {
    case LKXUserProblem::kNone:
      return "";
    case LKXUserProblem::kNoEmail:
    case LKXUserProblem::kInvalidEmail:
      return kKXDetailInvalidEmail;
    case LKXUserProblem::kNoName:
      return kKXDetailEnterName;
    case LKXUserProblem::kEmailTaken:
      return kKXDetailEmailExists;
    case LKXUserProblem::kEnteredTwice:
      return kKXImportTwice;
    case LKXUserProblem::kNoTeam:
      return KXDetailNoTeam(check.item);
    case LKXUserProblem::kNoManager:
      return KXDetailNoManager(check.item);
    case LKXUserProblem::kManagerSelf:
      return kKXDetailManagerSelf;
  }
  return "";
}

std::string RowProblem(const std::vector<LKXUserListCSVRow>& rows, std::size_t index,
                       const std::vector<std::string>& inFile) {
  const LKXUserListCSVRow& row = rows[index];
  LKXNewUser user;
  user.email = row.email;
  user.name = row.name;
  user.team = row.team;
  user.manager = row.manager;
  // A row is a new user or a change of one: the address may be taken.
  const LKXUserCheck check = KXCheckUser(user, false, &LEmail::ValidateAddress, inFile);
  const bool addressOrName = check.problem == LKXUserProblem::kNoEmail ||
                             check.problem == LKXUserProblem::kInvalidEmail || check.problem == LKXUserProblem::kNoName;
  if (!addressOrName && KXCheckEnteredOnce(inFile, index) != LKXUserProblem::kNone) return kKXImportTwice;
  const std::string problem = ProblemText(check);
  if (!problem.empty()) return problem;
  if (!row.leaveAllowance.empty() && !KXIsLeaveDaysText(row.leaveAllowance)) return kKXDetailBadLeaveDays;
  if (!KXIsCarryOverList(row.leaveCarryOver)) return kKXImportBadCarryOver;
  return "";
}

void Note(std::string& changes, bool changed, const char* field) {
  if (!changed) return;
  if (!changes.empty()) changes += ", ";
  changes += field;
}

std::string Changes(LKXUser& user, const LKXUserListCSVRow& row) {
  std::string changes;
  Note(changes, user.GetName() != row.name, "Name");
  Note(changes, user.IsAdministrator() != row.admin, "Administrator");
  Note(changes, user.IsAccountant() != row.accountant, "Accountant");
  Note(changes, row.passwordReq && !user.GetFlag(kKXUserPasswordReq), "Startup Instructions");
  Note(changes, user.GetText(kKXUserTeam) != (row.team.empty() ? std::string(kKXDefaultTeam) : row.team), "Team");
  Note(changes, user.GetText(kKXUserManager) != row.manager, "Managers");
  if (row.leaveColumns) {
    Note(changes, user.GetText(kKXUserLeaveAllowanceDays) != row.leaveAllowance, "Leave Allowance");
    Note(changes, user.GetText(kKXUserLeaveCarryOverDays) != row.leaveCarryOver, "Leave Carried Over");
  }
  return changes;
}

// Whether some administrator remains once the file is stored.
bool LeavesAdministrator(const std::vector<LKXUserListCSVRow>& rows) {
  for (const LKXUserListCSVRow& row : rows) {
    if (row.admin) return true;
  }
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    if (it.Get().IsAdministrator() && !InFile(rows, it.Get().GetEmail())) return true;
  }
  return false;
}

}  // namespace

LKXImportPlan KXPlanUserImport(const std::vector<LKXUserListCSVRow>& rows) {
  LKXImportPlan plan;
  const bool leavesAdministrator = LeavesAdministrator(rows);
  std::vector<std::string> inFile;
  for (const LKXUserListCSVRow& row : rows) inFile.push_back(row.email);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    LKXImportPlan::Row planned;
    planned.data = rows[i];
    planned.problem = RowProblem(rows, i, inFile);
    LKXUser user;
    planned.exists = KXGetUser(rows[i].email, user);
    if (planned.exists) {
      planned.changes = Changes(user, rows[i]);
      if (planned.problem.empty() && !leavesAdministrator && user.IsAdministrator()) {
        planned.problem = kKXDetailLastAdministrator;
      }
    }
    if (!planned.problem.empty()) plan.ok = false;
    plan.rows.push_back(std::move(planned));
  }
  return plan;
}
