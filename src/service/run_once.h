#pragma once
// One desktop process per user: the first binds a Unix socket in the home
// folder; a second start connects to it, passes its arguments and ends. The
// arguments go as a 4-byte native count, then for each (argument 0 included)
// a 4-byte native length and the bytes without terminator.

#include <string>
#include <vector>

#include "foundation/unique_fd.h"

inline constexpr char kLRunOnceName[] = ".KavrixServer.runonce";
// Limits on what a peer may send, so a stray connection cannot make the
// desktop allocate without end.
inline constexpr int kLRunOnceMaxArguments = 64;
inline constexpr int kLRunOnceMaxArgumentBytes = 4096;
// How long a connected peer may take to send its arguments.
inline constexpr int kLRunOnceReadMs = 2000;

// $HOME + "/" + ".KavrixServer.runonce" ("/opt" stands for an unset HOME).
std::string LRunOncePath();

class LRunOnceServer {
 public:
  enum class Result { kFirst, kHandedOver, kFailed };

  LRunOnceServer() = default;
  ~LRunOnceServer();
  LRunOnceServer(const LRunOnceServer&) = delete;
  LRunOnceServer& operator=(const LRunOnceServer&) = delete;

  // Binds `path` (kFirst: this process listens); when another instance
  // listens there, sends it the arguments (kHandedOver); a stale file is
  // deleted and taken over.
  Result Acquire(const std::string& path, int argc, const char* const* argv);
  int Fd() const { return socket_.Get(); }

  // Accepts one connection and reads its arguments. False when nothing
  // usable came; `*endWatch` is set when the count was negative.
  bool AcceptOne(std::vector<std::string>* arguments, bool* endWatch);

 private:
  std::string path_;
  LUniqueFd socket_;
};
