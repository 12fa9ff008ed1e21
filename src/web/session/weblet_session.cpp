#include "web/session/weblet_session.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "foundation/file_modes.h"
#include "foundation/log.h"
#include "foundation/paths.h"
#include "foundation/write_all.h"
#include "web/session/session_id.h"
#include "web/session/session_lock.h"
#include "web/session/session_purge.h"

namespace {

constexpr char kSessionFolder[] = "SessionData";
constexpr char kSessionSuffix[] = ".sess";
// O_NOFOLLOW: a link planted in the session folder must not make the server
// truncate some other file.
constexpr int kOpenFlags = O_CLOEXEC | O_NOFOLLOW;

}  // namespace

std::string LWebletSessionData::Folder() {
  return LFile::GetSharedDataFolderAppSubFolder(kSessionFolder, kLOwnerFolderMode);
}

void LWebletSessionData::LoadSession(std::string_view id) {
  const std::string folder = Folder();
  LWebletPurgeExpiredSessions(folder);
  if (!id.empty() && !LWebletSessionIdAllowed(id)) return;
  id_.assign(id);
  if (id_.empty()) return;
  Clear();
  writeFd_.Reset();
  path_ = LFile::FilePathCat(folder, id_ + kSessionSuffix);
  if (!ReadFile()) path_.clear();
}

bool LWebletSessionData::ReadFile() {
  LUniqueFd fd(::open(path_.c_str(), O_RDONLY | kOpenFlags));
  if (!fd) return false;
  // Closing the descriptor at the end releases the shared lock.
  (void)LSessionFileLock(fd.Get(), LOCK_SH, kLockTimeoutMs, thread_);
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if (static_cast<std::size_t>(info.st_size) > kMaxFileBytes) {
    LOGWARNF("Session file %s is too large to load.", path_.c_str());
    return false;
  }
  std::string text;
  char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
    if (text.size() > kMaxFileBytes) return false;  // grew while being read
  }
  LoadHTTPString(text);
  return true;
}

bool LWebletSessionData::CreateNewSession(bool longSession) {
  Clear();
  writeFd_.Reset();
  id_ = LWebletNewSessionId(longSession);
  path_.clear();
  if (id_.empty()) return false;
  path_ = LFile::FilePathCat(Folder(), id_ + kSessionSuffix);
  // Only a new session makes its file: a change never does (BeginChange).
  const LUniqueFd made = LOpenCreating(path_, O_WRONLY | O_CREAT | kOpenFlags, kLOwnerFileMode);
  BeginChange();
  if (!writeFd_) path_.clear();
  return IsValid();
}

void LWebletSessionData::BeginChange() {
  if (!IsValid() || writeFd_) return;
  // No O_CREAT: a session that a logout or a password change deleted while
  // this request ran stays ended.
  writeFd_.Reset(::open(path_.c_str(), O_RDWR | kOpenFlags));
  if (!writeFd_) {
    LOGWARNF("Cannot open session file %s.", path_.c_str());
    return;
  }
  (void)LSessionFileLock(writeFd_.Get(), LOCK_EX, kLockTimeoutMs, thread_);
  if (::ftruncate(writeFd_.Get(), 0) != 0) {
    LOGWARNF("Cannot truncate session file %s.", path_.c_str());
  }
}

void LWebletSessionData::SetParm(std::string_view key, std::string_view value) {
  BeginChange();
  LHashTable::SetParm(key, value);
}

void LWebletSessionData::SetInt(std::string_view key, int value) {
  SetParm(key, std::to_string(value));
}

bool LWebletSessionData::DeleteParm(std::string_view key) {
  BeginChange();
  return LHashTable::DeleteParm(key);
}

void LWebletSessionData::SetDirty() { BeginChange(); }

bool LWebletSessionData::FlushSession() {
  if (!writeFd_) return true;
  std::string text;
  SaveHTTPString(text);
  const bool written = LWriteAll(writeFd_.Get(), text);
  if (!written) LOGWARNF("Cannot write session file %s.", path_.c_str());
  writeFd_.Reset();  // closing releases the lock
  return written;
}

void LWebletSessionData::DeleteSession() {
  writeFd_.Reset();
  Clear();
  if (!path_.empty()) ::unlink(path_.c_str());
  id_.clear();
  path_.clear();
}
