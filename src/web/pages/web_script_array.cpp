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
