#pragma once
// Rewriting a work log in place, keeping only the lines the caller accepts
// (a leave record approved or deleted is rewritten this way). The row
// grammar, line ends and quoting are described in doc/csv_logs.md.
//
// The accepted lines go to a scratch file "~" + the log's name + a unique
// suffix in the log's own folder, which is then synced and renamed over the
// log. The log is therefore either the old file or the whole new one, never a
// half-copied mixture, even when the process dies or the disk fills midway.
// A scratch file that outlives a crashed process is left for the operator.
//
// The editor holds an exclusive lock on the log from construction until the
// edit is committed or discarded, so appends wait for it (up to their own
// time-out). Because the rename gives the log a new inode, appenders and
// readers that were waiting on the old file open it again once they get the
// lock (see locked_file.h): no appended row is lost.
//
//   LCSVFileEditor editor(path, 5000);
//   for (bool more = editor.HasLine(); more; more = editor.Next()) {
//     if (Keep(editor.Line())) editor.RowAccept();
//   }
//   if (!editor.Commit()) ...  // the log is unchanged

#include <optional>
#include <string>
#include <string_view>

#include "foundation/csv_reader.h"
#include "foundation/locked_file.h"
#include "foundation/unique_fd.h"

class LCSVFileEditor {
 public:
  // Opens the log (creating it), locks it exclusively waiting up to
  // `lock_timeout_ms`, creates the scratch file and reads the first line
  // that is not empty. When the lock or the scratch file cannot be had the
  // editor is not Ok(): it shows no lines and leaves the log as it is.
  LCSVFileEditor(const std::string& path, int lock_timeout_ms);
  // Commits unless Commit() or Discard() came first.
  ~LCSVFileEditor();
  LCSVFileEditor(const LCSVFileEditor&) = delete;
  LCSVFileEditor& operator=(const LCSVFileEditor&) = delete;

  // False once anything failed; Commit() will then leave the log alone.
  bool Ok() const { return ok_; }
  // True while there is a current line.
  bool HasLine() const { return has_line_; }
  // The current line, without its line end (empty without one).
  const std::string& Line() const;

  // Keeps the current line; it is written back followed by the line end
  // (LF alone unless SetLineEnd said otherwise).
  bool RowAccept();
  // Writes `line` in place of the current one (or of none), followed by the
  // line end. `line` must hold no line end of its own.
  bool RowWrite(std::string_view line);
  // The line end of every line written back: a log whose rows were appended
  // with CR LF keeps them byte for byte when given "\r\n".
  void SetLineEnd(std::string_view line_end) { line_end_ = line_end; }
  // Moves to the next line that is not empty; false at the end of the log.
  bool Next();

  // Replaces the log by the accepted lines; every line not accepted,
  // including those after the point where the caller stopped, is gone.
  // False (and the log untouched) when anything failed. Releases the lock.
  [[nodiscard]] bool Commit();
  // Leaves the log as it is and releases the lock.
  void Discard();

 private:
  bool Open(int lock_timeout_ms);
  bool CreateScratch();
  bool Flush();
  void Finish();

  std::string path_;
  LLockedFile log_;
  std::optional<LCSVFileReader> reader_;
  LUniqueFd scratch_;
  std::string scratch_path_;  // empty once renamed or removed
  std::string pending_;       // accepted lines not yet written to the scratch
  std::string line_end_ = "\n";
  bool ok_ = false;
  bool has_line_ = false;
  bool finished_ = false;
  bool committed_ = false;
};
