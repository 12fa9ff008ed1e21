#include "web/pages/common/web_script_array.h"

#include "station/station_pages.h"
#include "web/pages/account/change_email_page.h"
#include "web/pages/account/login_pages.h"
#include "web/pages/account/main_page.h"
#include "web/pages/account/password_pages.h"
#include "web/pages/account/session_invalid_page.h"
#include "web/pages/account/today_panel.h"
#include "web/pages/account/today_panel_view.h"
#include "web/pages/common/api_pages.h"
#include "web/pages/hours/enter_hours_page.h"
#include "web/pages/hours/manual_hours_page.h"
#include "web/pages/hours/search_list_page.h"
#include "web/pages/hours/time_sheet_page.h"
#include "web/pages/hours/unexplained_absence_page.h"
#include "web/pages/hours/view_hours_csv.h"
#include "web/pages/hours/view_hours_page.h"
#include "web/pages/leave/leave_calendar.h"
#include "web/pages/leave/leave_form_page.h"
#include "web/pages/leave/leave_report_page.h"
#include "web/pages/leave/pending_leave_page.h"
#include "web/pages/leave/team_calendar_page.h"
#include "web/pages/monitor/activity_page.h"
#include "web/pages/monitor/app_usage_page.h"
#include "web/pages/monitor/audit_pages.h"
#include "web/pages/monitor/doc_analyse_page.h"
#include "web/pages/monitor/log_listing_pages.h"
#include "web/pages/monitor/screenshot_pages.h"
#include "web/pages/org/org_add_pages.h"
#include "web/pages/org/org_list_pages.h"
#include "web/pages/setup/config_page.h"
#include "web/pages/setup/routing_page.h"
#include "web/pages/setup/setup_wizard.h"
#include "web/pages/users/delete_user_page.h"
#include "web/pages/users/user_detail_page.h"
#include "web/pages/users/user_list_csv_page.h"
#include "web/pages/users/user_list_page.h"
#include "web/pages/users/user_list_post.h"
#include "web/pages/users/user_pickers.h"

