#pragma once
// The control panel's 66 paths in lookup order, with the handler each one
// gets and its access rule. WebScriptArray (web_script_array.cpp) holds,
// in this order, the rows whose handler has been written; `present` marks
// them. A page family that lands adds its rows there and sets `present` here.

#include <span>

#include "web/panel/access_rules.h"

struct LWebScriptPlanRow {
  const char* path;
  const char* handler;
  LWebAccess access;
  bool present;
};

inline constexpr LWebScriptPlanRow kLWebScriptPlan[] = {
    {"", "WLMainLogin", LWebAccess::kAnyone, true},
    {"logon", "WLMainLogin", LWebAccess::kAnyone, true},
    {"userdetail", "WLUserDetailPage", LWebAccess::kPageRule, true},
    {"addteam", "WLAddTeamPage", LWebAccess::kNone, true},
    {"addleavetype", "WLAddLeaveTypePage", LWebAccess::kNone, true},
    {"changepassword", "WLChangePasswordPage", LWebAccess::kPageRule, true},
    {"changeemail", "WLChangeEmailPage", LWebAccess::kNone, true},
    {"config", "WLConfigPage", LWebAccess::kPageRule, true},
    {"deleteuser", "WLDeleteUserPage", LWebAccess::kPageRule, true},
    {"enterhours", "WLEnterHoursPage", LWebAccess::kPageRule, true},
    {"wizardadmin", "WLWizardAdmin", LWebAccess::kAnyone, true},
    {"wizardconfirmemail", "WLWizardConfirmEmail", LWebAccess::kAnyone, true},
    {"wizardkavrixusage", "WLWizardKavrixUsage", LWebAccess::kAnyone, true},
    {"wizardsmtpsetting", "WLWizardSmtpSetting", LWebAccess::kAnyone, true},
    {"wizardaddusers", "WLWizardAddUser", LWebAccess::kAnyone, true},
    {"wizardconnectremote", "WLWizardConnectRemote", LWebAccess::kAnyone, true},
    {"wizardfinish", "WLWizardFinish", LWebAccess::kAnyone, true},
    {"lostpassword", "WLLostPassword", LWebAccess::kAnyone, true},
    {"sessioninvalid", "WLSessionInvalidPage", LWebAccess::kAnyone, true},
    {"teamlist", "WLTeamListPage", LWebAccess::kAdministrator, true},
    {"teamlistpost", "WLTeamListPost", LWebAccess::kNone, true},
    {"leavetypelist", "WLLeaveTypeListPage", LWebAccess::kAdministrator, true},
    {"leavetypepost", "WLLeaveTypeListPost", LWebAccess::kNone, true},
    {"addholiday", "WLAddHolidayPage", LWebAccess::kNone, true},
    {"leaveform", "WLLeaveForm", LWebAccess::kPageRule, true},
    {"addmanager", "WLAddManager", LWebAccess::kNone, true},
    {"addtoteam", "WLAddToTeam", LWebAccess::kNone, true},
    {"routing", "WLRoutingPage", LWebAccess::kNone, true},
    {"mainpage", "WLMainPage", LWebAccess::kSession, true},
    {"userlist", "WLUserListPage", LWebAccess::kSession, true},
    {"userlistpost", "WLUserListPagePost", LWebAccess::kNone, true},
    {"holidaylist", "WLHolidayListPage", LWebAccess::kAdministrator, true},
    {"holidaylistpost", "WLHolidayListPost", LWebAccess::kNone, true},
    {"searchlist", "WLSearchListPage", LWebAccess::kPageRule, true},
    {"searchlistpost", "WLSearchListPost", LWebAccess::kAnyone, true},
    {"viewactivity", "WLViewActivity", LWebAccess::kPageRule, true},
    {"viewactivitypost", "WLViewActivity", LWebAccess::kPageRule, true},
    {"viewscreens", "WLViewScreen", LWebAccess::kPageRule, true},
    {"viewscreenspost", "WLViewScreen", LWebAccess::kPageRule, true},
    {"viewhours", "WLViewHoursPage", LWebAccess::kPageRule, true},
    {"viewhourspost", "WLViewHoursPost", LWebAccess::kPageRule, true},
    {"viewmanual", "WLViewManual", LWebAccess::kPageRule, true},
    {"viewmanualpost", "WLViewManualPost", LWebAccess::kPageRule, true},
    {"leavereport", "WLLeaveReport", LWebAccess::kPageRule, true},
    {"leavereportpost", "WLLeaveReportPost", LWebAccess::kPageRule, true},
    {"pendingleaverequests", "WLPendingLeaveRequests", LWebAccess::kPageRule, true},
    {"pendingleaverequestspost", "WLPendingLeaveRequestsPost", LWebAccess::kPageRule, true},
    {"viewappusage", "WLViewAppUsage", LWebAccess::kPageRule, true},
    {"viewappusagepost", "WLViewAppUsagePost", LWebAccess::kPageRule, true},
    {"docanalyse", "WLDocAnalysePage", LWebAccess::kPageRule, true},
    {"timesheet", "WLTimeSheet", LWebAccess::kPageRule, true},
    {"timesheetpost", "WLTimeSheet", LWebAccess::kPageRule, true},
    {"unexplainedabsence", "WLUnexplainedAbsence", LWebAccess::kPageRule, true},
    {"logout", "WLMainLogout", LWebAccess::kSession, true},
    {"pwdsent", "WLPasswordSent", LWebAccess::kAnyone, true},
    {"getimg.jpg", "WLGetImageThumbNail", LWebAccess::kSession, true},
    {"fullsizeimg.jpg", "WLGetFullSizeImage", LWebAccess::kSession, true},
    {"fullsizeimg", "WLFullSizeImage", LWebAccess::kNone, true},
    {"syslog.txt", "WLGetSystemLogFile", LWebAccess::kAdministrator, true},
    {"actlog.csv", "WLGetActivityCSVFile", LWebAccess::kAdministrator, true},
    {"viewlogs", "WLViewLogs", LWebAccess::kAdministrator, true},
    {"systemlog", "WLSystemLog", LWebAccess::kAdministrator, true},
    {"archivefolder", "WLViewArchiveFolder", LWebAccess::kAdministrator, true},
    {"activityfolder", "WLUserActivityFolder", LWebAccess::kAdministrator, true},
    {"connect", "WLConnect", LWebAccess::kAnyone, true},
    {"stationlogon", "WLStationLogon", LWebAccess::kAnyone, true},
};

