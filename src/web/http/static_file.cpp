#include "web/http/static_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>

#include "engine/byte_transport.h"
#include "foundation/date_time.h"
#include "foundation/file_lock.h"
#include "foundation/unique_fd.h"
#include "web/http/content_coding.h"
#include "web/http/gzip_deflater.h"
#include "web/http/http_date.h"
#include "web/http/http_responses.h"
#include "web/http/mime_types.h"

namespace {

constexpr int kFileLockTimeoutMs = 1000;
constexpr int kSendTimeoutMs = 20000;
// A file up to this size goes out in one send with its header.
constexpr off_t kOneSendFileBytes = 64 * 1024;
constexpr std::size_t kReadPieceBytes = 64 * 1024;
constexpr std::string_view kHandedOutNotModified =
    "HTTP/1.1 304 Not Modified\r\nCache-Control: private, no-cache\r\nX-Content-Type-Options: nosniff\r\n";

LStaticFileOutcome SendFixed(LThread* thread, LByteTransport& out, std::string_view text,
                             LStaticFileOutcome outcome) {
  const LProcessResult sent = out.Send(thread, text.data(), text.size(), kSendTimeoutMs);
  return sent == kLProcessDone ? outcome : LStaticFileOutcome::kSendFailed;
}

bool SendAll(LThread* thread, LByteTransport& out, std::string_view bytes) {
  return out.Send(thread, bytes.data(), bytes.size(), kSendTimeoutMs, kLWebSendPieceBytes) == kLProcessDone;
}

// Reads up to `length` bytes at the file's offset; fewer only at its end.
ssize_t ReadPiece(int fileFd, char* into, std::size_t length) {
  std::size_t got = 0;
  while (got < length) {
    const ssize_t n = ::read(fileFd, into + got, length - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return static_cast<ssize_t>(got);
}

// The header and `size` bytes of the file as they are. A file that ends
// early (cut short by a writer that ignored the lock) ends the connection:
// the promised length can no longer be kept, and a browser would wait for
// the missing bytes.
bool SendPlain(LThread* thread, LByteTransport& out, int fileFd, off_t size, std::string header) {
  if (size <= kOneSendFileBytes) {
    const std::size_t headerLength = header.size();
    header.resize(headerLength + static_cast<std::size_t>(size));
    if (ReadPiece(fileFd, header.data() + headerLength, static_cast<std::size_t>(size)) != size) return false;
    return SendAll(thread, out, header);
  }
  return SendAll(thread, out, header) &&
         out.SendFile(thread, fileFd, static_cast<std::uint64_t>(size), kSendTimeoutMs) ==
             kLProcessDone;
}

// The header turned into that of a gzip-encoded, chunked body.
std::string GzipHeader(std::string header) {
  const std::size_t lengthAt = header.find("Content-Length: ");
  if (lengthAt != std::string::npos) {
    const std::size_t lineEnd = header.find("\r\n", lengthAt);
    header.replace(lengthAt, lineEnd - lengthAt, "Transfer-Encoding: chunked");
  }
  header.insert(header.size() - 2, kLHttpGzipHeaders);
  return header;
}

// The file compressed, in chunks; each chunk is one send.
bool SendGzip(LThread* thread, LByteTransport& out, int fileFd, off_t size, const std::string& header) {
  if (!SendAll(thread, out, GzipHeader(header))) return false;
  LGzipDeflater gzip([&](std::string_view piece) {
    std::string chunk = LHttpChunkHead(piece.size());
    chunk.append(piece).append("\r\n");
    return SendAll(thread, out, chunk);
  });
  std::string piece(kReadPieceBytes, '\0');
  off_t left = size;
  while (left > 0) {
    const ssize_t got = ReadPiece(fileFd, piece.data(), piece.size());
    if (got <= 0) return false;
    if (!gzip.Write(std::string_view(piece.data(), static_cast<std::size_t>(got)))) return false;
    left -= got;
  }
  return gzip.Finish() && SendAll(thread, out, kLHttpLastChunk);
}

bool SendFile(LThread* thread, LByteTransport& out, int fileFd, off_t size, std::string_view contentType,
              const std::string& header, bool gzipAccepted) {
  if (gzipAccepted && LHttpCompressibleType(contentType)) {
    return SendGzip(thread, out, fileFd, size, header);
  }
  return SendPlain(thread, out, fileFd, size, header);
}

// A file opened for an answer; the lock is released before the file is
// closed.
struct OpenFile {
  LUniqueFd fd;
  struct stat info {};
  std::optional<LFileLockGuard> lock;
  std::string tag;
  std::string now;
};

enum class FileState { kMissing, kUnchanged, kToSend };

// O_NONBLOCK: opening a pipe that someone left in the web root must not
// hang the connection; it is refused as not a regular file.
bool OpenRegularFile(const std::string& path, OpenFile& file) {
  file.fd = LUniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  return file.fd && ::fstat(file.fd.Get(), &file.info) == 0 && S_ISREG(file.info.st_mode);
}

// Opens and share-locks `path`, and tells whether the browser's copy is
// still current.
FileState OpenForAnswer(const std::string& path, const LFileConditions& conditions, OpenFile& file) {
  if (!OpenRegularFile(path, file)) return FileState::kMissing;
  file.lock.emplace(file.fd.Get(), LOCK_SH, kFileLockTimeoutMs);
  file.tag = LHttpEntityTag(file.info.st_mtime, file.info.st_size);
  if (LHttpIfNoneMatchHolds(conditions.ifNoneMatch, file.tag)) return FileState::kUnchanged;
  file.now = LHttpDateText(LDateTime::Now().value);
  if (LHttpIfModifiedSinceMatches(conditions.ifModifiedSince, file.now)) return FileState::kUnchanged;
  return FileState::kToSend;
}

}  // namespace

LFileConditions LFileConditionsOf(const LHashTable& headers, std::int64_t versionMilli) {
  LFileConditions conditions;
  conditions.ifNoneMatch = headers.GetParm("If-None-Match");
  conditions.ifModifiedSince = headers.GetParm("If-Modified-Since");
  conditions.gzip = versionMilli >= 1100 && LHttpAcceptsGzip(headers.GetParm("Accept-Encoding"));
  return conditions;
}

LStaticFileOutcome LServeStaticFile(LThread* thread, LByteTransport& out, const std::string& path,
                                    const LFileConditions& conditions) {
  OpenFile file;
  switch (OpenForAnswer(path, conditions, file)) {
    case FileState::kMissing:
      return SendFixed(thread, out, kLHttpNotFoundEmpty, LStaticFileOutcome::kNotFound);
    case FileState::kUnchanged:
      return SendFixed(thread, out, kLHttpNotModified, LStaticFileOutcome::kNotModified);
    case FileState::kToSend:
      break;
  }
  const char* type = LMimeTypeForPath(path);
  const std::string header = LHttpFileHeader(file.info.st_size, type, file.now, file.tag);
  if (!SendFile(thread, out, file.fd.Get(), file.info.st_size, type, header, conditions.gzip)) {
    return LStaticFileOutcome::kSendFailed;
  }
  return LStaticFileOutcome::kFileSent;
}

bool LWebletServeFile(LThread* thread, LByteTransport& out, const std::string& path,
                      std::string_view ifNoneMatch, std::string_view ifModifiedSince) {
  LFileConditions conditions;
  conditions.ifNoneMatch = ifNoneMatch;
  conditions.ifModifiedSince = ifModifiedSince;
  return LServeStaticFile(thread, out, path, conditions) == LStaticFileOutcome::kFileSent;
}

LStaticFileOutcome LServeHandedOutFile(LThread* thread, LByteTransport& out, const std::string& path,
                                       std::string_view contentType, std::string_view attachmentName,
                                       const LFileConditions& conditions) {
  OpenFile file;
  switch (OpenForAnswer(path, conditions, file)) {
    case FileState::kMissing:
      return SendFixed(thread, out, kLHttpNotFoundEmpty, LStaticFileOutcome::kNotFound);
    case FileState::kUnchanged:
      return SendFixed(thread, out, std::string(kHandedOutNotModified) + "ETag: \"" + file.tag + "\"\r\n\r\n",
                       LStaticFileOutcome::kNotModified);
    case FileState::kToSend:
      break;
  }
  const std::string& tag = file.tag;
  const std::string& now = file.now;
  std::string header = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(file.info.st_size) +
                       "\r\nContent-Type: " + std::string(contentType) +
                       "\r\nCache-Control: private, no-cache\r\nX-Content-Type-Options: nosniff\r\n";
  if (!attachmentName.empty()) {
    header += "Content-Disposition: attachment; filename=\"" + LHttpHeaderSafe(attachmentName) + "\"\r\n";
  }
  header += "Last-Modified: " + now + "\r\nETag: \"" + tag + "\"\r\n\r\n";
  LHttpAddSecurityHeaders(header);
  if (!SendFile(thread, out, file.fd.Get(), file.info.st_size, contentType, header, conditions.gzip)) {
    return LStaticFileOutcome::kSendFailed;
  }
  return LStaticFileOutcome::kFileSent;
}
