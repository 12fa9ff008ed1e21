#pragma once
// The stop test of jobs that run on a thread or, in tests and tools, on
// none.

#include "foundation/thread.h"

// Whether a job run on `thread` should end now; a job run without a thread
// (nullptr) runs to its end.
inline bool LStopRequested(const LThread* thread) { return thread != nullptr && thread->IsStopRequested(); }
