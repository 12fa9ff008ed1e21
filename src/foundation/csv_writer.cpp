#include "foundation/csv_writer.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

#include "foundation/file_lock.h"
#include "foundation/file_modes.h"
#include "foundation/locked_file.h"

namespace {

// Appended rows end in CR LF, the line end the logs have always had, so that
// existing archives and their readers stay alike.
constexpr std::string_view kRowEnd = "\r\n";

// One write call, so that a row reaches the file whole or not at all next to
// the rows of other writers; a short write is a failure (a full disk).
bool WriteLine(int fd, const LCSVWriterRow& row) {
  std::string line;
  line.reserve(row.Text().size() + kRowEnd.size());
  line.append(row.Text()).append(kRowEnd);
  ssize_t written;
  do {
    written = write(fd, line.data(), line.size());
  } while (written < 0 && errno == EINTR);
  return written == static_cast<ssize_t>(line.size());
}

LCSVWriterRow QuotedRow(std::initializer_list<std::string_view> texts) {
  LCSVWriterRow row;
  for (std::string_view text : texts) row.AddCol(text);
  return row;
}

}  // namespace

void LCSVWriterRow::Separate() {
  if (!text_.empty()) text_.push_back(',');
}

void LCSVWriterRow::AddCol(std::string_view text) {
  Separate();
  text_.push_back('"');
  for (char c : text) {
    if (c == '"') {
      text_.append("\"\"");
    } else if (static_cast<unsigned char>(c) <= 0x20) {
      text_.push_back(' ');
    } else {
      text_.push_back(c);
    }
  }
  text_.push_back('"');
}

void LCSVWriterRow::AddCol(int value) {
  Separate();
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  text_.append(digits, result.ptr);
}

void LCSVWriterRow::AddColDirect(std::string_view text) {
  Separate();
  text_.append(text);
}

bool LCSVAppendRow(const std::string& path, const LCSVWriterRow& row) {
  // O_APPEND keeps even an unlocked write (after a lock time-out) from
  // landing on top of another writer's row.
  LLockedFile file;
  if (!LOpenLockedFile(path, O_WRONLY | O_CREAT | O_APPEND, kLDataFileMode, LOCK_EX,
                       kLCSVAppendLockTimeoutMs, file)) {
    return false;
  }
  return WriteLine(file.fd.Get(), row);
}

bool LCSVAppendRow(int fd, const LCSVWriterRow& row) {
  if (fd < 0) return false;
  LFileLockGuard lock(fd, LOCK_EX, kLCSVAppendLockTimeoutMs);
  if (lseek(fd, 0, SEEK_END) < 0) return false;
  return WriteLine(fd, row);
}

bool LCSVWriteRow(const std::string& path, std::initializer_list<std::string_view> texts) {
  return LCSVAppendRow(path, QuotedRow(texts));
}

bool LCSVWriteRow(int fd, std::initializer_list<std::string_view> texts) {
  return LCSVAppendRow(fd, QuotedRow(texts));
}
