#pragma once
// Process-wide signal handling: fatal signals are recorded and then end the
// process, SIGPIPE is ignored (every send says MSG_NOSIGNAL or checks its
// result), finished fire-and-forget children are reaped, and SIGTERM asks the
// service to shut down.
//
// Handlers run on whichever thread the kernel picks, in the middle of any
// code, so they only touch lock-free atomics and make system calls -- with
// the one deliberate exception documented at LDebugSignalHandler.

#include <sys/types.h>

#include "foundation/signal_object.h"

// Installs the handlers of every process of the program: SIGQUIT, SIGILL,
// SIGFPE and SIGSEGV go to LDebugSignalHandler (every signal blocked while it
// runs, restartable system calls), SIGPIPE is ignored, SIGCHLD goes to
// LNullSignalHandler. Called first thing in main.
void LInstallProcessSignalHandlers();

// Records the fatal signal, then restores the default action and raises the
// signal again, so the process ends by that signal (with a core dump where
// enabled) instead of resuming the faulting code. In the service the signal
// number is stored under "Errors"/"Exception" first. That store is not
// async-signal-safe: should the faulting thread hold the settings lock the
// write would hang, so an alarm of a few seconds ends the process then.
void LDebugSignalHandler(int signalNumber);

// Reaps finished children registered with LRegisterUnwaitedChild, without
// blocking. Every other child is left alone: popen/pclose, system() and the
// tests wait for their own children and must get their exit status.
void LNullSignalHandler(int signalNumber);
// Registers a child that nobody will wait for; false when the table is full
// (the child then stays a zombie until the process ends).
bool LRegisterUnwaitedChild(pid_t pid);

// The running-as-service flag: set by the daemon and by -foreground; read by
// the fatal signal handler.
void LServiceSetRunningAsService(bool on);
bool LServiceIsRunningAsService();

// SIGTERM (and SIGINT in the foreground) only sets the termination flag and
// signals the termination event (one byte written to a pipe); the service's
// dispatcher thread waits on that event, and the shutdown runs from there.
void LServiceTermSignalHandler(int signalNumber);
// Creates the termination event, then routes SIGTERM (and SIGINT when
// `alsoInterrupt`) to LServiceTermSignalHandler.
void LServiceInstallTermSignalHandler(bool alsoInterrupt);
bool LServiceTermRequested();
// The termination event to wait on; its descriptor is -1 before the handler
// is installed (waits then ignore it).
LSignalObjectRef LServiceTermSignal();
