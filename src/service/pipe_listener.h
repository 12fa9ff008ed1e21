#pragma once
// The listener of the control channel: a Unix-domain stream socket that every
// local user may connect to (mode 0777), so that any desktop user sees the
// service's log. Who may send commands is decided per connection (see
// control_access.h), not by the socket's mode.
//
// Creating the socket file must not be turned against the root service: a
// symbolic link planted at the path is removed, never followed (bind does
// not follow links, and the mode is set through a descriptor of the file
// itself); a stale socket of a dead service is replaced; a live one is left
// alone and the listener does not start.

#include <sys/types.h>

#include <string>

#include "foundation/thread.h"
#include "foundation/unique_fd.h"

inline constexpr int kLPipeListenBacklog = 5;

class LPipeConnectionHandler {
 public:
  virtual ~LPipeConnectionHandler() = default;
  // On the listener thread, with a non-blocking, close-on-exec socket.
  virtual void NewConnection(LUniqueFd socket) = 0;
};

class LPipeListener : public LThread {
 public:
  explicit LPipeListener(LPipeConnectionHandler& handler) : handler_(handler) {}
  ~LPipeListener() override;

  // Creates, binds and listens; false (logged) when the path is taken by a
  // live listener or cannot be made. Call before Start.
  [[nodiscard]] bool Open(const std::string& path);
  // Closes the socket and deletes its file, unless another listener has
  // replaced the file meanwhile. The thread must be stopped first.
  void Close();

 protected:
  void ThreadFunction() override;

 private:
  LPipeConnectionHandler& handler_;
  // Set by Open and Close, which run only while the thread does not.
  std::string path_;
  LUniqueFd socket_;
  dev_t device_ = 0;
  ino_t inode_ = 0;
};
