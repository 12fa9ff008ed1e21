#include "service/desktop_role.h"

#include <glib-unix.h>
#include <glib.h>
#include <unistd.h>

#include <csignal>
#include <memory>
#include <vector>

#include "foundation/log.h"
#include "service/console_window.h"
#include "service/main_engine_proxy.h"
#include "service/run_once.h"
#include "service/service_control.h"
#include "service/service_stop.h"
#include "service/service_process.h"

namespace {

constexpr size_t kInputChunk = 512;
constexpr size_t kMaxCommandLine = 4096;

struct MainLoopUnref {
  void operator()(GMainLoop* loop) const { g_main_loop_unref(loop); }
};

// What the main loop's callbacks share; lives on LDesktopRun's stack for the
// whole loop.
struct DesktopState {
  const LDesktopOptions* options;
  GMainLoop* loop;
  LRunOnceServer* runOnce;
  LConsoleControlWindow* window;
  LControlWindow* graphical;
  MainEngineProxy* proxy;
  std::string input;
  guint runOnceWatch = 0;
  guint inputWatch = 0;
};

// The window's Exit: the background service stops with it.
void ExitAndStopService(DesktopState& state) {
  if (!state.proxy->RunsInProcess() &&
      LServiceFindProcess(state.options->paths.procFolder, kLServiceName) != LServiceSearch::kNotRunning) {
    if (!LServiceStop(state.options->paths)) LOGERROR("The background service did not stop");
  }
  g_main_loop_quit(state.loop);
}

void RunCommand(DesktopState& state, const std::string& command) {
  if (command == "settings") {
    if (!state.proxy->SendSettingsChanged()) LOGERROR("The settings change could not be sent to the service");
  } else if (command == "exit") {
    ExitAndStopService(state);
  } else if (command == "close") {
    g_main_loop_quit(state.loop);
  } else if (!command.empty()) {
    state.window->QueueLogLine("", "Commands: settings, exit, close", kLLogLevelPlain);
  }
}

gboolean GSInputCallback(gint fd, GIOCondition, gpointer data) {
  auto& state = *static_cast<DesktopState*>(data);
  char chunk[kInputChunk];
  const ssize_t got = read(fd, chunk, sizeof(chunk));
  // End of input (a desktop started from a menu has none): the window keeps
  // running; only the input goes.
  if (got <= 0) {
    state.inputWatch = 0;
    return G_SOURCE_REMOVE;
  }
  state.input.append(chunk, static_cast<size_t>(got));
  size_t end;
  while ((end = state.input.find('\n')) != std::string::npos) {
    const std::string line = state.input.substr(0, end);
    state.input.erase(0, end + 1);
    RunCommand(state, line);
  }
  if (state.input.size() > kMaxCommandLine) state.input.clear();
  return G_SOURCE_CONTINUE;
}

gboolean GSRunOnceServerCallback(gint, GIOCondition, gpointer data) {
  auto& state = *static_cast<DesktopState*>(data);
  std::vector<std::string> arguments;
  bool endWatch = false;
  if (state.runOnce->AcceptOne(&arguments, &endWatch) && arguments.size() < 2) {
    if (state.graphical != nullptr) {
      state.graphical->Raise();
    } else {
      state.window->Raise();
    }
  }
  if (!endWatch) return G_SOURCE_CONTINUE;
  state.runOnceWatch = 0;
  return G_SOURCE_REMOVE;
}

gboolean GSQuitCallback(gpointer data) {
  auto& state = *static_cast<DesktopState*>(data);
  if (state.graphical != nullptr) {
    state.graphical->Close();
  } else {
    g_main_loop_quit(state.loop);
  }
  return G_SOURCE_CONTINUE;
}

}  // namespace

int LDesktopRun(int argc, const char* const* argv, const LDesktopOptions& options) {
  LRunOnceServer runOnce;
  switch (runOnce.Acquire(options.runOncePath.empty() ? LRunOncePath() : options.runOncePath, argc, argv)) {
    case LRunOnceServer::Result::kHandedOver:
      return 0;
    case LRunOnceServer::Result::kFailed:
      LOGERROR("Cannot open the desktop's run-once socket");
      return 1;
    case LRunOnceServer::Result::kFirst:
      break;
  }
  LConsoleControlWindow window(options.outputFd);
  gLLog().SetStatusWindow(&window);
  std::unique_ptr<GMainLoop, MainLoopUnref> loop(g_main_loop_new(nullptr, FALSE));
  {
    MainEngineProxy proxy(options.paths);
    proxy.SetStatusWindow(&window);
    proxy.SetControlNotifyHandler(&window);
    std::unique_ptr<LControlWindow> graphical =
        options.windowFactory != nullptr ? options.windowFactory(proxy, options.paths) : nullptr;
    if (graphical != nullptr) {
      gLLog().SetStatusWindow(graphical.get());
      proxy.SetStatusWindow(graphical.get());
      proxy.SetControlNotifyHandler(graphical.get());
    }
    DesktopState state{&options, loop.get(), &runOnce, &window, graphical.get(), &proxy, {}, 0, 0};
    state.runOnceWatch = g_unix_fd_add(runOnce.Fd(), G_IO_IN, GSRunOnceServerCallback, &state);
    if (graphical == nullptr) state.inputWatch = g_unix_fd_add(options.inputFd, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP),
                                           GSInputCallback, &state);
    const guint interruptWatch = g_unix_signal_add(SIGINT, GSQuitCallback, &state);
    const guint terminateWatch = g_unix_signal_add(SIGTERM, GSQuitCallback, &state);
    if (graphical != nullptr) {
      LControlWindowTakeMessages(graphical.get());
      graphical->Run();
      LControlWindowTakeMessages(nullptr);
    } else {
      proxy.Start();
      g_main_loop_run(loop.get());
    }
    proxy.Stop();
    LOG("KavrixServer Exit");
    for (const guint watch : {state.runOnceWatch, state.inputWatch, interruptWatch, terminateWatch}) {
      if (watch != 0) g_source_remove(watch);
    }
    // Notifications still queued for the window are delivered (and dropped)
    // before the proxy they name goes.
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    gLLog().SetStatusWindow(nullptr);
    proxy.SetStatusWindow(nullptr);
  }
  gLLog().SetStatusWindow(nullptr);
  return 0;
}
