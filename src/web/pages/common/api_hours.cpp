#include "web/pages/common/api_hours.h"

#include "hours/required_minutes.h"
#include "hours/time_period_list.h"
#include "hours/work_hours.h"
#include "model/leave_log.h"
#include "model/users.h"
#include "web/http/weblet_form.h"
#include "web/pages/common/api_subjects.h"
#include "web/panel/api_access.h"
#include "web/text/json_writer.h"

namespace {

struct DayMinutes {
  std::int64_t worked = 0, breaks = 0, manual = 0, privateTime = 0, required = 0;
};

void WriteMinutes(LJsonWriter& json, const DayMinutes& m, bool hasRequired) {
  json.Member("worked", m.worked);
  json.Key("required");
  if (hasRequired) {
    json.Int(m.required);
  } else {
    json.Null();
  }
  json.Member("breaks", m.breaks).Member("manual", m.manual).Member("private", m.privateTime);
}

// The first day of a call: the text must be a real "YYYY-MM-DD".
bool ReadDay(const std::string& text, LDateTime& day) {
  return KXIsDateText(text) && day.SetDateTime(text, "00:00:00");
}

}  // namespace

std::string KXApiHoursJson(const std::vector<std::string>& emails, LDateTime from, LDateTime to) {
  LJsonWriter json;
  json.BeginObject().Member("from", from.GetDateText()).Member("to", to.GetDateText()).Key("users").BeginArray();
  LTimePeriodList list;
  for (const std::string& email : emails) {
    LKXUser user;
    if (!KXGetUser(email, user)) continue;
    // Only staff with fixed work days owe minutes day by day; casual staff
    // owe none and flexible days only a weekly sum.
    const bool hasRequired = !user.IsCasual() && !user.GetWorkDays().IsEmpty();
    json.BeginObject().Member("email", email).Member("name", user.GetName()).Key("days").BeginArray();
    DayMinutes total;
    for (LDateTime day = from; day <= to;) {
      LWorkHoursData data;
      data.last_end = kKXSecondsPerDay;
      LKXReport::LKXCalculateHours(list, user, email, day, data);
      DayMinutes m;
      m.worked = data.total_mins;
      m.breaks = data.break_mins;
      m.manual = data.manual_mins;
      m.privateTime = data.private_mins;
      if (hasRequired) m.required = LKXRequiredWorkMinutes(user, day, day);
      json.BeginObject().Member("date", day.GetDateText());
      WriteMinutes(json, m, hasRequired);
      json.EndObject();
      total.worked += m.worked;
      total.breaks += m.breaks;
      total.manual += m.manual;
      total.privateTime += m.privateTime;
      total.required += m.required;
      if (!day.AddCalendarDays(1)) break;
    }
    json.EndArray().Key("total").BeginObject();
    WriteMinutes(json, total, hasRequired);
    json.EndObject().EndObject();
  }
  json.EndArray().EndObject();
  return json.Text();
}

void WLApiHours(LWebletForm& form) {
  LKXUser viewer;
  if (!WLRequireApiToken(form, viewer)) return;
  const std::string user = form.Params().GetParm("user");
  const std::string fromText = form.Params().GetParm("from");
  std::string toText = form.Params().GetParm("to");
  if (toText.empty()) toText = fromText;
  WLAuditApiCall(form, viewer, user, "hours " + fromText + " " + toText);
  LDateTime from, to;
  if (!ReadDay(fromText, from)) {
    WLSendApiError(form, 400, "Parameter from: please give a date in the format YYYY-MM-DD.", "from");
    return;
  }
  if (!ReadDay(toText, to)) {
    WLSendApiError(form, 400, "Parameter to: please give a date in the format YYYY-MM-DD.", "to");
    return;
  }
  if (to < from) {
    WLSendApiError(form, 400, "Parameter to: the end date can not be before the start date.", "to");
    return;
  }
  LDateTime last = from;
  if (!last.AddCalendarDays(kKXApiMaxRangeDays - 1) || to > last) {
    WLSendApiError(form, 400, "Parameter to: the range can not be longer than 366 days.", "to");
    return;
  }
  std::vector<std::string> emails;
  if (!WLApiSubjects(form, viewer, user, emails)) return;
  WLSendJson(form, 200, KXApiHoursJson(emails, from, to));
}
