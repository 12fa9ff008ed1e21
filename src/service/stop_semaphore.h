#pragma once
// The stop handshake between a stopping desktop and the service: the desktop
// creates a System V semaphore with the value 1 and waits until it is gone or
// 0; the service removes it once its engine has stopped. Both sides find the
// same semaphore by a key derived from its name, so the derivation must give
// the same number in every process and every build.

#include <sys/types.h>

#include <cstdint>
#include <string_view>

// Waits for ever in LServiceWaitSemaphore.
inline constexpr uint32_t kLServiceWaitForever = 0xFFFFFFFFu;

// 11223, then key * 32 + byte (as signed char) for every byte, in 32-bit
// unsigned arithmetic; 0 becomes 1 because 0 is IPC_PRIVATE.
uint32_t LServiceSemaphoreKey(std::string_view name);

// Creates the semaphore (or opens the existing one) and sets its value to 1.
[[nodiscard]] bool LServiceCreateSemaphore(std::string_view name);
// True when the semaphore does not exist, vanishes or reaches 0 within
// `timeoutMs` (polled every 200 ms); false when the time runs out.
[[nodiscard]] bool LServiceWaitSemaphore(std::string_view name, uint32_t timeoutMs);
// Removes the semaphore; true when it was removed or did not exist.
bool LServiceClearSemaphore(std::string_view name);
