#pragma once
// What MainEngine needs from the parts it drives. The web server lives in
// src/web/ and the maintenance thread in src/maintenance/, both layered above
// the engine, so the engine talks to them only through these two interfaces
// and is handed the real objects when it is built (LCreateServiceEngine in
// src/service/engine_assembly.h).

#include <cstdint>

// The web server: one TCP listener plus the connection threads it spawns.
class LEngineWebServer {
 public:
  virtual ~LEngineWebServer() = default;
  // Reads the configured port, (re)starts the listener on it. Calling it
  // again while running restarts the listener; connections are untouched.
  virtual void Start() = 0;
  // Stops and joins the listener thread; no new connections are accepted.
  virtual void StopListener() = 0;
  // Stops and joins every connection thread; returns when all are gone.
  virtual void StopConnectionsNow() = 0;
  // The port the last Start() read from "Routing"/"LocalPort" (0 before).
  virtual std::uint16_t ConfiguredPort() const = 0;
  // The port the last Start() read from "Routing"/"HttpsPort" (0: off).
  virtual std::uint16_t ConfiguredHttpsPort() const { return 0; }
};

// The maintenance thread.
class LEngineMaintenanceThread {
 public:
  virtual ~LEngineMaintenanceThread() = default;
  // Starts the thread with `priority` and publishes it as the running
  // maintenance thread so that other parts can wake it.
  virtual void StartMaintenance(int priority) = 0;
  // Withdraws the published pointer first, then stops and joins the thread.
  virtual void StopMaintenance() = 0;
};
