// Step 3 of the setup wizard: up to five first users. The rows are built in
// the browser by "wizard.js"; this page hands it the row count, the values
// posted before and the message of a refused row.

#include "web/pages/setup/setup_wizard_add_users.h"

#include <algorithm>
#include <string>
#include <vector>

#include "model/new_user.h"

#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/common/work_day_boxes.h"
#include "web/pages/setup/setup_steps.h"
#include "web/pages/setup/setup_wizard_dialog.h"
#include "web/pages/setup/setup_wizard_users.h"

namespace {

enum : int { kRowCountField = 90, kPlaceholder = 50, kAddMoreLink = 51 };
// The work days of the users added here: boxes 701 (Monday) to 707.
constexpr int kWorkDayField = 701;
// A message that belongs to no row is shown by the script above the rows.
constexpr int kGeneralMessageField = kPlaceholder;
constexpr int kNoInvalidField = -1;
constexpr int kRowFields[] = {kKXWizardEmailField, kKXWizardNameField, kKXWizardWorkTypeField,
                              kKXWizardWorkHoursField};

class LKXWizardAddUser : public LKXWizardDialog {
 public:
  explicit LKXWizardAddUser(LWebletForm& form) : LKXWizardDialog(form, "Setup Wizard: Step 3 of 3") {}

  void InitDialog() override {
    for (int i = 0; i < kKXWorkDayBoxes; ++i) SetCheck(kWorkDayField + i, (kKXNewUserWorkDays & KXWorkDayBit(i)) != 0);
  }

  void Generate() override {
    if (!WriteUnlessAllowed()) return;
    AddHtmlRow(
        "You now can setup the KavrixServer accounts for other users.<br>KavrixServer will "
        "automatically send a confirmation email to each new user with their logon password and "
        "details on how to start using it. ");
    AddStatic("You can add up to 5 users here and other users can be added later.");
    const int rows = ShownRows();
    AddHiddenField(kRowCountField, rows);
    AddDivHidden(kPlaceholder);
    WritePostedValues(rows);
    AddHyperLinkSpanRightSmall(kAddMoreLink, "javascript:addItem()", "Add More", false);
    // Without work days a user is never missed in the unexplained-absence
    // report; the office decides, Monday to Friday offered.
    std::string days = "Work days of these users:";
    for (int i = 0; i < kKXWorkDayBoxes; ++i) {
      days += "&nbsp; <label><input type=checkbox name=" + std::to_string(kWorkDayField + i) +
              (GetCheck(kWorkDayField + i) ? " checked>" : ">") + std::string(kKXWorkDayLabels[i]) + "</label>";
    }
    AddHtmlRow(days);
  }

  bool CmOk() override {
    if (!WizardUserAllowed()) return false;
    const std::vector<LKXWizardUserRow> rows = PostedRows();
    LKXWizardRowProblem problem;
    if (!KXCheckWizardUserRows(rows, problem)) return Refuse(problem);
    std::string primary;
    if (!KXFindPrimaryUser(primary)) {
      return Refuse({kGeneralMessageField, kKXWizardNoPrimaryMessage});
    }
    int workDays = 0;
    for (int i = 0; i < kKXWorkDayBoxes; ++i) {
      if (GetCheck(kWorkDayField + i)) workDays |= KXWorkDayBit(i);
    }
    if (!KXAddWizardUsers(rows, primary, workDays, problem)) return Refuse(problem);
    KXMarkSetupStepDone(kKXSetupStepAddUsers);
    return true;
  }

 private:
  bool Refuse(const LKXWizardRowProblem& problem) {
    problem_ = problem;
    return false;
  }

  std::vector<LKXWizardUserRow> PostedRows() const {
    std::vector<LKXWizardUserRow> rows(kKXWizardMaxUserRows);
    for (int i = 1; i <= kKXWizardMaxUserRows; ++i) {
      LKXWizardUserRow& row = rows[i - 1];
      GetTextAndTrim(kKXWizardEmailField + i, row.email);
      GetTextAndTrim(kKXWizardNameField + i, row.name);
      GetTextAndTrim(kKXWizardWorkTypeField + i, row.workType);
      GetTextAndTrim(kKXWizardWorkHoursField + i, row.workHours);
    }
    return rows;
  }

  // The posted count (4 at first), kept to 1..5, and never fewer than the
  // rows that hold something: a refused row must be on the page.
  int ShownRows() const {
    int rows = GetControlValueInt(kRowCountField);
    if (rows < 1) rows = kKXWizardFirstUserRows;
    rows = std::min(rows, kKXWizardMaxUserRows);
    for (int i = kKXWizardMaxUserRows; i > rows; --i) {
      for (const int base : kRowFields) {
        if (!GetControlValue(base + i).empty()) rows = i;
      }
    }
    return rows;
  }

  // The values typed before, in inputs without a name: the script fills the
  // rows from them, and the browser does not post them a second time.
  void WritePostedValues(int rows) {
    StartRow(-1, 1);
    for (int i = 1; i <= rows; ++i) {
      for (const int base : kRowFields) {
        const std::string value = GetControlValue(base + i);
        if (!value.empty()) wfformat(Form(), "<input type=hidden id=wv%d value=\"%H\">", base + i, value);
      }
    }
    WLSendRaw(Form(), "<script type=\"text/javascript\" src=\"wizard.js\"></script>");
    // The message is always one of the fixed texts of setup_wizard_users.h,
    // none of which holds a quote, a backslash or markup; nothing a user
    // typed ever goes into this script.
    wfformat(Form(), "<script type=\"text/javascript\">window.onload=function(){start('%d','%s');}</script>",
             problem_.field, problem_.message);
    WLSendRaw(Form(), "</td></tr>");
  }

  LKXWizardRowProblem problem_{kNoInvalidField, ""};
};

}  // namespace

void WLWizardAddUser(LWebletForm& form) {
  KXWizardSetTargets(form, "wizardfinish", "wizardkavrixusage");
  LKXWizardAddUser page(form);
  page.Run();
}
