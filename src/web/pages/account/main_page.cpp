#include "web/pages/account/main_page.h"
#include "web/pages/account/today_panel_view.h"

#include <string>
#include <string_view>
#include <vector>

#include "foundation/date_time.h"
#include "foundation/settings_sections.h"
#include "model/org_settings.h"
#include "model/users.h"
#include "web/http/weblet_send.h"
#include "web/pages/account/station_installer.h"
#include "web/pages/account/today_panel.h"
#include "web/pages/setup/setup_steps.h"
#include "web/panel/current_user.h"
#include "web/panel/standard_header.h"
#include "web/text/uri_codec.h"

namespace {

// What decides the page's content, read once per request.
struct MainPageView {
  std::string email;
  bool administrator = false;
  bool accountant = false;
  bool manager = false;
  bool modeQA = false;
  bool modeHours = false;
  bool modeLeave = false;
};

bool ReadView(LWebletForm& form, MainPageView& view) {
  LKXUser user;
  if (!KXGetCurrentUser(form, user)) return false;
  view.email = form.Session().GetParm("user");
  view.administrator = user.IsAdministrator();
  view.accountant = user.IsAccountant();
  view.manager = KXIsManager(user);
  view.modeQA = KXOrgGetBool(LKXOrg::kModeQA);
  view.modeHours = KXOrgGetBool(LKXOrg::kModeHours);
  view.modeLeave = KXOrgGetBool(LKXOrg::kModeLeave);
  return true;
}

// One entry of a list. `url` is built here from constants and encoded
// values, so it goes in as it is.
void Item(LWebletForm& form, std::string_view url, std::string_view text) {
  wfformat(form, "<li><a href=\"%s\" style=\"text-decoration:none\">%s</a></li>", url, text);
}

// A heading item that holds a sub-list; the caller closes it with EndSubList.
void BeginSubList(LWebletForm& form, std::string_view heading) {
  wfformat(form, "<li>%s<ul>", heading);
}
void EndSubList(LWebletForm& form) { WLSendRaw(form, "</ul></li>"); }

bool RoutingDue() {
  if (!KXOrgGetBool(LKXOrg::kConnectRemote)) return false;
  const std::string wizardRun = LSettingGetString("Routing", "WizardRun");
  return wizardRun.empty() || wizardRun[0] == '0';
}

bool SmtpDue() {
  const std::string useSmtpHost = LSettingGetString("Email", "UseSMTPHost");
  return !useSmtpHost.empty() && useSmtpHost[0] == '0';
}

// The wizard steps an interrupted setup left; each link goes on through the
// wizard from there.
void WriteSetupSteps(LWebletForm& form) {
  const std::vector<LKXSetupStep> steps = KXSetupStepsToDo();
  if (steps.empty()) return;
  WLSendRaw(form, "<h3>Finish the setup</h3><ul>");
  for (const LKXSetupStep& step : steps) Item(form, step.path, step.text);
  WLSendRaw(form, "</ul>");
}

void WriteToDoList(LWebletForm& form) {
  const bool routing = RoutingDue();
  const bool smtp = SmtpDue();
  if (!routing && !smtp) return;
  WLSendRaw(form, "<h3>My To-Do List</h3><ul>");
  if (routing) Item(form, "routing", "Setup Routing for Outside Connections");
  if (smtp) Item(form, "wizardsmtpsetting?onok=mainpage&oncancel=mainpage", "Enter SMTP server for email");
  WLSendRaw(form, "</ul>");
}

void WriteMyStaff(LWebletForm& form, const MainPageView& view) {
  if (!view.accountant && !view.manager) return;
  if (!view.modeQA && !view.modeHours && !view.modeLeave) return;
  WLSendRaw(form, "<h3>My Staff</h3><ul>");
  if (view.modeHours) Item(form, "userlist?category=viewhours", "View staff hours totals");
  if (view.modeQA) {
    BeginSubList(form, "View activity reports");
    Item(form, "viewscreens?direct=true", "Screenshots");
    Item(form, "userlist?category=viewappusage", "Application usage");
    Item(form, "timesheet", "Time sheet");
    Item(form, "viewactivity?direct=true", "Detailed activity");
    EndSubList(form);
  }
  if (view.modeHours) Item(form, "viewmanual?edit=false", "Manage staff manual hours");
  if (view.modeLeave) {
    Item(form, "leavereport?edit=false", "Manage staff leave report");
    BeginSubList(form, "Additional manager reports");
    Item(form, "unexplainedabsence?direct=true", "Unexplained absence report");
    if (KXOrgGetBool(LKXOrg::kLeaveApprovalRequired)) {
      Item(form, "pendingleaverequests?direct=true", "Pending leave requests");
    }
    EndSubList(form);
  }
  WLSendRaw(form, "</ul>");
}

// The user's own sections. The address goes into the links URI-encoded: it
// is the user's own typing, and an "&" or "#" in it must not change which
// fields the link carries.
void WriteOwnSections(LWebletForm& form, const MainPageView& view) {
  const std::string user = LHrefValue(view.email);
  if (view.modeHours) {
    WLSendRaw(form, "<h3>My Time Sheet</h3><ul>");
    Item(form, "viewhours?seluser=" + user + "&onok=mainpage&oncancel=mainpage", "View my hours worked");
    Item(form, "enterhours?onok=mainpage&oncancel=mainpage", "Add a time sheet entry");
    Item(form, "viewmanual?seluser=" + user + "&edit=true&direct=false&onok=mainpage&oncancel=mainpage",
         "Edit time sheet entries");
    WLSendRaw(form, "</ul>");
  }
  if (view.modeLeave) {
    const std::string year = LDateTime::Now().GetDateText().substr(0, 4);
    WLSendRaw(form, "<h3>My Leave</h3><ul>");
    Item(form, "leavereport?seluser=" + user + "&year=" + year + "&edit=false&oncancel=mainpage",
         "View leave taken");
    Item(form, "leaveform?onok=mainpage&oncancel=mainpage", "Add a leave entry");
    Item(form, "leaveform?leavecall=true&onok=mainpage&oncancel=mainpage",
         "Sick leave call received for other team member");
    Item(form, "teamcalendar", "Team leave calendar");
    WLSendRaw(form, "</ul>");
  }
  WLSendRaw(form, "<h3>My Details</h3><ul>");
  Item(form, "userdetail?seluser=" + user + "&onok=mainpage&oncancel=mainpage", "View my details");
  Item(form, "changepassword?onok=mainpage&oncancel=mainpage", "Change my password");
  Item(form, "changeemail?seluser=" + user + "&onok=logout&oncancel=mainpage", "Change my email address");
  Item(form, "myaudit", "Who looked at my data");
  WLSendRaw(form, "</ul>");
}

void WriteAdministration(LWebletForm& form) {
  WLSendRaw(form, "<h3>Administrative Options</h3><ul>");
  Item(form, "userdetail?onok=mainpage&oncancel=mainpage&seluser=new", "Add new user");
  Item(form, "userlist?category=all", "Manage users");
  Item(form, "teamlist", "Edit team list");
  Item(form, "leavetypelist", "Edit leave types");
  WLSendRaw(form, "</ul><h3>System Settings</h3><ul>");
  Item(form, "config?onok=mainpage&oncancel=mainpage", "Change system configuration");
  Item(form, "holidaylist", "Set public holidays");
  Item(form, "viewlogs?onok=mainpage&oncancel=mainpage", "View logs");
  WLSendRaw(form, "</ul>");
}

// The right-hand column: help and the station installer, all served by
// this server itself, so the page works in an office without internet.
void WriteRightColumn(LWebletForm& form, bool administrator) {
  WLSendRaw(form,
            "<td width=250 valign=top><h3><font color=#1E9000>KavrixServer: </font></h3><ul>"
            "<li><a href=\"help/index.html\" target=\"_blank\" style=\"text-decoration:none\">Help (Manual)</a></li>");
  if (KXStationInstallerPresent()) {
    Item(form, kKXStationInstaller, "Download KavrixStation");
  } else if (administrator) {
    wfformat(form, "<li><font size=-1>%s</font></li>", KXStationInstallerMissingHtml());
  }
  WLSendRaw(form,
            "<li><a href=\"help/login.html\" target=\"_blank\" style=\"text-decoration:none\">Logging on</a></li>"
            "<li><a href=\"help/password.html\" target=\"_blank\" style=\"text-decoration:none\">Passwords</a></li>"
            "</ul></td>");
}

constexpr char kLMainPageLinks[] =
    "<a href=\"mainpage?\" class=toptext>Main</a>&nbsp;|&nbsp;<a href=\"logout?\" "
    "class=toptext>Logout</a>&nbsp;|&nbsp;<a href=\"help/index.html\" target=\"_blank\" "
    "class=toptext>Help</a>";

}  // namespace

