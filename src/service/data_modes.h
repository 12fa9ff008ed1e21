#pragma once
// At start the service narrows the modes of the data it owns to those of
// foundation/file_modes.h: the shared data folder (records, settings, logs,
// the web root, the default archive) for the service's user and the data
// folder's group, its "SessionData" for the service's user alone, and the
// archive root when "SystemArchiveFolder" puts it elsewhere. What it
// changed is logged in one line. A large archive takes a while to walk, so
// the service runs the walk in a thread of its own and starts meanwhile.

#include <functional>

#include "foundation/mode_tightening.h"
#include "foundation/thread.h"

// The walk; `stopRequested` ends it early.
LModeTightening LTightenDataModes(const std::function<bool()>& stopRequested);

class LDataModesThread : public LThread {
 public:
  ~LDataModesThread() override { StopThreadNow(); }

 protected:
  void ThreadFunction() override;
};
