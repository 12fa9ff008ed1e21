#include "model/manual_log_edit.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "foundation/csv_reader.h"
#include "foundation/csv_writer.h"
#include "foundation/file_modes.h"
#include "foundation/file_replace.h"
#include "foundation/locked_file.h"
#include "foundation/unique_fd.h"
#include "foundation/write_all.h"

namespace {

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if ((x >= 'A' && x <= 'Z' ? x + 32 : x) != (y >= 'A' && y <= 'Z' ? y + 32 : y)) return false;
  }
  return true;
}

// The change naming this line, or null. Broken lines (no duration column,
// or text where the number should be) never match a computed duration.
const LKXManualRowChange* ChangeFor(std::string_view line, const std::vector<LKXManualRowChange>& changes,
                                    std::string& start, std::string& duration, std::string& flags) {
  LCSVReaderRow row(line);
  if (!row.GetCols(start, duration, flags)) return nullptr;
  const LKXManualRowChange* found = nullptr;
  for (const LKXManualRowChange& change : changes) {
    if (SameTextIgnoringCase(start, change.start) && duration == std::to_string(change.duration)) {
      found = &change;
    }
  }
  return found;
}

std::string ChangedLine(std::string_view line, const std::string& start, const std::string& duration,
                        const std::string& flagsText, const LKXManualRowChange& change) {
  LCSVReaderRow old(line);
  std::string skipped, oldComment;
  old.GetCols(skipped, skipped, skipped);
  old.GetCol(oldComment);
  LCSVReaderRow flagsRow(flagsText);
  const int oldFlags = flagsRow.GetCol();
  const int flags = change.makePrivate ? (oldFlags | 1) : (oldFlags & ~1);
  const std::string& comment = change.keepComment ? oldComment : change.comment;
  if (flags == oldFlags && comment == oldComment) return std::string(line);
  LCSVWriterRow row;
  row.AddColDirect(start);
  row.AddColDirect(duration);
  row.AddCol(flags);
  row.AddCol(comment);
  return row.Text();
}

std::string ScratchPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, nameAt) + "~" + path.substr(nameAt);
}

// Removes the scratch file unless it has been renamed into place.
class ScratchFile {
 public:
  explicit ScratchFile(std::string path) : path_(std::move(path)) {}
  ~ScratchFile() {
    fd_.Reset();
    if (!path_.empty()) unlink(path_.c_str());
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // A new, empty file; one left over by a crash is emptied.
  bool Create(const struct stat& old) {
    fd_ = LOpenCreating(path_, O_WRONLY | O_CREAT | O_TRUNC);
    if (!fd_) return false;
    // The new log takes the old one's place, so it gets the old one's mode.
    return fchmod(fd_.Get(), old.st_mode & 07777) == 0;
  }
  bool WriteAndSync(std::string_view bytes) { return LWriteAll(fd_.Get(), bytes) && fsync(fd_.Get()) == 0; }
  bool RenameOver(const std::string& target) {
    if (rename(path_.c_str(), target.c_str()) != 0) return false;
    path_.clear();
    return true;
  }

 private:
  std::string path_;
  LUniqueFd fd_;
};

}  // namespace

std::vector<std::string_view> KXSplitLogLines(std::string_view contents) {
  std::vector<std::string_view> lines;
  std::size_t at = 0;
  while (at < contents.size()) {
    const std::size_t end = contents.find_first_of("\r\n", at);
    const std::size_t stop = end == std::string_view::npos ? contents.size() : end;
    if (stop > at) lines.push_back(contents.substr(at, stop - at));
    at = stop + 1;
  }
  return lines;
}

LKXManualEditResult KXEditManualLog(const std::string& path, const std::vector<LKXManualRowChange>& changes,
                                    int lockTimeoutMs) {
  LLockedFile log;
  if (!LOpenLockedFile(path, O_RDWR, 0, LOCK_EX, lockTimeoutMs, log)) {
    return errno == ENOENT ? LKXManualEditResult::kNoLog : LKXManualEditResult::kFailed;
  }
  if (!log.locked) return LKXManualEditResult::kBusy;
  std::string contents;
  struct stat old {};
  if (fstat(log.fd.Get(), &old) != 0 || !LReadWholeFile(log.fd.Get(), contents)) {
    return LKXManualEditResult::kFailed;
  }
  std::string rewritten;
  rewritten.reserve(contents.size() + 64);
  std::string start, duration, flags;
  for (std::string_view line : KXSplitLogLines(contents)) {
    const LKXManualRowChange* change = ChangeFor(line, changes, start, duration, flags);
    if (change != nullptr && change->remove) continue;
    if (change != nullptr) {
      rewritten += ChangedLine(line, start, duration, flags, *change);
    } else {
      rewritten += line;
    }
    rewritten += "\r\n";
  }
  // The lock stays held (log.fd open) until the new file or the removal is
  // in place, so a waiting append opens whatever the name then holds.
  if (rewritten.empty()) {
    return unlink(path.c_str()) == 0 ? LKXManualEditResult::kDone : LKXManualEditResult::kFailed;
  }
  ScratchFile scratch(ScratchPath(path));
  if (!scratch.Create(old) || !scratch.WriteAndSync(rewritten) || !scratch.RenameOver(path)) {
    return LKXManualEditResult::kFailed;
  }
  return LKXManualEditResult::kDone;
}