void WLMainPage(LWebletForm& form) {
  MainPageView view;
  // The session names nobody any more (the address was changed, or the user
  // deleted): the browser logs on again instead of getting no answer.
  if (!ReadView(form, view)) {
    WLRedirect(form, "logon");
    return;
  }

  WLStandardHeader(form, kLMainPageLinks);
  wfformat(form, "<div align=right><font size=-2>Logged on as %H</font></div>", view.email);
  WLSendRaw(form,
            "<table class=kx-columns width=100% border=0 cellpadding=0 cellspacing=0><tr><td valign=top>"
            "<table class=kx-columns border=0><tr><td valign=top>");
  LKXUser viewer;
  if (KXGetCurrentUser(form, viewer)) WLWriteTodayPanel(form, KXReadToday(viewer, LDateTime::Now()));
  if (view.administrator) {
    WriteSetupSteps(form);
    WriteToDoList(form);
  }
  WLSendRaw(form, "</td><td class=kx-gap width=60>&nbsp;</td><td valign=top>");
  WriteMyStaff(form, view);
  WriteOwnSections(form, view);
  if (view.administrator) WriteAdministration(form);
  WLSendRaw(form, "</td></tr></table></td>");
  WriteRightColumn(form, view.administrator);
  WLSendRaw(form, "<td class=kx-gap width=20>&nbsp;</td></tr></table>");
  WLStandardFooter(form);
}
