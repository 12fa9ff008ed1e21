#include "web/pages/common/api_leave.h"

#include <cstdlib>

#include "model/leave_log.h"
#include "model/org_settings.h"
#include "model/users.h"
#include "web/http/weblet_form.h"
#include "web/pages/common/api_subjects.h"
#include "web/pages/leave/leave_pages_common.h"
#include "web/panel/api_access.h"
#include "web/text/json_writer.h"

namespace {

const char* StateName(const LKXLeaveRecord& record) {
  if (record.IsApproved()) return "approved";
  if (record.IsDisapproved()) return "disapproved";
  return "pending";
}

}  // namespace

std::string KXApiLeaveJson(const std::vector<std::string>& emails, const std::string& year) {
  const LKXHolidayCalendar holidays;
  LJsonWriter json;
  json.BeginObject().Member("year", std::atoi(year.c_str())).Key("users").BeginArray();
  for (const std::string& email : emails) {
    LKXUser user;
    if (!KXGetUser(email, user)) continue;
    json.BeginObject().Member("email", email).Member("name", user.GetName()).Key("records").BeginArray();
    for (const LKXLeaveRecord& record : KXReadLeaveLog(email, year)) {
      json.BeginObject()
          .Member("type", record.type)
          .Member("start", record.start)
          .Member("end", record.end)
          .Member("days", CalculateHolidaysTaken(record.start, record.end, holidays))
          .Member("state", StateName(record))
          .EndObject();
    }
    json.EndArray().EndObject();
  }
  json.EndArray().EndObject();
  return json.Text();
}

void WLApiLeave(LWebletForm& form) {
  LKXUser viewer;
  if (!WLRequireApiToken(form, viewer)) return;
  const std::string user = form.Params().GetParm("user");
  std::string year = form.Params().GetParm("year");
  if (year.empty()) year = KXCurrentYearText();
  WLAuditApiCall(form, viewer, user, "leave " + year);
  if (!KXIsYearText(year)) {
    WLSendApiError(form, 400, "Parameter year: please give a year in the format YYYY.", "year");
    return;
  }
  if (!KXOrgGetBool(LKXOrg::kModeLeave)) {
    WLSendApiError(form, 403, kLLeaveDisabledText);
    return;
  }
  std::vector<std::string> emails;
  if (!WLApiSubjects(form, viewer, user, emails)) return;
  WLSendJson(form, 200, KXApiLeaveJson(emails, year));
}
