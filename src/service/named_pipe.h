#pragma once
// The control channel's Unix-domain socket: one per channel name, in the
// shared data folder, so that every desktop user finds the root service.

#include <string>
#include <string_view>

#include "foundation/unique_fd.h"

class LNamedPipeRef {
 public:
  // Shared data folder + "/" + ".spipe." + channel name (the two outer folders
  // of the shared data folder are created on the way).
  static std::string MakeFilePath(std::string_view channelName);
  // Connects to the socket at `path`; the descriptor is non-blocking and
  // close-on-exec, or invalid when nothing listens there.
  static LUniqueFd OpenPath(const std::string& path);
  static LUniqueFd _Open(std::string_view channelName) { return OpenPath(MakeFilePath(channelName)); }
};
