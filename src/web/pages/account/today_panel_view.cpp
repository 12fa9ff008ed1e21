// The "Today" panel written out: HTML for the main page, JSON for its
// refresh (webroot/today.js builds the same rows from it).

#include "web/pages/account/today_panel_view.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/users.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/account/today_panel.h"
#include "web/panel/api_access.h"
#include "web/panel/current_user.h"
#include "web/text/json_writer.h"
#include "web/text/uri_codec.h"

namespace {

inline constexpr char kNoSession[] = "Your session is expired. Please log on again.";

std::string HoursText(std::int32_t minutes) {
  char text[24];
  std::snprintf(text, sizeof text, "%s%d:%02d", minutes < 0 ? "-" : "", std::abs(minutes) / 60,
                std::abs(minutes) % 60);
  return text;
}

std::string ClockText(LDateTime moment) { return moment.IsSet() ? moment.GetTimeText().substr(0, 5) : ""; }

// The week's worked hours against the required ones: a bar that fills up to
// the required hours, then the figures.
void WriteWeekBar(LWebletForm& form, std::int32_t worked, const std::optional<std::int32_t>& required) {
  if (!required) {
    wfformat(form, "%s", HoursText(worked));
    return;
  }
  const int width = *required <= 0 ? 100 : static_cast<int>(std::min<std::int64_t>(100, worked * 100LL / *required));
  wfformat(form,
           "<svg class=todaybar width=100 height=10 viewBox=\"0 0 100 10\" role=img aria-label=\"%s of %s\">"
           "<rect width=100 height=10 fill=\"#dde\"/><rect width=%d height=10 fill=\"%s\"/></svg> %s of %s",
           HoursText(worked), HoursText(*required), width, worked >= *required ? "#1E9000" : "#3366cc",
           HoursText(worked), HoursText(*required));
}

void WriteOwn(LWebletForm& form, const LKXToday& today) {
  wfformat(form, "<p class=todayown>My hours today: <b>%s</b><br>This week: ", HoursText(today.todayMinutes));
  WriteWeekBar(form, today.weekMinutes, today.weekRequired);
  wfformat(form, "<br>My pending leave requests: %d", today.pending);
  if (today.nextLeave) {
    wfformat(form, "<br>My next leave: %H to %H (%H)", today.nextLeave->start, today.nextLeave->end,
             today.nextLeave->type);
  }
  WLSendRaw(form, "</p>");
}

void WriteStaff(LWebletForm& form, const LKXToday& today) {
  if (today.staffPending || today.staffUnexplained) {
    WLSendRaw(form, "<p class=todaycounts>");
    if (today.staffPending) {
      wfformat(form, "<a href=\"pendingleaverequests?direct=true\">Leave requests to approve: %d</a>", *today.staffPending);
    }
    if (today.staffPending && today.staffUnexplained) WLSendRaw(form, "<br>");
    if (today.staffUnexplained) {
      wfformat(form, "<a href=\"unexplainedabsence?direct=true\">Unexplained absent days last week: %d</a>",
               *today.staffUnexplained);
    }
    WLSendRaw(form, "</p>");
  }
  WLSendRaw(form,
            "<div class=todayscroll><table class=todaystaff><thead><tr><th>Name</th><th>State</th><th>Since</th>"
            "<th>Today</th><th>This week</th><th>Now using</th></tr></thead><tbody>");
  for (const LKXTodayRow& row : today.staff) {
    std::string state = KXTodayStateLabel(row.state);
    if (!row.leaveType.empty()) state += " (" + row.leaveType + ")";
    wfformat(form, "<tr class=\"today-%s\"><td><a href=\"timesheet?seluser=%s\">%H</a></td><td>%H</td><td>%s</td>",
             row.state, LHrefValue(row.email), row.name.empty() ? row.email : row.name, state, ClockText(row.since));
    wfformat(form, "<td>%s</td><td>", HoursText(row.todayMinutes));
    WriteWeekBar(form, row.weekMinutes, row.weekRequired);
    std::string using_ = row.application;
    if (!row.caption.empty()) using_ += (using_.empty() ? "" : ": ") + row.caption;
    wfformat(form, "</td><td>%H</td></tr>", using_);
  }
  WLSendRaw(form, "</tbody></table></div>");
}

void WriteRequired(LJsonWriter& json, const std::optional<std::int32_t>& required) {
  json.Key("weekRequired");
  if (required) {
    json.Int(*required);
  } else {
    json.Null();
  }
}

}  // namespace

void WLWriteTodayPanel(LWebletForm& form, const LKXToday& today) {
  wfformat(form,
           "<link rel=stylesheet href=\"today.css\"><div id=today class=today><h3>Today, %H</h3><div id=todaybody>",
           today.date);
  WriteOwn(form, today);
  if (today.staffView) WriteStaff(form, today);
  // Without script the panel stays as it was loaded.
  WLSendRaw(form, "</div></div><script src=\"today.js\"></script>");
}

std::string KXTodayJson(const LKXToday& today) {
  LJsonWriter json;
  json.BeginObject().Member("date", today.date).Member("email", today.email);
  json.Key("own").BeginObject().Member("todayMinutes", today.todayMinutes).Member("weekMinutes", today.weekMinutes);
  WriteRequired(json, today.weekRequired);
  json.Member("pending", today.pending).Key("nextLeave");
  if (today.nextLeave) {
    json.BeginObject()
        .Member("start", today.nextLeave->start)
        .Member("end", today.nextLeave->end)
        .Member("type", today.nextLeave->type)
        .EndObject();
  } else {
    json.Null();
  }
  json.EndObject();
  if (today.staffView) {
    if (today.staffPending) json.Member("staffPending", *today.staffPending);
    if (today.staffUnexplained) json.Member("staffUnexplained", *today.staffUnexplained);
    json.Key("staff").BeginArray();
    for (const LKXTodayRow& row : today.staff) {
      json.BeginObject().Member("email", row.email).Member("name", row.name).Member("state", row.state);
      json.Member("label", KXTodayStateLabel(row.state)).Member("since", ClockText(row.since));
      if (!row.leaveType.empty()) json.Member("leaveType", row.leaveType);
      json.Member("todayMinutes", row.todayMinutes).Member("weekMinutes", row.weekMinutes);
      WriteRequired(json, row.weekRequired);
      if (!row.application.empty()) json.Member("application", row.application);
      if (!row.caption.empty()) json.Member("caption", row.caption);
      json.EndObject();
    }
    json.EndArray();
  }
  json.EndObject();
  return json.Text();
}

void WLTodayJson(LWebletForm& form) {
  LKXUser viewer;
  if (!form.Session().IsValid() || !KXGetCurrentUser(form, viewer)) {
    WLSendApiError(form, 403, kNoSession);
    return;
  }
  WLSendJson(form, 200, KXTodayJson(KXReadToday(viewer, LDateTime::Now())));
}
