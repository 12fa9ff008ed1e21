#pragma once
// A moment after which a receive gives up even while bytes keep coming. The
// time-outs of the socket operations count silence only, which a peer that
// sends one byte now and then never lets run out; a deadline bounds the
// whole exchange instead. Measured on the steady clock, so that setting the
// system's clock neither cuts a request short nor lets it live longer.

#include <chrono>

class LRecvDeadline {
 public:
  using Clock = std::chrono::steady_clock::time_point (*)();
  static std::chrono::steady_clock::time_point SteadyNow() { return std::chrono::steady_clock::now(); }

  // No deadline: only the silence time-out applies.
  LRecvDeadline() = default;
  // `now` reads the time; tests hand in a clock they move themselves.
  static LRecvDeadline InMs(int ms, Clock now = &SteadyNow) {
    LRecvDeadline deadline;
    deadline.set_ = true;
    deadline.now_ = now;
    deadline.at_ = now() + std::chrono::milliseconds(ms);
    return deadline;
  }

  bool Passed() const { return set_ && now_() >= at_; }

 private:
  bool set_ = false;
  Clock now_ = &SteadyNow;
  std::chrono::steady_clock::time_point at_{};
};
