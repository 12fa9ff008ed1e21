#include "station/user_connection_slot.h"

#include <map>
#include <mutex>

namespace {

std::mutex gSlotsMutex;              // guards gSlots
std::map<std::string, int> gSlots;  // lower-case user name -> slots held; no zero entries

std::string SlotKey(std::string_view user) {
  std::string key(user);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

}  // namespace

bool LKXUserConnectionSlot::Acquire(std::string_view user, int limit) {
  if (held_) return false;
  std::string key = SlotKey(user);
  std::lock_guard<std::mutex> lock(gSlotsMutex);
  int& taken = gSlots[key];
  if (taken >= limit) {
    if (taken == 0) gSlots.erase(key);
    return false;
  }
  ++taken;
  key_ = std::move(key);
  held_ = true;
  return true;
}

LKXUserConnectionSlot::~LKXUserConnectionSlot() {
  if (!held_) return;
  std::lock_guard<std::mutex> lock(gSlotsMutex);
  const auto found = gSlots.find(key_);
  if (found != gSlots.end() && --found->second <= 0) gSlots.erase(found);
}
