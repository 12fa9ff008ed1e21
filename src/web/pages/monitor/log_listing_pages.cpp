#include "web/pages/monitor/log_listing_pages.h"

#include <dirent.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "foundation/log.h"
#include "model/access_audit.h"
#include "model/core_data.h"
#include "model/registry_lists.h"
#include "web/http/static_file.h"
#include "web/http/static_file_path.h"
#include "web/http/weblet_send.h"
#include "web/pages/monitor/monitor_access.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"
#include "web/panel/html_list.h"
#include "web/panel/standard_header.h"
#include "web/text/html_encoder.h"
#include "web/text/uri_codec.h"

namespace {

constexpr char kItem[] = "<li><a href=\"%s?file=%s\" style=\"text-decoration:none\">%s</a></li>";

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The names in `folder` other than "." and "..", sorted; with `suffix` only
// those ending in it.
std::vector<std::string> FolderNames(const std::string& folder, std::string_view suffix) {
  std::vector<std::string> names;
  std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (!suffix.empty() && !EndsWith(name, suffix)) continue;
    names.emplace_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void Open(LWebletForm& form) {
  const std::string id = LHrefValue(form.Session().Id());
  WLStandardHeader(form, LHtmlFormatChecked("<a href=\"mainpage?sess=%s\" class=toptext>Main</a>&nbsp;|&nbsp;<a "
                                            "href=\"logout?sess=%s\" class=toptext>Logout</a>&nbsp;|&nbsp;<a "
                                            "href=\"help/%s.html\" target=\"_blank\" class=toptext>Help</a>",
                                            id, id, "index"));
}

void Item(LWebletForm& form, const char* target, std::string_view name) {
  wfformat(form, kItem, target, LHrefValue(name), LHTMLEncode(name));
}

// "YYYY-MM" of a real month, else false.
bool ReadYearMonth(std::string_view text, int& year, int& month) {
  if (text.size() != 7 || text[4] != '-') return false;
  for (std::size_t i : {0u, 1u, 2u, 3u, 5u, 6u}) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  year = std::stoi(std::string(text.substr(0, 4)));
  month = std::stoi(std::string(text.substr(5, 2)));
  return year >= 1970 && year <= 2038 && month >= 1 && month <= 12;
}

std::string YearMonth(int year, int month) {
  char text[16];
  std::snprintf(text, sizeof text, "%.4d-%.2d", year, month);
  return text;
}

// The user whose archive folder this is, for the audit; the folder name
// itself when no user has it.
// `kept` tells whether the system keeps that user's activity at all.
std::string FolderOwner(std::string_view folder, bool& kept) {
  kept = true;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& user = it.Get();
    const std::string email = user.GetEmail();
    if (!email.empty() && LKXCoreData::GetUserFolderName(email) == folder) {
      kept = KXActivityKept(user);
      return email;
    }
  }
  return std::string(folder);
}

}  // namespace

void WLViewLogs(LWebletForm& form) {
  Open(form);
  wfformat(form,
           "<ul><li><a href=\"systemlog?yearmonth=%s\" style=\"text-decoration:none\">System Log</a></li><li><a "
           "href=\"archivefolder\" style=\"text-decoration:none\">Activity Log</a></li><li><a "
           "href=\"auditlog\" style=\"text-decoration:none\">Access audit</a></li></ul>",
           LDateTime::Now().GetDateText().substr(0, 7));
  WLStandardFooter(form);
}

void WLSystemLog(LWebletForm& form) {
  const std::string today = LDateTime::Now().GetDateText();
  int nowYear = 0;
  int nowMonth = 0;
  (void)ReadYearMonth(today.substr(0, 7), nowYear, nowMonth);
  int year = nowYear;
  int month = nowMonth;
  if (!ReadYearMonth(form.Params().GetParm("yearmonth"), year, month)) {
    year = nowYear;
    month = nowMonth;
  }
  const std::string shown = YearMonth(year, month);
  Open(form);
  wfformat(form, "<div><a href=\"systemlog?yearmonth=%s\">&lt;&lt;</a>&nbsp;<b>%s</b>",
           month == 1 ? YearMonth(year - 1, 12) : YearMonth(year, month - 1), shown);
  if (year * 12 + month < nowYear * 12 + nowMonth) {
    wfformat(form, "&nbsp;<a href=\"systemlog?yearmonth=%s\">&gt;&gt;</a>",
             month == 12 ? YearMonth(year + 1, 1) : YearMonth(year, month + 1));
  }
  WLSendRaw(form, "</div><ul>");
  for (const std::string& name : FolderNames(gLLog().GetLogFolder(), ".txt")) {
    if (name.find(shown) != std::string::npos) Item(form, "syslog.txt", name);
  }
  WLSendRaw(form, "</ul>");
  WLStandardFooter(form);
}

void WLGetSystemLogFile(LWebletForm& form) {
  if (!KXIsCurrentUserAdministator(form)) {
    WLRefuseDownload(form, kLAdministratorOnlyFileText);
    return;
  }
  const std::string name = form.Params().GetParm("file");
  std::string path;
  if (!EndsWith(name, ".txt") || !LWebletContainedFilePath(gLLog().GetLogFolder(), {name}, path)) {
    WLSendNotFound(form);
    return;
  }
  (void)LServeHandedOutFile(&form.Thread(), form.Transport(), path, "text/plain; charset=utf-8", name,
                            form.FileConditions());
}

void WLViewArchiveFolder(LWebletForm& form) {
  Open(form);
  WLSendRaw(form, "<ul>");
  for (const std::string& name : FolderNames(LKXCoreData::GetArchiveRoot(), "")) Item(form, "activityfolder", name);
  WLSendRaw(form, "</ul>");
  WLStandardFooter(form);
}

void WLUserActivityFolder(LWebletForm& form) {
  const std::string folder = form.Params().GetParm("file");
  std::string path;
  Open(form);
  WLSendRaw(form, "<ul>");
  if (LWebletContainedFolderPath(LKXCoreData::GetArchiveRoot(), {folder}, path)) {
    for (const std::string& name : FolderNames(path, ".csv")) {
      wfformat(form, "<li><a href=\"actlog.csv?file=%s&folder=%s\" style=\"text-decoration:none\">%H</a></li>",
               LHrefValue(name), LHrefValue(folder), name);
    }
  }
  WLSendRaw(form, "</ul>");
  WLStandardFooter(form);
}

void WLGetActivityCSVFile(LWebletForm& form) {
  LKXUser viewer;
  if (!KXGetCurrentUser(form, viewer) || !viewer.IsAdministrator()) {
    WLRefuseDownload(form, kLAdministratorOnlyFileText);
    return;
  }
  const std::string name = form.Params().GetParm("file");
  const std::string folder = form.Params().GetParm("folder");
  std::string path;
  bool kept = true;
  const std::string subject = FolderOwner(folder, kept);
  if (!EndsWith(name, ".csv") || !kept ||
      !LWebletContainedFilePath(LKXCoreData::GetArchiveRoot(), {folder, name}, path)) {
    WLSendNotFound(form);
    return;
  }
  (void)KXAuditAccess(viewer.GetEmail(), subject, std::string(kKXAuditLogDownload) + " " + name, WLAuditClient(form));
  (void)LServeHandedOutFile(&form.Thread(), form.Transport(), path, "text/csv; charset=utf-8", name,
                            form.FileConditions());
}
