#include "web/pages/setup/setup_wizard_users.h"

#include <cstddef>
#include <string>
#include <vector>

#include "foundation/settings_sections.h"
#include "mail/email_address.h"
#include "model/new_user.h"
#include "model/org_settings.h"
#include "model/registry_lists.h"
#include "model/registry_text.h"
#include "model/user.h"
#include "model/users.h"

namespace {

constexpr std::string_view kSettingsSection = "Settings";
constexpr std::string_view kPrimaryUserKey = "PrimaryUser";

bool Refuse(LKXWizardRowProblem& problem, int field, const char* message) {
  problem.field = field;
  problem.message = message;
  return false;
}

// Empty (0: the company's default), or a whole number in the range of the
// company's weekly hours.
bool ParseHours(const std::string& text, int& value) {
  value = 0;
  if (text.size() > 3) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return KXOrgInRange(LKXOrg::kDefaultWorkHours, value);
}

bool CheckRow(std::span<const LKXWizardUserRow> rows, std::span<const std::string> emails, std::size_t index,
              LKXWizardRowProblem& problem) {
  const LKXWizardUserRow& row = rows[index];
  const int number = static_cast<int>(index) + 1;
  const int emailField = kKXWizardEmailField + number;
  if (row.email.empty() != row.name.empty()) return Refuse(problem, emailField, kKXWizardRowHalfMessage);
  if (KXCheckUserAddress(row.email, &LEmail::ValidateAddress) != LKXUserProblem::kNone) {
    return Refuse(problem, emailField, kKXWizardRowEmailMessage);
  }
  if (KXCheckUserName(row.name) != LKXUserProblem::kNone) {
    return Refuse(problem, kKXWizardNameField + number, kKXWizardRowNameMessage);
  }
  int hours = 0;
  if (!ParseHours(row.workHours, hours)) {
    return Refuse(problem, kKXWizardWorkHoursField + number, kKXWizardRowHoursMessage);
  }
  // Caught here rather than when adding, so that the rows before it are not
  // added by a post that is then refused.
  if (KXCheckUserAddressFree(row.email) != LKXUserProblem::kNone) {
    return Refuse(problem, emailField, kKXWizardRowExistsMessage);
  }
  if (KXCheckEnteredOnce(emails, index) != LKXUserProblem::kNone) {
    return Refuse(problem, emailField, kKXWizardRowTwiceMessage);
  }
  return true;
}

bool IsBlankRow(const LKXWizardUserRow& row) { return row.email.empty() && row.name.empty(); }

}  // namespace

bool KXCheckWizardUserRows(std::span<const LKXWizardUserRow> rows, LKXWizardRowProblem& problem) {
  std::vector<std::string> emails;
  for (const LKXWizardUserRow& row : rows) emails.push_back(row.email);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (IsBlankRow(rows[i])) continue;
    if (!CheckRow(rows, emails, i, problem)) return false;
  }
  return true;
}

int KXWizardRowWorkType(const LKXWizardUserRow& row) {
  if (row.workType == "1") return kKXWorkTypePermanent;
  if (row.workType == "2") return kKXWorkTypeCasual;
  return kKXWorkTypeNotSet;
}

int KXWizardRowWorkHours(const LKXWizardUserRow& row) {
  int hours = 0;
  return ParseHours(row.workHours, hours) ? hours : 0;
}

bool KXAddWizardUsers(std::span<const LKXWizardUserRow> rows, const std::string& primary, int work_days,
                      LKXWizardRowProblem& problem) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const LKXWizardUserRow& row = rows[i];
    if (row.email.empty()) continue;
    const int emailField = kKXWizardEmailField + static_cast<int>(i) + 1;
    LKXNewUser user;
    user.email = row.email;
    user.name = row.name;
    user.team = kKXDefaultTeam;
    user.manager = primary;
    user.workDays = work_days;
    user.workType = KXWizardRowWorkType(row);
    user.workHours = KXWizardRowWorkHours(row);
    if (!KXCreateUser(user)) return Refuse(problem, emailField, kKXWizardRowNotAddedMessage);
  }
  return true;
}

bool KXFindFirstAdministrator(std::string& email) {
  email.clear();
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    if (it.Get().IsAdministrator()) {
      email = it.Get().GetEmail();
      return true;
    }
  }
  return false;
}

bool KXFindPrimaryUser(std::string& email) {
  email.clear();
  // A stored primary user who has since been deleted would leave the new
  // users with a manager nobody is, and log the browser on as nobody.
  LKXUser user;
  const std::string stored = LSettingGetString(kSettingsSection, kPrimaryUserKey);
  if (!stored.empty() && KXGetUser(stored, user)) {
    email = user.GetEmail();
    return true;
  }
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    if (it.Get().IsAdministrator() && it.Get().IsAccountant()) {
      email = it.Get().GetEmail();
      (void)LSettingSetString(kSettingsSection, kPrimaryUserKey, email);
      return true;
    }
  }
  return false;
}
