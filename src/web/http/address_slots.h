#pragma once
// How many connections one client address may hold open at once. A browser
// opens six to eight; a client that opens hundreds means to starve the
// server of threads and descriptors, and the extra ones are closed at once.
// The machine's own 127.0.0.1 is not limited: a reverse proxy in front of
// the panel brings every browser and station from there, and limits its
// own clients.

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>

class LAddressSlots {
 public:
  static constexpr int kMaxConnectionsPerAddress = 32;
  // Refusals are logged at most once in this time, however many come.
  static constexpr std::chrono::minutes kRefusalLogInterval{1};

  LAddressSlots() = default;
  LAddressSlots(const LAddressSlots&) = delete;
  LAddressSlots& operator=(const LAddressSlots&) = delete;

  // Tests lower the limit; connections already open keep their slots.
  void SetLimit(int limit) { limit_ = limit; }
  // The connections of `address` now open.
  int OpenCount(std::uint32_t address);

 private:
  friend class LAddressSlot;
  bool Take(std::uint32_t address);
  void Give(std::uint32_t address);

  std::mutex mutex_;  // guards every member below
  std::map<std::uint32_t, int> open_;
  int limit_ = kMaxConnectionsPerAddress;
  bool logged_ = false;
  std::chrono::steady_clock::time_point lastLog_{};
};

// One connection's slot, given back when the object ends.
class LAddressSlot {
 public:
  LAddressSlot() = default;
  ~LAddressSlot() { Release(); }
  LAddressSlot(LAddressSlot&& other) noexcept;
  LAddressSlot& operator=(LAddressSlot&&) = delete;
  LAddressSlot(const LAddressSlot&) = delete;

  // False (logged at most once a minute) when `address` has all its slots.
  [[nodiscard]] bool Acquire(LAddressSlots& slots, std::uint32_t address);
  void Release();

 private:
  LAddressSlots* slots_ = nullptr;
  std::uint32_t address_ = 0;
};
