#pragma once
// LWebletSessionData: the web session of one request, named by the cookie
// "sess". The pairs live in a file of the shared sub-folder "SessionData"
// (format: doc/session_files.md), so every connection thread and every run of
// the service sees the same sessions without an in-memory registry.
//
// Within a request a session is read once under a shared lock. The first
// change takes the exclusive lock, truncates the file and keeps it open;
// FlushSession writes the whole table back and releases the lock. Changing
// requests of one session are so serialised by the lock, and the last
// writer's whole table wins. A session that was only read is never written.

#include <string>
#include <string_view>

#include "foundation/unique_fd.h"
#include "web/text/hash_table.h"

class LThread;

// Change a session through this class, never through an LHashTable& to it:
// the base class's changes would skip the lock and never be written.
class LWebletSessionData : public LHashTable {
 public:
  // Waits for the session file's lock are bounded; the session is used
  // whether or not the lock was had in time.
  static constexpr int kLockTimeoutMs = 10000;
  // A session file above this size is not loaded (the session is invalid):
  // the panel never writes one nearly as large, and a request must not read
  // an unbounded file into memory.
  static constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;

  LWebletSessionData() = default;
  LWebletSessionData(const LWebletSessionData&) = delete;
  LWebletSessionData& operator=(const LWebletSessionData&) = delete;

  // The shared sub-folder "SessionData" (created when missing).
  static std::string Folder();

  // Purges expired session files, then loads the session `id` (the cookie
  // "sess", possibly empty). An id that LWebletSessionIdAllowed refuses is
  // not kept: the session stays empty and invalid. A known id whose file
  // cannot be opened keeps the id but is invalid.
  void LoadSession(std::string_view id);
  // Starts a new session with a fresh id ("l" when `longSession`, else "s"):
  // the file is created, locked and emptied now. False (session invalid)
  // when no id could be made or the file cannot be created.
  bool CreateNewSession(bool longSession);

  // Changes; the first one of a valid session in this request opens the
  // file, takes the exclusive lock and truncates it. Changing an invalid
  // session changes memory only.
  void SetParm(std::string_view key, std::string_view value);
  void SetInt(std::string_view key, int value);
  bool DeleteParm(std::string_view key);
  void SetDirty();

  // Writes the pairs back when this request changed the session, and
  // releases the lock. False when writing failed.
  bool FlushSession();
  // Logout: forgets the pairs, deletes the file, clears id and path.
  void DeleteSession();

  // The connection thread whose stop request cuts lock waits short.
  void SetThread(const LThread* thread) { thread_ = thread; }

  bool IsValid() const { return !path_.empty(); }
  const std::string& Id() const { return id_; }
  const std::string& Path() const { return path_; }
  bool IsDirty() const { return writeFd_.IsValid(); }

 private:
  void BeginChange();
  bool ReadFile();

  std::string id_;
  std::string path_;
  LUniqueFd writeFd_;
  const LThread* thread_ = nullptr;  // open (and exclusively locked) from the first change to the flush
};