// Paths this server adds after the 66, in lookup order, all present.
inline constexpr LWebScriptPlanRow kLWebScriptAddedRows[] = {
    {"viewhours.csv", "WLViewHoursCSV", LWebAccess::kPageRule, true},
    {"leavecalendar.ics", "WLLeaveCalendar", LWebAccess::kPageRule, true},
    {"teamcalendar", "WLTeamCalendar", LWebAccess::kSession, true},
    {"userlist.csv", "WLUserListCSV", LWebAccess::kAdministrator, true},
    {"userimport", "WLUserImportPage", LWebAccess::kAdministrator, true},
    {"auditlog", "WLAuditLogPage", LWebAccess::kAdministrator, true},
    {"myaudit", "WLMyAuditPage", LWebAccess::kSession, true},
    {"api/v1/users", "WLApiUsers", LWebAccess::kApiToken, true},
    {"api/v1/hours", "WLApiHours", LWebAccess::kApiToken, true},
    {"api/v1/leave", "WLApiLeave", LWebAccess::kApiToken, true},
    {"api/v1/presence", "WLApiPresence", LWebAccess::kApiToken, true},
    {"api/v1/openapi.json", "WLApiOpenApi", LWebAccess::kAnyone, true},
    {"today.json", "WLTodayJson", LWebAccess::kSession, true},
};
