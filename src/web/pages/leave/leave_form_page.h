#pragma once
// The leave form: a staff member applies for leave, or, in call mode
// ("leavecall=true"), records a leave call received for a colleague. A
// manager, HR or an administrator may also apply for a user named by
// "seluser" (entry_owner.h). An accepted form appends a pending record to
// the user's leave log and raises "LeaveApplicationEmail" on the user's record.

#include <string>
#include <vector>

#include "web/pages/common/entry_owner.h"
#include "web/panel/kx_web_dialog.h"

class LWebletForm;
class LKXUser;

inline constexpr char kLLeaveFormPrompt[] = "Please fill out the leave application form.";
inline constexpr char kLLeaveFormNotice[] = "Notice: The time here should be your local PC time.";
inline constexpr char kLLeaveDateInvalid[] = "Please enter a valid date in the format YYYY-MM-DD.";
inline constexpr char kLLeaveDateOrder[] =
    "Date start has to be before date end. Please make sure you use the format YYYY-MM-DD.";
inline constexpr char kLLeaveTooLong[] = "You cannot apply for a leave with more than 200 days.";
inline constexpr char kLLeaveNoSelectedUser[] = "Can't find selected user!";
inline constexpr char kLLeaveUserNotOffered[] = "Please select a user from the list.";
inline constexpr char kLLeaveTypeInvalid[] = "Please select a type of leave.";
inline constexpr char kLLeaveNoTypes[] =
    "No leave types are set up yet. Please ask your administrator to add them.";
// 200 days: the longest leave one form may ask for.
inline constexpr int kLMaxLeaveSeconds = 17280000;
// How much of the session id the system log may show: enough to tell two
// sessions apart when reading the log, not enough to log on with.
inline constexpr std::size_t kLLoggedSessionPrefix = 4;

class LKXLeaveFormPage : public LKXWebDialog {
 public:
  explicit LKXLeaveFormPage(LWebletForm& form);

  // Chooses whose leave the form applies for (call mode: the form's own
  // choice); refuses another user's without the right.
  bool Authenticate() override;
  void Generate() override;
  void InitDialog() override;
  bool CmOk() override;

  bool CallMode() const { return callMode_; }

 private:
  struct Offered {
    std::string email;
    std::string name;
  };
  // Call mode: the users this viewer may record a call for.
  std::vector<Offered> OfferedUsers(LKXUser& viewer) const;
  void WriteUserSelect(const std::vector<Offered>& users);
  // The applicant's balance and what the dates shown take.
  void WriteBalance();
  // Checks 1 to 5 of the dates; false with the message set.
  bool CheckDates(const std::string& user, const std::string& from, const std::string& to);

  bool callMode_ = false;
  std::vector<std::string> types_;
  LKXEntryOwner owner_;
};

void WLLeaveForm(LWebletForm& form);
