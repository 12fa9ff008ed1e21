#include "engine/bytes_in_flight.h"

bool LBytesInFlight::Take(std::size_t bytes) {
  std::size_t now = inFlight_.load();
  do {
    if (bytes > capacity_.load() || now > capacity_.load() - bytes) return false;
  } while (!inFlight_.compare_exchange_weak(now, now + bytes));
  return true;
}

bool LBytesInFlightShare::GrowTo(std::size_t bytes) {
  if (bytes <= held_) return true;
  if (!budget_.Take(bytes - held_)) return false;
  held_ = bytes;
  return true;
}
