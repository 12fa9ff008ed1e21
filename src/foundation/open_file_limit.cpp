#include "foundation/open_file_limit.h"

#include <sys/resource.h>

#include <climits>

long LRaiseOpenFileLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return -1;
  if (limit.rlim_cur < limit.rlim_max) {
    rlimit raised = limit;
    raised.rlim_cur = limit.rlim_max;
    if (::setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
  }
  return limit.rlim_cur > static_cast<rlim_t>(LONG_MAX) ? LONG_MAX : static_cast<long>(limit.rlim_cur);
}
