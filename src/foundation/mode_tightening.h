#pragma once
// Narrows the modes of a folder tree the server owns to those of
// file_modes.h: a data folder made before (under umask 0, or copied in by
// hand) may hold records and sessions that every local account can read.
// Only bits are taken away (and the set-group-ID bit given to a folder that
// loses some), never added: a file kept stricter stays so. Links are never
// followed and neither they nor sockets or pipes are touched; entries of
// another owner are left to root.

#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct LTreeModes {
  mode_t file;
  mode_t folder;
};

// A sub-folder of the root (a plain name) whose tree keeps other modes.
struct LTreeModesException {
  std::string name;
  LTreeModes modes;
};

struct LModeTightening {
  int narrowed = 0;  // files and folders whose mode was narrowed
  int failed = 0;    // ones that were too wide but could not be changed
};

// Walks `root` and everything under it; `stopRequested` is asked before each
// entry and ends the walk early when true.
LModeTightening LTightenTreeModes(const std::string& root, LTreeModes modes,
                                  const std::vector<LTreeModesException>& exceptions,
                                  const std::function<bool()>& stopRequested);

// The mode an entry of `mode` (st_mode) gets, or the same mode when it is
// not wider than `modes` allow.
mode_t LNarrowedMode(mode_t mode, LTreeModes modes);
