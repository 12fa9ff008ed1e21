// kavrixcontrol: talks to the running service over its control channel.
//
//   kavrixcontrol [-socket PATH] [-settings-changed] [-stop] [-lines N]
//
// Without a command it prints the service's log lines as they come
// ("HH:MM:SS message"), until the service closes the channel or the tool is
// interrupted. -settings-changed sends the settings-changed command and then
// keeps printing. -stop asks the service to stop and waits until it has.
// -lines N ends after N log lines. The socket defaults to the service's own
// in the shared data folder (KAVRIX_ROOT is honoured).
//
// Exit status: 0 done; 1 no service listens; 2 usage; 3 the service refused
// the command (only root and the data folder's group may change or stop it);
// 4 the connection broke.

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/socket_ops.h"
#include "service/control_wire.h"
#include "service/named_pipe.h"
#include "service/service_paths.h"

namespace {

constexpr int kSendMs = 5000;
constexpr size_t kReadChunk = 8192;

enum Exit { kDone = 0, kNoService = 1, kUsage = 2, kRefused = 3, kBroken = 4 };

struct Options {
  std::string socketPath;
  bool settingsChanged = false;
  bool stop = false;
  long lines = -1;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "-socket" && i + 1 < argc) {
      options->socketPath = argv[++i];
    } else if (argument == "-settings-changed") {
      options->settingsChanged = true;
    } else if (argument == "-stop") {
      options->stop = true;
    } else if (argument == "-lines" && i + 1 < argc) {
      options->lines = strtol(argv[++i], nullptr, 10);
    } else {
      return false;
    }
  }
  return true;
}

bool Send(int fd, const std::string& bytes) {
  return ProcessSend(nullptr, fd, bytes.data(), bytes.size(), kSendMs) == kLProcessDone;
}

// Prints log lines until the connection ends or enough lines came. True
// when the service closed the connection.
bool PrintLog(int fd, long lines) {
  LControlMessageReader reader(false);
  char chunk[kReadChunk];
  long printed = 0;
  for (;;) {
    if (lines >= 0 && printed >= lines) return false;
    pollfd wait{fd, POLLIN, 0};
    if (poll(&wait, 1, -1) < 0 && errno != EINTR) return true;
    const ssize_t got = recv(fd, chunk, sizeof(chunk), MSG_DONTWAIT);
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) return true;
    if (got > 0) reader.Feed(chunk, static_cast<size_t>(got));
    LControlMessage message;
    for (;;) {
      const LControlMessageReader::Status status = reader.Next(&message);
      if (status == LControlMessageReader::Status::kNeedMore) break;
      if (status != LControlMessageReader::Status::kMessage) return true;
      if (message.header.type != kLServiceLogLine || message.header.size <= 1) continue;
      const auto [timeText, text] = LControlSplitLogLine(message.payload, message.header.extra);
      printf("%s %s\n", timeText.c_str(), text.c_str());
      fflush(stdout);
      if (lines >= 0 && ++printed >= lines) return false;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    fprintf(stderr, "Usage: kavrixcontrol [-socket PATH] [-settings-changed] [-stop] [-lines N]\n");
    return kUsage;
  }
  if (options.socketPath.empty()) options.socketPath = LNamedPipeRef::MakeFilePath(kLServiceName);
  LUniqueFd socket = LNamedPipeRef::OpenPath(options.socketPath);
  if (!socket) {
    fprintf(stderr, "No KavrixServer service listens on %s\n", options.socketPath.c_str());
    return kNoService;
  }
  uint32_t requestId = 0;
  if (options.settingsChanged && !Send(socket.Get(), LControlMessageBytes(kLServiceCommand, 1, ++requestId, {}))) {
    return kBroken;
  }
  if (options.stop) {
    if (!Send(socket.Get(), LControlMessageBytes(kLServiceStop, 0, 0, {}))) return kBroken;
    // The service closes its channel, listener first, once it has stopped;
    // a refused stop closes only this connection, and the listener still
    // answers.
    (void)PrintLog(socket.Get(), -1);
    if (LNamedPipeRef::OpenPath(options.socketPath)) {
      fprintf(stderr, "The service refused the stop: only root and the data folder's group may stop it\n");
      return kRefused;
    }
    return kDone;
  }
  const bool closed = PrintLog(socket.Get(), options.lines);
  if (closed && options.settingsChanged && LNamedPipeRef::OpenPath(options.socketPath)) {
    fprintf(stderr, "The service refused the command: only root and the data folder's group may send it\n");
    return kRefused;
  }
  return kDone;
}
