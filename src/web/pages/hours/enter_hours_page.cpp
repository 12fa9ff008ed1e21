#include "web/pages/hours/enter_hours_page.h"

#include <string>
#include <vector>

#include "foundation/log.h"
#include "model/core_data.h"
#include "web/http/weblet_form.h"
#include "web/pages/common/dialog_defaults.h"
#include "web/pages/common/entry_confirmations.h"
#include "web/pages/hours/manual_hours_page.h"
#include "web/pages/hours/manual_page_support.h"
#include "web/panel/confirmation_line.h"
#include "web/panel/current_user.h"

namespace {

constexpr int kDateId = 101;
constexpr int kStartId = 102;
constexpr int kEndId = 103;
constexpr int kCommentId = 104;
constexpr int kWorkTypeId = 105;

constexpr int kMaxEntrySeconds = 43200;          // 12 hours
constexpr int kMaxAgeSeconds = 17280000;         // 200 days
constexpr int kCommentWidth = 35;
constexpr char kTitle[] = "Enter Manual Time Sheet Entry";

const LWebToolTip kToolTips[] = {
    {kWorkTypeId, "Select 'Private' if you were doing personal stuff."},
    {kCommentId, "Reasons for this manual work time entry"},
};

// The form's times, "HH:MM" or "HH:MM:SS" on the 24 hour clock.
bool ReadTime(const std::string& text, LDayTime& out) {
  if (!LDayTime::ValidateDateHHCMMCSS(text)) return false;
  out.SetText(text);
  return true;
}

}  // namespace

LKXEnterHoursPage::LKXEnterHoursPage(LWebletForm& form)
    : LKXWebDialog(form, "enterhours", kTitle, 0) {
  AddTools(kToolTips, static_cast<int>(std::size(kToolTips)));
}

bool LKXEnterHoursPage::Authenticate() {
  if (!WLChooseEntryOwner(Form(), Form().Params().GetParm("seluser"), kKXManualManagerOnly, owner_)) return false;
  SetTitle(KXEntryOwnerTitle(kTitle, owner_));
  return true;
}

void LKXEnterHoursPage::InitDialog() {
  const LDateTime now = LDateTime::Now();
  SetText(kDateId, now.GetDateText());
  SetText(kStartId, now.GetTimeText());
  SetText(kEndId, now.GetTimeText());
  if (std::string_view(Form().Params().GetParm("onok")) == "viewmanual") Form().Session().SetParm("direct", "true");
}

void LKXEnterHoursPage::Generate() {
  AddTimeInput(kStartId, "Start Time:", 10);
  AddTimeInput(kEndId, "End Time:", 10);
  AddDateInput(kDateId, "Date:", 10);
  AddPullDownList(kWorkTypeId, "Work Type: ", {"Working", "Private"});
  AddInput(kCommentId, "Comment: ", kCommentWidth);
  AddStatic("Notice: The time here should be your local PC time.");
  if (owner_.other) AddHiddenField("seluser", owner_.email);
}

bool LKXEnterHoursPage::CmOk() {
  std::string dateText, startText, endText, comment;
  GetTextAndTrim(kDateId, dateText);
  GetTextAndTrim(kStartId, startText);
  GetTextAndTrim(kEndId, endText);
  GetText(kCommentId, comment);
  LDateTime day;
  if (!KXReadReportDate(dateText, "00:00:00", day)) {
    PopupControlDataInvalid(kDateId, kKXEnterHoursBadDate);
    return false;
  }
  LDayTime start, end;
  if (!ReadTime(startText, start)) {
    PopupControlDataInvalid(kStartId, kKXEnterHoursBadTime);
    return false;
  }
  if (!ReadTime(endText, end)) {
    PopupControlDataInvalid(kEndId, kKXEnterHoursBadTime);
    return false;
  }
  const int duration = end.value - start.value;
  if (duration <= 0) {
    PopupControlDataInvalid(kStartId, kKXEnterHoursStartAfterEnd);
    return false;
  }
  if (duration > kMaxEntrySeconds) {
    PopupControlDataInvalid(kEndId, kKXEnterHoursOverTwelve);
    return false;
  }
  LDateTime startMoment = day;
  if (!startMoment.SetDayTime(start)) {
    PopupControlDataInvalid(kDateId, kKXEnterHoursBadDate);
    return false;
  }
  const LDateTime now = LDateTime::Now();
  if (static_cast<long>(startMoment.value) < static_cast<long>(now.value) - kMaxAgeSeconds) {
    PopupControlDataInvalid(kDateId, kKXEnterHoursTooOld);
    return false;
  }
  if (static_cast<long>(startMoment.value) + duration > now.value) {
    PopupControlDataInvalid(kDateId, kKXEnterHoursFuture);
    return false;
  }
  if (owner_.email.empty()) {
    PopupControlDataInvalid(kDateId, kKXCurrentUserNotFound);
    return false;
  }
  // The work type posts as "<index>$<text>"; index 0 is "Working".
  const bool isPrivate = GetControlValueInt(kWorkTypeId) != 0;
  static_cast<void>(LKXCoreData::LogManualEntry(owner_.email, startMoment, duration, isPrivate ? 1 : 0, comment));
  if (owner_.other) {
    LOG("Manual entry of " + std::to_string(duration) + " seconds at " + dateText + " " + start.GetText() +
        " for " + owner_.email + KXEnteredByNote(owner_));
  }
  WLSetConfirmation(Form(), KXManualEntrySavedText(duration, day.GetDateText(), owner_));
  return true;
}

void WLEnterHoursPage(LWebletForm& form) {
  WLDefaultDialogTargets(form, "viewmanual", "viewmanual");
  // Whose entry it is, and whether the viewer may make it, the dialog
  // decides on every request.
  LKXEnterHoursPage(form).Run();
}
