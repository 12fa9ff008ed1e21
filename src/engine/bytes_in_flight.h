#pragma once
// A server-wide budget of bytes held for data still arriving (request
// bodies, screenshots). Every holder grows its share before it receives
// more; a share that would take the budget past its capacity is refused, so
// that a crowd of peers each announcing a large body cannot make the server
// hold more than the capacity, whatever they announce.

#include <atomic>
#include <cstddef>

class LBytesInFlight {
 public:
  explicit LBytesInFlight(std::size_t capacity) : capacity_(capacity) {}
  LBytesInFlight(const LBytesInFlight&) = delete;
  LBytesInFlight& operator=(const LBytesInFlight&) = delete;

  std::size_t InFlight() const { return inFlight_.load(); }
  std::size_t Capacity() const { return capacity_.load(); }
  // Tests lower the capacity; shares already taken stay.
  void SetCapacity(std::size_t capacity) { capacity_.store(capacity); }

 private:
  friend class LBytesInFlightShare;
  bool Take(std::size_t bytes);
  void Give(std::size_t bytes) { inFlight_.fetch_sub(bytes); }

  std::atomic<std::size_t> capacity_;
  std::atomic<std::size_t> inFlight_{0};
};

// One holder's share of a budget, given back whole when the object ends.
class LBytesInFlightShare {
 public:
  explicit LBytesInFlightShare(LBytesInFlight& budget) : budget_(budget) {}
  ~LBytesInFlightShare() { budget_.Give(held_); }
  LBytesInFlightShare(const LBytesInFlightShare&) = delete;
  LBytesInFlightShare& operator=(const LBytesInFlightShare&) = delete;

  // Grows the share to at least `bytes`; false (the share unchanged) when
  // the budget has not that much left.
  [[nodiscard]] bool GrowTo(std::size_t bytes);
  std::size_t Held() const { return held_; }

 private:
  LBytesInFlight& budget_;
  std::size_t held_ = 0;
};
