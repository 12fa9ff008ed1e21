#pragma once
// Writing the work logs: LCSVWriterRow builds one row, LCSVAppendRow and
// LCSVWriteRow append it to a file. Several threads and processes append to
// the same log at once; each row goes out under an exclusive lock in a single
// write, so rows never interleave. The row grammar, line ends and quoting are
// described in doc/csv_logs.md.

#include <initializer_list>
#include <string>
#include <string_view>

// One row under construction; columns are separated by ",".
class LCSVWriterRow {
 public:
  // A quoted text column: each double quote is written twice, and each byte
  // from 0x00 to 0x20 (tab, CR, LF, space, ...) as a space, so a written
  // column never holds a line end.
  void AddCol(std::string_view text);
  // A decimal column, without quotes.
  void AddCol(int value);
  // A plain column, written as it is; the caller guarantees it holds no
  // comma, double quote or line end.
  void AddColDirect(std::string_view text);

  // The row so far, without a line end.
  const std::string& Text() const { return text_; }
  bool Empty() const { return text_.empty(); }

 private:
  void Separate();

  std::string text_;
};

// Exclusive lock time-out of every append to a work log.
inline constexpr int kLCSVAppendLockTimeoutMs = 5000;

// Appends `row` and CR LF to the file at `path` (created with mode 0660 when
// missing, never truncated) in one write, under an exclusive lock taken with
// a 5000 ms time-out; when the lock times out the row is written all the
// same. A file that an editor replaced while this waited is opened afresh.
// True when the whole row was written.
bool LCSVAppendRow(const std::string& path, const LCSVWriterRow& row);
// The same on a file the caller has open for writing. The lock is released
// on return, so the caller must not hold one on the same descriptor.
bool LCSVAppendRow(int fd, const LCSVWriterRow& row);

// A row of quoted text columns (AddCol of each text), appended as above:
//   LCSVWriteRow(path, {application, caption});
bool LCSVWriteRow(const std::string& path, std::initializer_list<std::string_view> texts);
bool LCSVWriteRow(int fd, std::initializer_list<std::string_view> texts);
