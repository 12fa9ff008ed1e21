#include "model/access_audit.h"

#include "foundation/csv_reader.h"
#include "foundation/csv_writer.h"
#include "foundation/paths.h"
#include "model/registry_text.h"

namespace {

constexpr char kAuditFolder[] = "Audit";
constexpr char kAuditSuffix[] = "_audit.csv";
// Readers wait as long as the work-log readers do.
constexpr int kReadLockTimeoutMs = 5000;

}  // namespace

std::string KXAuditLogPath(LDateTime day, bool create) {
  const std::string name = day.GetDateText() + kAuditSuffix;
  if (create) return LFile::FilePathCat(LFile::GetSharedDataFolderAppSubFolder(kAuditFolder), name);
  return LFile::FilePathCat(LFile::FilePathCat(LFile::GetSharedDataFolderApp(), kAuditFolder), name);
}

bool KXAuditAccess(std::string_view viewer, std::string_view subject, std::string_view what,
                   std::string_view client) {
  if (KXSameName(viewer, subject)) return true;
  return KXAuditRecord(viewer, subject, what, client);
}

bool KXAuditRecord(std::string_view viewer, std::string_view subject, std::string_view what,
                   std::string_view client) {
  const LDateTime now = LDateTime::Now();
  LCSVWriterRow row;
  row.AddColDirect(now.GetTimeText());
  row.AddCol(viewer);
  row.AddCol(subject);
  row.AddCol(what);
  row.AddCol(client);
  return LCSVAppendRow(KXAuditLogPath(now, true), row);
}

std::vector<LKXAuditEntry> KXReadAuditLog(LDateTime day, std::string_view subject) {
  std::vector<LKXAuditEntry> entries;
  LCSVFileReader reader(KXAuditLogPath(day, false), kReadLockTimeoutMs);
  while (reader.Next()) {
    LCSVReaderRow row(reader.Line());
    LKXAuditEntry e;
    if (!row.GetCols(e.time, e.viewer, e.subject, e.what, e.client)) continue;
    if (!subject.empty() && !KXSameName(subject, e.subject)) continue;
    entries.push_back(std::move(e));
  }
  return entries;
}
