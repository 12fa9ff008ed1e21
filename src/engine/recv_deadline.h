#pragma once
// A moment after which a receive gives up even while bytes keep coming. The
// time-outs of the socket operations count silence only, which a peer that
// sends one byte now and then never lets run out; a deadline bounds the
// whole exchange instead. Measured on the steady clock, so that setting the
// system's clock neither cuts a request short nor lets it live longer.

#include <chrono>

class LRecvDeadline {
 public:
  // No deadline: only the silence time-out applies.
  LRecvDeadline() = default;
  static LRecvDeadline InMs(int ms) {
    LRecvDeadline deadline;
    deadline.set_ = true;
    deadline.at_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    return deadline;
  }

  bool Passed() const { return set_ && std::chrono::steady_clock::now() >= at_; }

 private:
  bool set_ = false;
  std::chrono::steady_clock::time_point at_{};
};
