#include "web/static_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "engine/socket_ops.h"
#include "foundation/date_time.h"
#include "foundation/file_lock.h"
#include "foundation/unique_fd.h"
#include "web/http_date.h"
#include "web/http_responses.h"
#include "web/mime_types.h"

namespace {

constexpr int kFileLockTimeoutMs = 1000;
constexpr int kSendTimeoutMs = 20000;

LStaticFileOutcome SendFixed(LThread* thread, int fd, std::string_view text,
                             LStaticFileOutcome outcome) {
  const LProcessResult sent = ProcessSend(thread, fd, text.data(), text.size(), kSendTimeoutMs);
  return sent == kLProcessDone ? outcome : LStaticFileOutcome::kSendFailed;
}

// Streams `size` bytes of the file. A file that ends early (cut short by a
// writer that ignored the lock) ends the connection: the promised length can
// no longer be kept, and a browser would wait for the missing bytes.
bool SendContent(LThread* thread, int socketFd, int fileFd, off_t size) {
  char piece[kLSendPieceBytes];
  off_t left = size;
  while (left > 0) {
    const ssize_t got = ::read(fileFd, piece, sizeof piece);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    if (ProcessSend(thread, socketFd, piece, static_cast<std::size_t>(got), kSendTimeoutMs) !=
        kLProcessDone) {
      return false;
    }
    left -= got;
  }
  return true;
}

}  // namespace

LStaticFileOutcome LServeStaticFile(LThread* thread, LIPSocketTCP& socket, const std::string& path,
                                    std::string_view ifNoneMatch,
                                    std::string_view ifModifiedSince) {
  const int socketFd = socket.Get();
  // O_NONBLOCK: opening a pipe that someone left in the web root must not
  // hang the connection; it is refused below as not a regular file.
  LUniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat info {};
  if (!file || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return SendFixed(thread, socketFd, kLHttpNotFoundEmpty, LStaticFileOutcome::kNotFound);
  }
  LFileLockGuard lock(file.Get(), LOCK_SH, kFileLockTimeoutMs);
  const std::string tag = LHttpEntityTag(info.st_mtime, info.st_size);
  if (LHttpIfNoneMatchHolds(ifNoneMatch, tag)) {
    return SendFixed(thread, socketFd, kLHttpNotModified, LStaticFileOutcome::kNotModified);
  }
  const std::string now = LHttpDateText(LDateTime::Now().value);
  if (LHttpIfModifiedSinceMatches(ifModifiedSince, now)) {
    return SendFixed(thread, socketFd, kLHttpNotModified, LStaticFileOutcome::kNotModified);
  }
  const std::string header = LHttpFileHeader(info.st_size, LMimeTypeForPath(path), now, tag);
  if (ProcessSend(thread, socketFd, header.data(), header.size(), kSendTimeoutMs) !=
          kLProcessDone ||
      !SendContent(thread, socketFd, file.Get(), info.st_size)) {
    return LStaticFileOutcome::kSendFailed;
  }
  return LStaticFileOutcome::kFileSent;
}

bool LWebletServeFile(LThread* thread, LIPSocketTCP& socket, const std::string& path,
                      std::string_view ifNoneMatch, std::string_view ifModifiedSince) {
  return LServeStaticFile(thread, socket, path, ifNoneMatch, ifModifiedSince) ==
         LStaticFileOutcome::kFileSent;
}

LStaticFileOutcome LServeHandedOutFile(LThread* thread, LIPSocketTCP& socket, const std::string& path,
                                       std::string_view contentType, std::string_view attachmentName) {
  const int socketFd = socket.Get();
  LUniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat info {};
  if (!file || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return SendFixed(thread, socketFd, kLHttpNotFoundEmpty, LStaticFileOutcome::kNotFound);
  }
  LFileLockGuard lock(file.Get(), LOCK_SH, kFileLockTimeoutMs);
  std::string header = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(info.st_size) +
                       "\r\nContent-Type: " + std::string(contentType) +
                       "\r\nCache-Control: private, no-cache\r\nX-Content-Type-Options: nosniff\r\n";
  if (!attachmentName.empty()) {
    header += "Content-Disposition: attachment; filename=\"" + LHttpHeaderSafe(attachmentName) + "\"\r\n";
  }
  header += "\r\n";
  if (ProcessSend(thread, socketFd, header.data(), header.size(), kSendTimeoutMs) != kLProcessDone ||
      !SendContent(thread, socketFd, file.Get(), info.st_size)) {
    return LStaticFileOutcome::kSendFailed;
  }
  return LStaticFileOutcome::kFileSent;
}
