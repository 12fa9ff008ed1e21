#include "desktop/gdk_lock.h"

#include <glib.h>

namespace {

GRecMutex gLock;

void Lock() { g_rec_mutex_lock(&gLock); }
void Unlock() { g_rec_mutex_unlock(&gLock); }

}  // namespace

void LGdkThreadsInit() {
  static const bool done = [] {
    g_rec_mutex_init(&gLock);
    gdk_threads_set_lock_functions(G_CALLBACK(Lock), G_CALLBACK(Unlock));
    gdk_threads_init();
    return true;
  }();
  (void)done;
}
