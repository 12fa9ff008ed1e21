#include "web/pages/common/api_users.h"

#include "hours/required_minutes.h"
#include "model/registry_text.h"
#include "model/users.h"
#include "web/http/weblet_form.h"
#include "web/pages/common/api_subjects.h"
#include "web/panel/api_access.h"
#include "web/text/json_writer.h"

namespace {

constexpr const char* kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

void StringArray(LJsonWriter& json, std::string_view key, const std::vector<std::string>& items) {
  json.Key(key).BeginArray();
  for (const std::string& item : items) json.String(item);
  json.EndArray();
}

const char* WorkTypeName(int type) {
  if (type == kKXWorkTypeCasual) return "casual";
  if (type == kKXWorkTypePermanent) return "permanent";
  return "default";
}

}  // namespace

void WLApiUsers(LWebletForm& form) {
  LKXUser viewer;
  if (!WLRequireApiToken(form, viewer)) return;
  WLAuditApiCall(form, viewer, "", "users");
  std::vector<std::string> emails;
  if (!WLApiSubjects(form, viewer, "", emails)) return;
  LJsonWriter json;
  json.BeginObject().Key("users").BeginArray();
  for (const std::string& email : emails) {
    LKXUser user;
    if (!KXGetUser(email, user)) continue;
    json.BeginObject().Member("email", email).Member("name", user.GetName());
    StringArray(json, "teams", KXCommaListItems(user.GetText(kKXUserTeam)));
    StringArray(json, "managers", KXCommaListItems(user.GetText(kKXUserManager)));
    json.Member("administrator", user.IsAdministrator()).Member("hr", user.IsAccountant());
    json.Member("workType", WorkTypeName(user.GetNumber(kKXUserWorkType)));
    json.Member("weeklyMinutes", static_cast<std::int64_t>(LKXWeeklyWorkMinutes(user)));
    // Monday first; empty for flexible days.
    json.Key("workDays").BeginArray();
    const LWeekDay days = user.GetWorkDays();
    for (int i = 1; i <= 7; ++i) {
      if (days.ContainsIndex(i % 7)) json.String(kDayNames[i % 7]);
    }
    json.EndArray().EndObject();
  }
  json.EndArray().EndObject();
  WLSendJson(form, 200, json.Text());
}