namespace {

// The panel's 66 paths in the order pages, stations and bookmarks rely on,
// each with its handler and the rule the connection applies first.
// kPageRule rows check the visitor in the handler: against the user they
// act on, or ("viewhourspost", "viewappusagepost", "viewmanualpost") only
// for the button that opens a report, since any other post answers with no
// content whoever sends it.
constexpr LWebScriptEntry kWebScripts[] = {
    {"", WLMainLogin, LWebAccess::kAnyone},
    {"logon", WLMainLogin, LWebAccess::kAnyone},
    {"userdetail", WLUserDetailPage, LWebAccess::kSession},
    {"addteam", WLAddTeamPage, LWebAccess::kAdministrator},
    {"addleavetype", WLAddLeaveTypePage, LWebAccess::kAdministrator},
    {"changepassword", WLChangePasswordPage, LWebAccess::kPageRule},
    {"changeemail", WLChangeEmailPage, LWebAccess::kSession},
    {"config", WLConfigPage, LWebAccess::kPageRule},
    {"deleteuser", WLDeleteUserPage, LWebAccess::kSession},
    {"enterhours", WLEnterHoursPage, LWebAccess::kSession},
    {"wizardadmin", WLWizardAdmin, LWebAccess::kAnyone},
    {"wizardconfirmemail", WLWizardConfirmEmail, LWebAccess::kPageRule},
    {"wizardkavrixusage", WLWizardKavrixUsage, LWebAccess::kPageRule},
    {"wizardsmtpsetting", WLWizardSmtpSetting, LWebAccess::kPageRule},
    {"wizardaddusers", WLWizardAddUser, LWebAccess::kPageRule},
    {"wizardconnectremote", WLWizardConnectRemote, LWebAccess::kAnyone},
    {"wizardfinish", WLWizardFinish, LWebAccess::kPageRule},
    {"lostpassword", WLLostPassword, LWebAccess::kAnyone},
    {"sessioninvalid", WLSessionInvalidPage, LWebAccess::kAnyone},
    {"teamlist", WLTeamListPage, LWebAccess::kAdministrator},
    {"teamlistpost", WLTeamListPost, LWebAccess::kAdministrator},
    {"leavetypelist", WLLeaveTypeListPage, LWebAccess::kAdministrator},
    {"leavetypepost", WLLeaveTypeListPost, LWebAccess::kAdministrator},
    {"addholiday", WLAddHolidayPage, LWebAccess::kAdministrator},
    {"leaveform", WLLeaveForm, LWebAccess::kSession},
    {"addmanager", WLAddManager, LWebAccess::kAdministrator},
    {"addtoteam", WLAddToTeam, LWebAccess::kAdministrator},
    {"routing", WLRoutingPage, LWebAccess::kAdministrator},
    {"mainpage", WLMainPage, LWebAccess::kSession},
    {"userlist", WLUserListPage, LWebAccess::kSession},
    {"userlistpost", WLUserListPagePost, LWebAccess::kSession},
    {"holidaylist", WLHolidayListPage, LWebAccess::kAdministrator},
    {"holidaylistpost", WLHolidayListPost, LWebAccess::kAdministrator},
    {"searchlist", WLSearchListPage, LWebAccess::kSession},
    {"searchlistpost", WLSearchListPost, LWebAccess::kAnyone},
    {"viewactivity", WLViewActivity, LWebAccess::kSession},
    {"viewactivitypost", WLViewActivity, LWebAccess::kSession},
    {"viewscreens", WLViewScreen, LWebAccess::kSession},
    {"viewscreenspost", WLViewScreen, LWebAccess::kSession},
    {"viewhours", WLViewHoursPage, LWebAccess::kSession},
    {"viewhourspost", WLViewHoursPost, LWebAccess::kPageRule},
    {"viewmanual", WLViewManual, LWebAccess::kPageRule},
    {"viewmanualpost", WLViewManualPost, LWebAccess::kPageRule},
    {"leavereport", WLLeaveReport, LWebAccess::kSession},
    {"leavereportpost", WLLeaveReportPost, LWebAccess::kSession},
    {"pendingleaverequests", WLPendingLeaveRequests, LWebAccess::kSession},
    {"pendingleaverequestspost", WLPendingLeaveRequestsPost, LWebAccess::kSession},
    {"viewappusage", WLViewAppUsage, LWebAccess::kSession},
    {"viewappusagepost", WLViewAppUsagePost, LWebAccess::kPageRule},
    {"docanalyse", WLDocAnalysePage, LWebAccess::kSession},
    {"timesheet", WLTimeSheet, LWebAccess::kSession},
    {"timesheetpost", WLTimeSheet, LWebAccess::kSession},
    {"unexplainedabsence", WLUnexplainedAbsence, LWebAccess::kPageRule},
    {"logout", WLMainLogout, LWebAccess::kSession},
    {"pwdsent", WLPasswordSent, LWebAccess::kAnyone},
    {"getimg.jpg", WLGetImageThumbNail, LWebAccess::kSession},
    {"fullsizeimg.jpg", WLGetFullSizeImage, LWebAccess::kSession},
    {"fullsizeimg", WLFullSizeImage, LWebAccess::kSession},
    {"syslog.txt", WLGetSystemLogFile, LWebAccess::kAdministratorFile},
    {"actlog.csv", WLGetActivityCSVFile, LWebAccess::kAdministratorFile},
    {"viewlogs", WLViewLogs, LWebAccess::kAdministrator},
    {"systemlog", WLSystemLog, LWebAccess::kAdministrator},
    {"archivefolder", WLViewArchiveFolder, LWebAccess::kAdministrator},
    {"activityfolder", WLUserActivityFolder, LWebAccess::kAdministrator},
    {"connect", WLConnect, LWebAccess::kAnyone},
    {"stationlogon", WLStationLogon, LWebAccess::kAnyone},
    // After the panel's own paths, the ones this server adds.
    {"viewhours.csv", WLViewHoursCSV, LWebAccess::kSession},
    {"leavecalendar.ics", WLLeaveCalendar, LWebAccess::kPageRule},
    {"teamcalendar", WLTeamCalendar, LWebAccess::kSession},
    {"userlist.csv", WLUserListCSV, LWebAccess::kAdministrator},
    {"userimport", WLUserImportPage, LWebAccess::kAdministrator},
    {"auditlog", WLAuditLogPage, LWebAccess::kAdministrator},
    {"myaudit", WLMyAuditPage, LWebAccess::kSession},
    {"api/v1/users", WLApiUsers, LWebAccess::kApiToken},
    {"api/v1/hours", WLApiHours, LWebAccess::kApiToken},
    {"api/v1/leave", WLApiLeave, LWebAccess::kApiToken},
    {"api/v1/presence", WLApiPresence, LWebAccess::kApiToken},
    {"api/v1/openapi.json", WLApiOpenApi, LWebAccess::kAnyone},
    {"today.json", WLTodayJson, LWebAccess::kPageRule},
};

static_assert(LEveryRowHasARule(kWebScripts), "every row of the URL table needs its access rule");

}  // namespace

LWebScriptTable WebScriptArray() { return kWebScripts; }
