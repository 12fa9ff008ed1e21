#pragma once
// The service role of the program: as a daemon (-service, or no argument
// without a display) or in the foreground (-foreground).

#include <functional>

class LServiceEngineCore;

// The common run of both forms, once the engine object exists: lay down the
// default leave types (model/teams.h), start the control listener and the
// engine, report the start, run the GLib main loop on this thread while the
// ServiceListner thread runs the dispatcher, and shut down in order when the
// dispatcher returns. Returns the exit status:
// 0 after a stop, 1 when the ServiceListner thread cannot be created.
int LServiceRun(LServiceEngineCore& service, const std::function<void()>& reportStarted);

// The daemon. The calling process ends inside (status 0 once the daemon
// reports "started", 1 when it dies first); the daemon itself returns its
// exit status here when it stops.
int StartService();

// The service role in the foreground: no fork, no root needed, log lines
// also on standard error, SIGTERM and SIGINT stop it with status 0. Prints
// "KavrixServer is running: open http://127.0.0.1:<port>/" once started.
int LServiceRunForeground();
