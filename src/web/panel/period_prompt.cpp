#include "web/panel/period_prompt.h"

#include <cstdio>

#include "foundation/date_time.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/date_range_select.h"
#include "web/panel/kx_web_dialog.h"

namespace {

// The longest range a report may cover, in calendar days.
constexpr long kMaxRangeDays = 365;

// Days since 1970-01-01 of a valid "YYYY-MM-DD" (civil calendar), so that
// ranges are counted in calendar days whatever the daylight-saving shifts
// between the two dates.
bool DayNumber(const std::string& text, long& days) {
  int y = 0, m = 0, d = 0;
  if (text.empty() || !LDateTime::ValidateDateYYYYHMMHDD(text)) return false;
  if (std::sscanf(text.c_str(), "%d-%d-%d", &y, &m, &d) != 3) return false;
  LDateTime check;
  if (!check.SetDateTime(text, "12:00:00")) return false;
  y -= m <= 2 ? 1 : 0;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  days = era * 146097 + doe - 719468;
  return true;
}

bool ValidTime(const std::string& text) {
  return !text.empty() && LDayTime::ValidateDateHHCMMCSS(text);
}

class LPeriodDialog : public LKXWebDialog {
 public:
  LPeriodDialog(LWebletForm& form, std::string_view title, bool withEndDate, bool withTimes)
      : LKXWebDialog(form, "timeperiod", title, 0),
        withEndDate_(withEndDate),
        withTimes_(withTimes) {}

  void InitDialog() override {
    const std::string today = LDateTime::Now().GetDateText();
    SetText(kLPeriodStartDate, today);
    if (withEndDate_) SetText(kLPeriodEndDate, today);
    if (withTimes_) {
      SetText(kLPeriodStartTime, "00:00:00");
      SetText(kLPeriodEndTime, "23:59:59");
    }
  }

  void Generate() override {
    AddStatic("Please select time range.");
    AddDateInput(kLPeriodStartDate, withEndDate_ ? "Start Date:" : "Date:", 10);
    if (withEndDate_) {
      AddDateInput(kLPeriodEndDate, "End Date:", 10);
      StartRow(kLPeriodDateRange, 0);
      wfformat(Form(), "Date Range:</td><td>%s</td></tr>",
               LDateRangeSelectHtml(std::to_string(kLPeriodDateRange)));
      AddJScript(LDateRangeScript(std::to_string(kLPeriodStartDate),
                                  std::to_string(kLPeriodEndDate)));
    }
    if (withTimes_) {
      AddTimeInput(kLPeriodStartTime, "Start Time:", 8);
      AddTimeInput(kLPeriodEndTime, "End Time:", 8);
    }
  }

  bool CmOk() override {
    std::string start, end, startTime, endTime;
    GetTextAndTrim(kLPeriodStartDate, start);
    long startDay = 0, endDay = 0;
    if (!DayNumber(start, startDay)) return Refuse(kLPeriodStartDate, kLPeriodDateMessage);
    if (withEndDate_) {
      GetTextAndTrim(kLPeriodEndDate, end);
      // An end that is no date is named as such, not as one before the start.
      if (!DayNumber(end, endDay)) return Refuse(kLPeriodEndDate, kLPeriodDateMessage);
      if (endDay < startDay) return Refuse(kLPeriodEndDate, kLPeriodEndBeforeStart);
      if (endDay - startDay > kMaxRangeDays) return Refuse(kLPeriodEndDate, kLPeriodTooLong);
    }
    if (withTimes_) {
      GetTextAndTrim(kLPeriodStartTime, startTime);
      GetTextAndTrim(kLPeriodEndTime, endTime);
      if (!ValidTime(startTime) || !ValidTime(endTime)) {
        return Refuse(kLPeriodStartTime, kLPeriodTimeMessage);
      }
      LDayTime from, to;
      from.SetText(startTime);
      to.SetText(endTime);
      if (to < from) return Refuse(kLPeriodEndTime, kLPeriodTimeEndBeforeStart);
    }
    LWebletSessionData& session = Form().Session();
    session.SetParm("date", start);
    if (withEndDate_) session.SetParm("enddate", end);
    if (withTimes_) {
      session.SetParm("starttime", startTime);
      session.SetParm("endtime", endTime);
    }
    return true;
  }

 private:
  bool Refuse(int id, const char* message) {
    PopupControlDataInvalid(id, message);
    return false;
  }

  bool withEndDate_;
  bool withTimes_;
};

}  // namespace

bool LWebPromptDateTimePeriod(LWebletForm& form, std::string_view returnPage,
                              std::string_view title, bool withEndDate, bool withTimes) {
  LHashTable& params = form.Params();
  if (*params.GetParm("oncancel") == '\0' && !returnPage.empty()) {
    params.SetParm("oncancel", returnPage);
  }
  LPeriodDialog dialog(form, title, withEndDate, withTimes);
  return dialog.RunInForm();
}
