#include "web/http/address_slots.h"

#include <netinet/in.h>

#include "engine/ip_socket_tcp.h"
#include "foundation/log.h"

int LAddressSlots::OpenCount(std::uint32_t address) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = open_.find(address);
  return found == open_.end() ? 0 : found->second;
}

bool LAddressSlots::Take(std::uint32_t address) {
  if (address == INADDR_LOOPBACK) return true;
  std::lock_guard<std::mutex> lock(mutex_);
  int& open = open_[address];
  if (open < limit_) {
    ++open;
    return true;
  }
  const int already = open;
  if (already == 0) open_.erase(address);
  const auto now = std::chrono::steady_clock::now();
  if (!logged_ || now - lastLog_ >= kRefusalLogInterval) {
    logged_ = true;
    lastLog_ = now;
    const std::string host = LIPv4Peer{address, 0}.ToText();
    LOGWARNF("Connections from %s are refused: %d of its connections are open already.",
             host.substr(0, host.rfind(':')).c_str(), already);
  }
  return false;
}

void LAddressSlots::Give(std::uint32_t address) {
  if (address == INADDR_LOOPBACK) return;
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = open_.find(address);
  if (found == open_.end()) return;
  if (--found->second <= 0) open_.erase(found);
}

LAddressSlot::LAddressSlot(LAddressSlot&& other) noexcept
    : slots_(other.slots_), address_(other.address_) {
  other.slots_ = nullptr;
}

bool LAddressSlot::Acquire(LAddressSlots& slots, std::uint32_t address) {
  Release();
  if (!slots.Take(address)) return false;
  slots_ = &slots;
  address_ = address;
  return true;
}

void LAddressSlot::Release() {
  if (slots_ != nullptr) slots_->Give(address_);
  slots_ = nullptr;
}
