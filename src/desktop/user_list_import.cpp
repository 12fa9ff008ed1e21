#include "desktop/user_list_import.h"

#include <sys/file.h>
#include <unistd.h>

#include <fcntl.h>

#include "foundation/locked_file.h"
#include "model/user_list_csv.h"
#include "model/users.h"
#include "web/pages/users/user_import_check.h"
#include "web/session/session_end.h"

namespace {

constexpr size_t kMaxFileBytes = 16 * 1024 * 1024;

bool ReadAll(int fd, std::string& out) {
  char chunk[65536];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof(chunk));
    if (got < 0) return false;
    if (got == 0) return true;
    out.append(chunk, static_cast<size_t>(got));
    if (out.size() > kMaxFileBytes) return false;
  }
}

}  // namespace

LUserListImportReport LDesktopImportUserList(const std::string& path) {
  LUserListImportReport report;
  std::string text;
  {
    LLockedFile file;
    if (!LOpenLockedFile(path, O_RDONLY, 0, LOCK_SH, kKXUserListCSVLockTimeoutMs, file)) return report;
    if (!ReadAll(file.fd.Get(), text)) return report;
  }
  report.readable = true;
  std::vector<LKXUserListCSVRow> rows;
  std::vector<int> lineNumbers;
  int number = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    ++number;
    const std::string_view line(text.data() + start, end - start);
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
    LKXUserListCSVRow row;
    if (!KXParseUserListCSVLine(line, row)) {
      report.refused.push_back("Line " + std::to_string(number) + ": no e-mail address");
      continue;
    }
    rows.push_back(std::move(row));
    lineNumbers.push_back(number);
  }
  const LKXImportPlan plan = KXPlanUserImport(rows);
  for (size_t i = 0; i < plan.rows.size(); ++i) {
    const std::string where = "Line " + std::to_string(lineNumbers[i]) + ": ";
    if (!plan.rows[i].problem.empty()) {
      report.refused.push_back(where + plan.rows[i].problem);
      continue;
    }
    const LKXUserListCSVRow& row = plan.rows[i].data;
    LKXUser before;
    const bool newPassword = KXGetUser(row.email, before) && before.GetText(kKXUserPassword) != row.password;
    if (KXStoreUserListRow(row, true)) {
      ++report.stored;
      // As on the password page: a new password ends the user's web sessions.
      if (newPassword) LWebletEndUserSessions(row.email, "");
    } else {
      report.refused.push_back(where + "the user could not be stored");
    }
  }
  return report;
}
