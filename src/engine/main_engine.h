#pragma once
// MainEngine: the server core of the service process (and of the desktop
// process when the service cannot be reached). It owns the web server - the
// one TCP listener whose connections carry both the web control panel and the
// KavrixStation sessions - and the maintenance thread.
//
// How to get one (the service and desktop roles do exactly this):
//
//   #include "service/engine_assembly.h"
//   std::unique_ptr<MainEngine> engine = LCreateServiceEngine(&notifyHandler);
//   engine->Start();              // "Connected" reset, listener, maintenance
//   engine->Control(1, nullptr, 0);   // settings changed (control channel type 1)
//   engine->Stop();               // also done by the destructor
//
// LCreateServiceEngine builds the real web server (document folder: the
// shared sub-folder "Web", replaced by "webcontrol" on the first Start) and
// the real maintenance thread; the handler may be null. Tests may build a
// MainEngine directly from their own parts.
//
// Threads: Start, Stop and Control may be called from any thread and are
// serialised by the engine's own mutex; none of them may be called from a
// signal handler (they take locks and join threads), so a SIGTERM handler
// must hand the stop to an ordinary thread. Stop is idempotent and may be
// called on an engine that never started; Start after Stop starts it again.

#include <cstdint>
#include <memory>
#include <mutex>

#include "engine/engine_notify.h"
#include "engine/engine_parts.h"
#include "engine/settings_change.h"

class MainEngine {
 public:
  MainEngine(LEngineNotifyHandler* notifyHandler, std::unique_ptr<LEngineWebServer> webServer,
             std::unique_ptr<LEngineMaintenanceThread> maintenance);
  ~MainEngine();
  MainEngine(const MainEngine&) = delete;
  MainEngine& operator=(const MainEngine&) = delete;

  // Logs "Starting server", clears "Connected" on every user record, starts
  // the web server's listener and the maintenance thread (priority -10), logs
  // "Server Started"; from then on LRequestSettingsChanged reaches Control. Does nothing when already started.
  void Start();
  // Stops the thread of LRequestSettingsChanged (before the engine's lock,
  // which its Control call takes), the maintenance thread, logs "Stopping
  // server", stops the listener
  // and every connection thread. Does nothing when not started.
  void Stop();
  // Code 1 (settings changed): logs "Restarting server"; when
  // "Routing"/"LocalPort" or "Routing"/"HttpsPort" differs from the port the
  // web server runs on, logs
  // "Restarting web server" and restarts the listener, cutting every open
  // connection; then logs "Server Started". Other codes are ignored, and so
  // is code 1 while the engine is stopped. `data`/`size` are the command's
  // payload (unused by code 1).
  void Control(std::uint32_t code, const void* data, std::uint32_t size);

  bool IsStarted() const;
  LEngineNotifyHandler* NotifyHandler() const { return notifyHandler_; }

 private:
  // Constant after construction.
  LEngineNotifyHandler* const notifyHandler_;
  const std::unique_ptr<LEngineWebServer> webServer_;
  const std::unique_ptr<LEngineMaintenanceThread> maintenance_;
  // Runs Control(1) for LRequestSettingsChanged while the engine runs.
  LSettingsChangeThread settingsChange_;

  // Guards started_ and serialises Start, Stop and Control, so that a
  // settings change arriving during a stop cannot restart the listener.
  mutable std::mutex mutex_;
  bool started_ = false;
};
