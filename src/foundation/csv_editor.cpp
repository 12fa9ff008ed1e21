#include "foundation/csv_editor.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "foundation/file_modes.h"
#include "foundation/path_parts.h"
#include "foundation/write_all.h"

namespace {

// Accepted lines are written to the scratch file in pieces of this size.
constexpr std::size_t kFlushSize = 64 * 1024;
// "~" + name + "." + the six characters mkstemp fills in must stay a valid
// file name, so a long log name is shortened in the scratch name.
constexpr std::size_t kScratchNameRoom = NAME_MAX - 8;

std::string ScratchTemplate(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t name_at = slash == std::string::npos ? 0 : slash + 1;
  std::string_view name = std::string_view(path).substr(name_at);
  return path.substr(0, name_at) + "~" + std::string(name.substr(0, kScratchNameRoom)) + ".XXXXXX";
}

// Makes the rename itself survive a power loss; the edit has already taken
// place when this fails, so there is nothing to report.
void SyncFolder(const std::string& folder) {
  LUniqueFd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd) fsync(fd.Get());
}

}  // namespace

LCSVFileEditor::LCSVFileEditor(const std::string& path, int lock_timeout_ms) : path_(path) {
  ok_ = Open(lock_timeout_ms) && CreateScratch();
  if (!ok_) {
    Finish();
    return;
  }
  reader_.emplace(log_.fd.Get());
  has_line_ = reader_->Next();
}

LCSVFileEditor::~LCSVFileEditor() {
  if (!finished_) static_cast<void>(Commit());
}

bool LCSVFileEditor::Open(int lock_timeout_ms) {
  // Without the lock an append arriving during the edit would be dropped by
  // the rename, so an edit that cannot lock does not take place.
  return LOpenLockedFile(path_, O_RDWR | O_CREAT, kLDataFileMode, LOCK_EX, lock_timeout_ms, log_) &&
         log_.locked;
}

bool LCSVFileEditor::CreateScratch() {
  std::string name = ScratchTemplate(path_);
  LUniqueFd fd(mkostemp(name.data(), O_CLOEXEC));
  if (!fd) return false;
  scratch_ = std::move(fd);
  scratch_path_ = name;
  // The new log takes the place of the old one, so it gets the old one's
  // mode (mkstemp makes 0600) and, where we may, its owner.
  struct stat old {};
  if (fstat(log_.fd.Get(), &old) != 0 || fchmod(scratch_.Get(), old.st_mode & 07777) != 0) {
    return false;
  }
  if (old.st_uid != geteuid() || old.st_gid != getegid()) {
    static_cast<void>(fchown(scratch_.Get(), old.st_uid, old.st_gid));
  }
  return true;
}

const std::string& LCSVFileEditor::Line() const {
  static const std::string kNoLine;
  return has_line_ ? reader_->Line() : kNoLine;
}

bool LCSVFileEditor::RowAccept() {
  if (!ok_ || !has_line_) return false;
  return RowWrite(reader_->Line());
}

bool LCSVFileEditor::RowWrite(std::string_view line) {
  if (!ok_) return false;
  pending_.append(line).append(line_end_);
  if (pending_.size() >= kFlushSize) ok_ = Flush();
  return ok_;
}

bool LCSVFileEditor::Next() {
  if (!has_line_) return false;
  has_line_ = reader_->Next();
  return has_line_;
}

bool LCSVFileEditor::Flush() {
  const bool written = LWriteAll(scratch_.Get(), pending_);
  pending_.clear();
  return written;
}

bool LCSVFileEditor::Commit() {
  if (finished_) return committed_;
  // The scratch reaches the disk before its name replaces the log's, so a
  // crash leaves either the old log or the complete new one.
  committed_ = ok_ && Flush() && fsync(scratch_.Get()) == 0 &&
               rename(scratch_path_.c_str(), path_.c_str()) == 0;
  if (committed_) {
    scratch_path_.clear();
    SyncFolder(LFolderOf(path_));
  }
  Finish();
  return committed_;
}

void LCSVFileEditor::Discard() {
  if (!finished_) Finish();
}

void LCSVFileEditor::Finish() {
  finished_ = true;
  has_line_ = false;
  scratch_.Reset();
  if (!scratch_path_.empty()) unlink(scratch_path_.c_str());
  scratch_path_.clear();
  // Closing the old log releases the lock only now, after the rename, so
  // whoever waited for it finds the new log under the name.
  reader_.reset();
  log_.fd.Reset();
}

