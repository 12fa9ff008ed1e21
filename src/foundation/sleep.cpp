#include "foundation/sleep.h"

#include <cerrno>
#include <ctime>

void LSleepMilliseconds(int ms) {
  timespec request{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
  while (::nanosleep(&request, &request) != 0 && errno == EINTR) {
  }
}
