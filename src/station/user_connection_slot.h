#pragma once
// The count of open station connections per user, so that a logon beyond
// the limit of station_limits.h is refused. A slot is held from the accepted
// logon until the connection's session has ended.

#include <string>
#include <string_view>

class LKXUserConnectionSlot {
 public:
  LKXUserConnectionSlot() = default;
  // Gives the slot back, if one was taken.
  ~LKXUserConnectionSlot();
  LKXUserConnectionSlot(const LKXUserConnectionSlot&) = delete;
  LKXUserConnectionSlot& operator=(const LKXUserConnectionSlot&) = delete;

  // Takes one of the `limit` slots of `user` (letter case ignored, as logon
  // ignores it); false when all are taken. At most once per object.
  [[nodiscard]] bool Acquire(std::string_view user, int limit);

 private:
  std::string key_;
  bool held_ = false;
};
