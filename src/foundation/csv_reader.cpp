#include "foundation/csv_reader.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "foundation/locked_file.h"

namespace {

// The first CR or LF in [begin, end), or end. Two memchr over a line are
// much faster than testing byte by byte; LF is looked for first because the
// CR of a CR LF lies just before it. The search goes a window at a time, so
// a file whose lines end in CR alone is not scanned to the buffer's end for
// an LF on every line.
const char* FindLineEnd(const char* begin, const char* end) {
  constexpr std::size_t kWindow = 512;
  while (begin < end) {
    const std::size_t size = std::min(static_cast<std::size_t>(end - begin), kWindow);
    const char* lf = static_cast<const char*>(std::memchr(begin, '\n', size));
    const char* limit = lf != nullptr ? lf : begin + size;
    const char* cr = static_cast<const char*>(std::memchr(begin, '\r', static_cast<std::size_t>(limit - begin)));
    if (cr != nullptr) return cr;
    if (lf != nullptr) return lf;
    begin += size;
  }
  return end;
}

std::string_view SkipLeadingBlanks(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && static_cast<unsigned char>(line[i]) <= 0x20) ++i;
  return line.substr(i);
}

}  // namespace

LCSVFileReader::LCSVFileReader(const std::string& path, int lock_timeout_ms)
    : buffer_(new char[kBufferSize]) {
  LLockedFile file;
  if (LOpenLockedFile(path, O_RDONLY, 0, LOCK_SH, lock_timeout_ms, file)) {
    owned_ = std::move(file.fd);
    fd_ = owned_.Get();
  }
}

LCSVFileReader::LCSVFileReader(int fd) : fd_(fd), buffer_(new char[kBufferSize]) {}

bool LCSVFileReader::Fill() {
  if (fd_ < 0) return false;
  for (;;) {
    const ssize_t got = read(fd_, buffer_.get(), kBufferSize);
    if (got < 0 && errno == EINTR) continue;
    // A read error ends the file like its end does: what was read stands.
    pos_ = 0;
    len_ = got > 0 ? static_cast<std::size_t>(got) : 0;
    return len_ > 0;
  }
}

bool LCSVFileReader::Next() {
  line_.clear();
  for (;;) {
    if (pos_ == len_ && !Fill()) return !line_.empty();
    const char* begin = buffer_.get() + pos_;
    const char* end = buffer_.get() + len_;
    const char* stop = FindLineEnd(begin, end);
    const std::size_t room = kMaxLine - line_.size();
    line_.append(begin, std::min(static_cast<std::size_t>(stop - begin), room));
    pos_ = static_cast<std::size_t>(stop - buffer_.get());
    if (stop == end) continue;
    ++pos_;
    if (!line_.empty()) return true;
  }
}

LCSVReaderRow::LCSVReaderRow(std::string_view line)
    : line_(SkipLeadingBlanks(line)), items_(line_) {
  has_item_ = items_.Next();
}

bool LCSVReaderRow::GetCol(std::string& out) {
  out = items_.Item();
  const bool had = has_item_;
  if (has_item_) has_item_ = items_.Next();
  return had;
}

int LCSVReaderRow::GetCol() {
  // The logs were written on systems where long is 32 bits, so strtol's
  // saturation at the int range is what a too long number has always read as.
  const long value = std::strtol(items_.Item().c_str(), nullptr, 10);
  if (has_item_) has_item_ = items_.Next();
  return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}
