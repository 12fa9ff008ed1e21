#pragma once
// The administrators' plain listings: "viewlogs" (the two kinds of log),
// "systemlog" (the system log files of a month) with "syslog.txt" (one of
// them), "archivefolder" (the folders of the archive), "activityfolder"
// (the CSV logs of one of them) with "actlog.csv" (one log).

class LWebletForm;

void WLViewLogs(LWebletForm& form);
void WLSystemLog(LWebletForm& form);
void WLGetSystemLogFile(LWebletForm& form);
void WLViewArchiveFolder(LWebletForm& form);
void WLUserActivityFolder(LWebletForm& form);
void WLGetActivityCSVFile(LWebletForm& form);
