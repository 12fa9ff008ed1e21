#include "desktop/control_window_factory.h"

#include <gtk/gtk.h>

#include "desktop/gdk_lock.h"
#include "desktop/main_dialog.h"

namespace {

void DiscardMessage(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

bool InitToolkit() {
  static const bool ready = [] {
    LGdkThreadsInit();
    if (!gtk_init_check(nullptr, nullptr)) return false;
    // Toolkit warnings would only clutter the terminal of a desktop program.
    for (const char* domain : {static_cast<const char*>(nullptr), "Glib", "ALSA", "Gtk", "Gdk"}) {
      g_log_set_handler(domain, static_cast<GLogLevelFlags>(255), DiscardMessage, nullptr);
    }
    return true;
  }();
  return ready;
}

}  // namespace

std::unique_ptr<LControlWindow> LGtkControlWindowCreate(MainEngineProxy& proxy, const LServicePaths& paths) {
  if (!InitToolkit()) return nullptr;
  return std::make_unique<MainDialog>(proxy, paths);
}
