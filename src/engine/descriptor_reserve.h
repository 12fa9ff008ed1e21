#pragma once
// One descriptor held back for the moment the process runs out of them.
// Writing a log line opens the day's log file, which needs a descriptor of
// its own: without one held back, the line that says the descriptors ran
// out is the one line that can never be written.

#include "foundation/unique_fd.h"

class LDescriptorReserve {
 public:
  // Holds a descriptor on /dev/null (none when even that fails).
  LDescriptorReserve();
  LDescriptorReserve(const LDescriptorReserve&) = delete;
  LDescriptorReserve& operator=(const LDescriptorReserve&) = delete;

  bool IsHeld() const { return fd_.IsValid(); }
  // Gives the descriptor up for whatever comes next on this thread...
  void Release() { fd_.Reset(); }
  // ...and takes one again; false while none is free.
  bool Restore();

 private:
  LUniqueFd fd_;
};
