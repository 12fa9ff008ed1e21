#pragma once
// "userdetail": adding a user, and viewing or editing one. Administrators
// edit; accountants, the user's managers and the user see a read-only form.
// The "Add to a Team" and "Add a Manager" buttons keep the form in the
// session ("fd..." values) while the picker is open, so nothing typed is
// lost on the way there and back.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/user.h"
#include "web/pages/users/user_detail_controls.h"
#include "web/panel/kx_web_dialog.h"

void WLUserDetailPage(LWebletForm& form);

class LKXUserDetailPage : public LKXWebDialog {
 public:
  explicit LKXUserDetailPage(LWebletForm& form);

  bool Authenticate() override;
  void InitDialog() override;
  void Generate() override;
  bool CmOk() override;

  // A new API token to show once, or what became of the token buttons.
  void ShowApiToken(std::string token, std::string notice) {
    apiToken_ = std::move(token);
    apiTokenNotice_ = std::move(notice);
  }

  bool IsNew() const { return new_; }
  bool IsReadOnly() const { return readOnly_; }

 private:
  // What OK stores under one key of the record, as text.
  struct RecordValue {
    const LKXUserKey* key;
    std::string text;
  };
  // What the form showed for a stored record.
  struct ShownForm {
    std::vector<RecordValue> values;
    std::vector<std::string> teams;
    std::vector<std::string> managers;
    bool administrator = false;
  };

  void InitFromRecord(LKXUser& user);
  void InitForNewUser();
  std::vector<std::string> ListItems(int id) const;
  // The record's values as the controls now stand ("AccessAdmin" apart).
  std::vector<RecordValue> RecordValues() const;
  // The controls as InitFromRecord set them for `user`; the posted ones are
  // put back after.
  ShownForm ShownFor(LKXUser& user);
  void AddEmploymentBox();
  void AddLeaveBox();
  void AddOtherInfoBox();
  bool CheckAndSave();
  bool Refuse(int id, std::string_view message);
  bool CheckIdentity(const std::string& email, const std::string& name);
  bool CheckLists(const std::string& email, const ShownForm& shown);
  bool StoreUserAndRole(const std::string& email, const std::string& name, const std::vector<RecordValue>& values,
                        bool admin, const ShownForm& shown);
  bool SaveRecordValues(const std::string& email, const std::vector<RecordValue>& values, const ShownForm& shown,
                        const std::string& allowance, int carryOver);
  // The leave fields, which HR may change on an otherwise read-only form.
  bool CheckLeaveFields(std::string& allowance, int& carryOver);
  bool SaveLeaveFields(LKXUser& user, const std::string& allowance, int carryOver);

  bool new_ = false;
  bool readOnly_ = false;
  bool leaveEditable_ = false;
  bool restored_ = false;  // the controls hold a form kept while a picker was open
  std::string selected_;  // the session's "seluser"
  std::string apiToken_;
  std::string apiTokenNotice_;
};

inline constexpr char kKXAddToTeamButton[] = "Add to a Team";
// The field that brings the browser back from a picker to the kept form.
inline constexpr char kKXDetailReturning[] = "returning";
inline constexpr char kKXDetailNotSavedYet[] = "These changes are not saved yet: press OK to save them.";
inline constexpr char kKXAddManagerButton[] = "Add a Manager";


inline constexpr char kKXDetailNoCurrentUser[] = "Can not find current user!";
inline constexpr char kKXDetailOnlyAdminAdds[] = "Only system administrator users can add users!";
inline constexpr char kKXDetailNoUserSelected[] = "No user selected!";
inline constexpr char kKXDetailNoSuchUser[] = "The User selected does not exist!";
inline constexpr char kKXDetailNotAllowed[] =
    "Only managers, administrators or HR staff can view the detail of this user!";
inline constexpr char kKXDetailEnterEmail[] = "Please enter employee's email address.";
inline constexpr char kKXDetailInvalidEmail[] = "This email address is invalid. Please reenter";
inline constexpr char kKXDetailEnterName[] = "Please enter employee's name.";
inline constexpr char kKXDetailEmailExists[] = "This Email address already exists. Please choose another one.";
inline constexpr char kKXDetailManagerSelf[] = "The manager can not be yourself.";
inline constexpr char kKXDetailAddFailed[] = "User Adding Failed! Please try again.";
inline constexpr char kKXDetailLastAdministrator[] =
    "This is the only administrator: nobody would be left to manage the users. Make another user an "
    "administrator first.";
inline constexpr char kKXDetailNotStored[] = "The user details could not be stored. Please try again.";
inline constexpr char kKXDetailBadLeaveDays[] =
    "Please enter whole days from 0 to 366, or leave the allowance empty for the default.";
std::string KXDetailNoTeam(const std::string& team);
std::string KXDetailNoManager(const std::string& manager);
