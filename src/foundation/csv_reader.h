#pragma once
// Reading the work logs back: LCSVFileReader hands out the lines of a file,
// LCSVReaderRow the columns of one line. The row grammar, line ends and
// quoting are described in doc/csv_logs.md.

#include <concepts>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "foundation/comma_list.h"
#include "foundation/unique_fd.h"

// The lines of a file that are not empty, in order. A line ends at LF, CR or
// CR LF (an empty line between CR and LF is skipped like any other), and the
// last line needs no line end. Of a longer line only the first 8191 bytes are
// kept; the rest is skipped up to its end, so the next line is read intact.
// Every other byte, NUL included, is line content.
class LCSVFileReader {
 public:
  static constexpr std::size_t kMaxLine = 8191;
  // What one read() takes: a year's report reads a few hundred logs of a
  // quarter megabyte each, and a read per 8 KiB was a good part of its time.
  static constexpr std::size_t kBufferSize = 64 * 1024;

  // Opens `path` and takes a shared lock, waiting up to `lock_timeout_ms`;
  // when the lock cannot be had the file is read unlocked. A missing or
  // unreadable file reads as empty. The lock lasts as long as the reader.
  LCSVFileReader(const std::string& path, int lock_timeout_ms);
  // Reads `fd` from its current offset. The caller keeps the descriptor
  // (and any lock on it) open for the life of the reader.
  explicit LCSVFileReader(int fd);
  LCSVFileReader(const LCSVFileReader&) = delete;
  LCSVFileReader& operator=(const LCSVFileReader&) = delete;

  // Moves to the next line that is not empty; false at the end of the file.
  bool Next();
  // The current line, without its line end.
  const std::string& Line() const { return line_; }
  bool IsOpen() const { return fd_ >= 0; }

 private:
  bool Fill();

  LUniqueFd owned_;
  int fd_ = -1;
  std::unique_ptr<char[]> buffer_;
  std::size_t pos_ = 0;
  std::size_t len_ = 0;
  std::string line_;
};

// The columns of one line. The row keeps its own copy of the line, so the
// reader may move on. Columns past the last one read as empty.
class LCSVReaderRow {
 public:
  // Skips the bytes of value 0x20 or below at the start of `line` and
  // fetches the first column.
  explicit LCSVReaderRow(std::string_view line);
  LCSVReaderRow(const LCSVReaderRow&) = delete;
  LCSVReaderRow& operator=(const LCSVReaderRow&) = delete;

  // Copies the current column into `out` and moves to the next; false when
  // the row had no more columns (`out` is then empty).
  bool GetCol(std::string& out);
  // The current column as a decimal integer (0 for text that is not a
  // number, clamped to the int range) and moves to the next.
  int GetCol();
  // GetCol(out) for each argument in turn; false when any was missing.
  template <typename... Outs>
    requires(std::same_as<Outs, std::string> && ...)
  bool GetCols(Outs&... outs) {
    bool all = true;
    ((all = GetCol(outs) && all), ...);
    return all;
  }

 private:
  std::string line_;
  LCommaSeparatedListIterator items_;
  bool has_item_ = false;
};
