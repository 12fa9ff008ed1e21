#pragma once
// A level-triggered event made of one eventfd (or, where the platform has
// none, a pipe): a signalled object stays readable until it is reset, so a
// Signal() that comes before a wait is never lost and the event can sit in
// the same poll() as sockets and other events. Every thread owns one, so one
// descriptor instead of two per object lets a server hold twice as many
// connections under the same open-file limit.

#include "foundation/unique_fd.h"

// A non-owning handle on the read end; it offers the waits. It must not
// outlive the LSignalObject it was taken from.
class LSignalObjectRef {
 public:
  LSignalObjectRef() = default;
  explicit LSignalObjectRef(int read_fd) : read_fd_(read_fd) {}

  // The descriptor to put into a poll() set (POLLIN); -1 when none.
  int GetFd() const { return read_fd_; }

  bool IsSignaled() const;
  // Negative timeouts count as 0: a forever wait is only ever asked for by
  // name, never by accident.
  bool WaitSignal(int timeout_ms) const;
  bool WaitSignalForever() const;
  // True when any of the objects is signalled within the time.
  bool WaitSignalDual(const LSignalObjectRef& other, int timeout_ms) const;
  bool WaitSignalTriple(const LSignalObjectRef& a, const LSignalObjectRef& b,
                        int timeout_ms) const;

 protected:
  int read_fd_ = -1;
};

// Owns its descriptors (non-blocking, close-on-exec). A copy sliced to
// LSignalObjectRef is the intended way to hand out a handle.
class LSignalObject : public LSignalObjectRef {
 public:
  LSignalObject();
  LSignalObject(const LSignalObject&) = delete;
  LSignalObject& operator=(const LSignalObject&) = delete;

  // False when no descriptor could be made (out of descriptors); such an
  // object never becomes signalled and its forever wait returns at once.
  bool IsValid() const { return read_end_.IsValid(); }
  LSignalObjectRef Ref() const { return LSignalObjectRef(read_fd_); }

  void Signal();
  void Reset();

 private:
  LUniqueFd read_end_;
  LUniqueFd write_end_;  // a pipe's other end; unused with an eventfd
};
