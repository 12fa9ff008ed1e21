#pragma once
// The desktop's engine: the service reached over the control channel, or,
// when it can be neither found nor started, the engine in this process.

#include "engine/main_engine.h"
#include "service/engine_proxy.h"

inline constexpr char kLProxyForegroundFallback[] =
    "Unable to start the background service! Will attempt to run in foreground.";

class MainEngineProxy : public LServiceEngineProxy<MainEngine> {
 public:
  // The factory defaults to the service's own engine (engine_assembly.h).
  explicit MainEngineProxy(LServicePaths paths = {}, Factory factory = nullptr);

  // Shows the firewall notice when the port is new, drops any earlier
  // connection or engine, opens the channel (starting the service through
  // its init script once when it is not there), and reads from it; when it
  // is still not open, runs the engine here. With KAVRIX_ROOT set and the
  // real installation paths, the service is not installed: started by its
  // init script it would serve the fixed root, not this one.
  void Start();
  // "Routing"/"LocalPort" against "PreviousLocalPort": a port the desktop
  // has not announced yet gets the "WebServer Starting" notice.
  static void OpenWebPorts();
};
