#pragma once
// What the setup wizard decides without HTTP: who the first administrator
// and the primary user are, and whether the rows of step 3 may become users.
//
//   std::vector<LKXWizardUserRow> rows = ...;   // typed values, trimmed
//   LKXWizardRowProblem problem;
//   std::string primary;
//   if (KXCheckWizardUserRows(rows, problem) && KXFindPrimaryUser(primary))
//     KXAddWizardUsers(rows, primary, work_days, problem);

#include <span>
#include <string>

// Step 3 shows 4 rows at first; "Add More" adds one up to 5. Row i (from 1)
// posts the fields below plus i.
inline constexpr int kKXWizardFirstUserRows = 4;
inline constexpr int kKXWizardMaxUserRows = 5;
inline constexpr int kKXWizardEmailField = 100;
inline constexpr int kKXWizardNameField = 200;
inline constexpr int kKXWizardWorkTypeField = 300;
inline constexpr int kKXWizardWorkHoursField = 600;

inline constexpr char kKXWizardRowHalfMessage[] =
    "Please either enter the email address and user name, or leave them both blank.";
inline constexpr char kKXWizardRowEmailMessage[] = "This is not a valid email address.";
inline constexpr char kKXWizardRowNameMessage[] = "Please enter the name of this user.";
inline constexpr char kKXWizardRowHoursMessage[] =
    "Please enter the hours per week as a whole number from 0 to 84, or leave it blank.";
inline constexpr char kKXWizardRowExistsMessage[] = "A user with this email address already exists.";
inline constexpr char kKXWizardRowTwiceMessage[] = "This email address is entered twice.";
inline constexpr char kKXWizardRowNotAddedMessage[] = "This user could not be added. Please try again.";
inline constexpr char kKXWizardNoPrimaryMessage[] = "KavrixServer Error: Can not find the primary admin user!";

// One row of step 3 as typed (e-mail, name and hours trimmed).
struct LKXWizardUserRow {
  std::string email;
  std::string name;
  std::string workType;   // "1" permanent, "2" casual; anything else: not set
  std::string workHours;  // empty: the company's default
};

// The field a refused row is shown at, and why.
struct LKXWizardRowProblem {
  int field = -1;
  std::string message;
};

// Checks rows[0] as row 1 and so on; rows with neither e-mail nor name are
// skipped. Every row is checked before any user is added, so a refused post
// adds nobody and can simply be sent again. False with the first problem:
// an e-mail without a name or a name without an e-mail (on the e-mail), an
// invalid e-mail, an empty name, hours that are not 0 to 84, an address
// that is already a user's or that an earlier row holds (on the e-mail).
bool KXCheckWizardUserRows(std::span<const LKXWizardUserRow> rows, LKXWizardRowProblem& problem);

// "WorkType" and "WorkHours" as stored for a checked row.
int KXWizardRowWorkType(const LKXWizardUserRow& row);
int KXWizardRowWorkHours(const LKXWizardUserRow& row);

// Adds each row with an e-mail as a new user (KXCreateUser): neither
// administrator nor accountant, team "DefaultTeam", managed by `primary`,
// without a password (so the logon details are e-mailed), with the row's
// "WorkType" and "WorkHours" and the step's `work_days`. Stops at the first
// row that cannot be added, with the problem on its e-mail field.
bool KXAddWizardUsers(std::span<const LKXWizardUserRow> rows, const std::string& primary, int work_days,
                      LKXWizardRowProblem& problem);

// The first user in registry order whose "AccessAdmin" is set.
bool KXFindFirstAdministrator(std::string& email);

// "Settings" "PrimaryUser" when it names an existing user; otherwise the
// first user in registry order who is both administrator and accountant,
// who is then stored as "PrimaryUser". False (and `email` empty) when there
// is none.
bool KXFindPrimaryUser(std::string& email);
