#pragma once
// The outcome of every wait and socket operation that a stop request can cut
// short. The numeric values are part of the program's habits (callers compare
// with 0 for "go on"), so they are fixed here.

enum LProcessResult : int {
  kLProcessDone = 0,     // the awaited thing happened
  kLProcessStopped = 1,  // the calling thread's stop signal fired
  kLProcessFailed = 2,   // failed, or the time ran out
};
