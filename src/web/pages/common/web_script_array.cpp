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

// The rows of the control panel, in the lookup order of kLWebScriptPlan
// (web_script_plan.h), which lists all 66 and marks the ones present here,
// then the rows of kLWebScriptAddedRows.
// Each page family adds its rows at their places in that order.
namespace {

const LWebScriptEntry kWebScripts[] = {
    {"", WLMainLogin},
    {"logon", WLMainLogin},
    {"userdetail", WLUserDetailPage},
    {"addteam", WLAddTeamPage},
    {"addleavetype", WLAddLeaveTypePage},
    {"changepassword", WLChangePasswordPage},
    {"changeemail", WLChangeEmailPage},
    {"config", WLConfigPage},
    {"deleteuser", WLDeleteUserPage},
    {"enterhours", WLEnterHoursPage},
    {"wizardadmin", WLWizardAdmin},
    {"wizardconfirmemail", WLWizardConfirmEmail},
    {"wizardkavrixusage", WLWizardKavrixUsage},
    {"wizardsmtpsetting", WLWizardSmtpSetting},
    {"wizardaddusers", WLWizardAddUser},
    {"wizardconnectremote", WLWizardConnectRemote},
    {"wizardfinish", WLWizardFinish},
    {"lostpassword", WLLostPassword},
    {"sessioninvalid", WLSessionInvalidPage},
    {"teamlist", WLTeamListPage},
    {"teamlistpost", WLTeamListPost},
    {"leavetypelist", WLLeaveTypeListPage},
    {"leavetypepost", WLLeaveTypeListPost},
    {"addholiday", WLAddHolidayPage},
    {"leaveform", WLLeaveForm},
    {"addmanager", WLAddManager},
    {"addtoteam", WLAddToTeam},
    {"routing", WLRoutingPage},
    {"mainpage", WLMainPage},
    {"userlist", WLUserListPage},
    {"userlistpost", WLUserListPagePost},
    {"holidaylist", WLHolidayListPage},
    {"holidaylistpost", WLHolidayListPost},
    {"searchlist", WLSearchListPage},
    {"searchlistpost", WLSearchListPost},
    {"viewactivity", WLViewActivity},
    {"viewactivitypost", WLViewActivity},
    {"viewscreens", WLViewScreen},
    {"viewscreenspost", WLViewScreen},
    {"viewhours", WLViewHoursPage},
    {"viewhourspost", WLViewHoursPost},
    {"viewmanual", WLViewManual},
    {"viewmanualpost", WLViewManualPost},
    {"leavereport", WLLeaveReport},
    {"leavereportpost", WLLeaveReportPost},
    {"pendingleaverequests", WLPendingLeaveRequests},
    {"pendingleaverequestspost", WLPendingLeaveRequestsPost},
    {"viewappusage", WLViewAppUsage},
    {"viewappusagepost", WLViewAppUsagePost},
    {"docanalyse", WLDocAnalysePage},
    {"timesheet", WLTimeSheet},
    {"timesheetpost", WLTimeSheet},
    {"unexplainedabsence", WLUnexplainedAbsence},
    {"logout", WLMainLogout},
    {"pwdsent", WLPasswordSent},
    {"getimg.jpg", WLGetImageThumbNail},
    {"fullsizeimg.jpg", WLGetFullSizeImage},
    {"fullsizeimg", WLFullSizeImage},
    {"syslog.txt", WLGetSystemLogFile},
    {"actlog.csv", WLGetActivityCSVFile},
    {"viewlogs", WLViewLogs},
    {"systemlog", WLSystemLog},
    {"archivefolder", WLViewArchiveFolder},
    {"activityfolder", WLUserActivityFolder},
    {"connect", WLConnect},
    {"stationlogon", WLStationLogon},
    // After the panel's own paths, the ones this server adds.
    {"viewhours.csv", WLViewHoursCSV},
    {"leavecalendar.ics", WLLeaveCalendar},
    {"teamcalendar", WLTeamCalendar},
    {"userlist.csv", WLUserListCSV},
    {"userimport", WLUserImportPage},
    {"auditlog", WLAuditLogPage},
    {"myaudit", WLMyAuditPage},
    {"api/v1/users", WLApiUsers},
    {"api/v1/hours", WLApiHours},
    {"api/v1/leave", WLApiLeave},
    {"api/v1/presence", WLApiPresence},
    {"api/v1/openapi.json", WLApiOpenApi},
    {"today.json", WLTodayJson},
};

}  // namespace

LWebScriptTable WebScriptArray() { return kWebScripts; }
