#pragma once
// One slice of a socket operation: wait up to 200 ms for a socket to become
// ready, or for the calling thread's stop signal.

#include "foundation/process_result.h"

class LThread;
class LWaitBudget;

enum class LSocketSlice {
  kReady,    // the socket reported the event, an error or a hang-up
  kEmpty,    // the slice passed without anything happening
  kStopped,  // the thread's stop flag or stop signal is set
  kFailed,   // the descriptor is not open, or poll itself failed
};

// `events` is POLLIN or POLLOUT. `thread` may be null.
LSocketSlice LWaitSocketSlice(LThread* thread, int fd, short events);
// The slice as poll waits it, which LWaitSocketSlice calls unless a test has
// put a function of its own in its place (nullptr puts poll back): silence
// can then be charged without the time passing.
LSocketSlice LPollSocketSlice(LThread* thread, int fd, short events);
using LSocketSliceFunction = LSocketSlice (*)(LThread* thread, int fd, short events);
void LSetSocketSliceFunction(LSocketSliceFunction slice);

// One slice as a step of a longer operation: kLProcessDone to go on (the
// socket is ready, or the slice was empty and `budget` has time left), or
// the result that ends the operation.
LProcessResult LWaitSocketOrGiveUp(LThread* thread, int fd, short events, LWaitBudget& budget);
