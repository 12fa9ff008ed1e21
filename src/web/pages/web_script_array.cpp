#include "web/pages/web_script_array.h"

#include "web/pages/activity_page.h"
#include "web/pages/api_pages.h"
#include "web/pages/app_usage_page.h"
#include "web/pages/audit_pages.h"
#include "web/pages/change_email_page.h"
#include "web/pages/config_page.h"
#include "web/pages/delete_user_page.h"
#include "web/pages/enter_hours_page.h"
#include "web/pages/leave_calendar.h"
#include "web/pages/team_calendar_page.h"
#include "web/pages/leave_form_page.h"
#include "web/pages/leave_report_page.h"
#include "web/pages/log_listing_pages.h"
#include "web/pages/login_pages.h"
#include "web/pages/main_page.h"
#include "web/pages/manual_hours_page.h"
#include "web/pages/org_add_pages.h"
#include "web/pages/org_list_pages.h"
#include "web/pages/password_pages.h"
#include "web/pages/routing_page.h"
#include "web/pages/pending_leave_page.h"
#include "web/pages/screenshot_pages.h"
#include "web/pages/search_list_page.h"
#include "web/pages/setup_wizard.h"
#include "web/pages/time_sheet_page.h"
#include "web/pages/unexplained_absence_page.h"
#include "web/pages/user_detail_page.h"
#include "web/pages/user_list_csv_page.h"
#include "web/pages/user_list_page.h"
#include "web/pages/today_panel.h"
#include "web/pages/user_list_post.h"
#include "web/pages/user_pickers.h"
#include "web/pages/view_hours_csv.h"
#include "web/pages/view_hours_page.h"
#include "web/station_pages.h"

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
