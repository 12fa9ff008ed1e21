#include "service/service_host.h"

#include <glib.h>
#include <sys/prctl.h>

#include <cstdio>
#include <memory>

#include "engine/main_engine.h"
#include "engine/port_settings.h"
#include "foundation/log.h"
#include "foundation/paths.h"
#include "foundation/thread.h"
#include "model/teams.h"
#include "service/engine_assembly.h"
#include "service/daemon.h"
#include "service/data_modes.h"
#include "service/named_pipe.h"
#include "service/root_prompt.h"
#include "service/service_engine.h"
#include "service/service_paths.h"
#include "service/signal_handlers.h"
#include "service/stop_semaphore.h"

namespace {

using LKXServiceEngine = LServiceEngine<MainEngine>;

struct MainLoopUnref {
  void operator()(GMainLoop* loop) const { g_main_loop_unref(loop); }
};

gboolean QuitMainLoop(gpointer loop) {
  g_main_loop_quit(static_cast<GMainLoop*>(loop));
  return G_SOURCE_REMOVE;
}

// Runs the dispatcher and ends the main loop when it returns. The quit goes
// through an idle callback of the loop itself: a dispatcher that returns at
// once (a SIGTERM during start-up) might otherwise quit the loop before it
// began to run, and the loop would then run for ever.
class ServiceListner : public LThread {
 public:
  ServiceListner(LServiceEngineCore& service, GMainLoop* loop) : service_(service), loop_(loop) {}
  ~ServiceListner() override { StopThreadNow(); }

 protected:
  void ThreadFunction() override {
    service_.Wait(this);
    g_idle_add(QuitMainLoop, loop_);
  }

 private:
  LServiceEngineCore& service_;
  GMainLoop* const loop_;
};

}  // namespace

int LServiceRun(LServiceEngineCore& service, const std::function<void()>& reportStarted) {
  // An office set up through the web wizard may never open the control
  // window, so the service lays down the default leave types as well; the
  // flag then keeps types an administrator deleted from coming back.
  if (!KXInitDefaultLeaveTypes()) LOGERROR("The default leave types could not be created");
  LDataModesThread dataModes;
  if (!dataModes.Start(0)) LOGERROR("Unable to start the thread that narrows the data folder's modes.");
  service.Start();
  reportStarted();
  // GLib's threading needs no initialisation of its own any more, and the
  // service has no display, so there is no GDK to prepare.
  std::unique_ptr<GMainLoop, MainLoopUnref> loop(g_main_loop_new(nullptr, FALSE));
  ServiceListner listner(service, loop.get());
  if (!listner.Start(0)) {
    service.Shutdown();
    return 1;
  }
  g_main_loop_run(loop.get());
  service.Shutdown();
  // A desktop that sent the stop message waits for this semaphore to go. A
  // stop by SIGTERM leaves it alone: no desktop waits then.
  if (service.IsStopRequested()) LServiceClearSemaphore(kLServiceStopSemaphore);
  listner.Join();
  return 0;
}

int StartService() {
  if (!LIsUserRoot()) {
    printf("Daemon cannot be started without root permissions.\n");
  }
  LUniqueFd startedPipe = LServiceForkDaemon();
  if (!LServiceDetachSession()) return 1;
  LServiceSetRunningAsService(true);
  LServiceInstallTermSignalHandler(false);
  // The desktop and the stop function find the service by this name, also
  // when it runs from a file of another name (a build folder).
  prctl(PR_SET_NAME, kLServiceName, 0, 0, 0);
  LKXServiceEngine service(LNamedPipeRef::MakeFilePath(kLServiceName), LCreateServiceEngine);
  return LServiceRun(service, [&startedPipe] { LServiceReportStarted(startedPipe); });
}

int LServiceRunForeground() {
  LServiceSetRunningAsService(true);
  LServiceInstallTermSignalHandler(true);
  LKXServiceEngine service(LNamedPipeRef::MakeFilePath(kLServiceName), LCreateServiceEngine);
  service.SetEchoLogToStandardError(true);
  return LServiceRun(service, [] {
    printf("KavrixServer is running: open http://127.0.0.1:%u/\n", unsigned{LReadLocalPortSetting()});
    fflush(stdout);
  });
}
