#include "service/stop_semaphore.h"

#include <sys/ipc.h>
#include <sys/sem.h>

#include <cerrno>

#include "foundation/sleep.h"

namespace {

constexpr uint32_t kPollMs = 200;

// semctl's fourth argument; the C library leaves the declaration to callers.
union SemaphoreArgument {
  int val;
  semid_ds* buf;
  unsigned short* array;
};

key_t KeyOf(std::string_view name) { return static_cast<key_t>(LServiceSemaphoreKey(name)); }

}  // namespace

uint32_t LServiceSemaphoreKey(std::string_view name) {
  uint32_t key = 11223;
  for (char c : name) {
    key = key * 32 + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
  }
  return key == 0 ? 1 : key;
}

bool LServiceCreateSemaphore(std::string_view name) {
  const key_t key = KeyOf(name);
  int id = semget(key, 1, IPC_CREAT | IPC_EXCL | 0666);
  if (id < 0 && errno == EEXIST) id = semget(key, 1, 0);
  if (id < 0) return false;
  if (semctl(id, 0, GETVAL) < 0) return false;
  SemaphoreArgument value{};
  value.val = 1;
  return semctl(id, 0, SETVAL, value) == 0;
}

bool LServiceWaitSemaphore(std::string_view name, uint32_t timeoutMs) {
  const int id = semget(KeyOf(name), 1, 0);
  if (id < 0) return true;
  uint32_t remaining = timeoutMs;
  for (;;) {
    const int value = semctl(id, 0, GETVAL);
    if (value <= 0) return true;  // removed (read fails) or released
    LSleepMilliseconds(static_cast<int>(kPollMs));
    if (timeoutMs == kLServiceWaitForever) continue;
    if (remaining <= kPollMs) return false;
    remaining -= kPollMs;
  }
}

bool LServiceClearSemaphore(std::string_view name) {
  const int id = semget(KeyOf(name), 1, 0);
  if (id < 0) return errno == ENOENT;
  return semctl(id, 0, IPC_RMID) == 0;
}
