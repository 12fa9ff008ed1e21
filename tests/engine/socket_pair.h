#pragma once
// A connected pair of loopback TCP sockets: `ours` non-blocking and
// close-on-exec as the program's sockets are, `peer` blocking for the test to
// drive. Also a thread that runs one function, so that a test can stop it
// from outside while a socket operation waits.

#include <functional>

#include "foundation/thread.h"
#include "foundation/unique_fd.h"

struct KavrixSocketPair {
  LUniqueFd ours;
  LUniqueFd peer;
};

KavrixSocketPair KavrixMakeSocketPair();

// Shrinks both buffers of the pair so that a few kilobytes fill them.
void KavrixShrinkBuffers(const KavrixSocketPair& pair);

class KavrixFunctionThread : public LThread {
 public:
  explicit KavrixFunctionThread(std::function<void(LThread*)> body) : body_(std::move(body)) {}
  ~KavrixFunctionThread() override { StopThreadNow(); }

 protected:
  void ThreadFunction() override { body_(this); }

 private:
  std::function<void(LThread*)> body_;
};
