#pragma once
// The GDK lock: held by every piece of window work that does not come from
// a GDK event (those already run under it), such as callbacks of plain GLib
// sources. It is not recursive: never take it inside a GTK signal handler.

#include <gdk/gdk.h>

class LGdkLock {
 public:
  LGdkLock() { gdk_threads_enter(); }
  ~LGdkLock() {
    gdk_flush();
    gdk_threads_leave();
  }
  LGdkLock(const LGdkLock&) = delete;
  LGdkLock& operator=(const LGdkLock&) = delete;
};

// Sets up GDK threading with a recursive lock before gtk_init: code that
// already holds the lock (a GTK signal handler calling into a log line that
// is displayed at once, a nested dialog loop) may take it again without
// dead-locking itself. Call once, on the thread that runs the GTK loop.
void LGdkThreadsInit();
