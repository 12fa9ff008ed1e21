#pragma once
// The system log: one text file per local calendar day,
// "<shared data folder>/Logs/YYYY-MM-DD KavrixServer Log.txt", appended to by
// every thread of every process. Each line is "HH:MM:SS message" + CR LF; the
// date lives in the file name only. Every line is also handed to the live
// display (see log_handoff.h).

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <string_view>

#include "foundation/log_handoff.h"

class LLog {
 public:
  // Longest line in the file, CR LF included; a longer one loses its end.
  static constexpr std::size_t kMaxLine = 8191;

  LLog() = default;
  LLog(const LLog&) = delete;
  LLog& operator=(const LLog&) = delete;

  // Writes the line and hands it to the live display. Never fails visibly:
  // a line that cannot be written is lost.
  void Log(std::string_view text, std::uint8_t level);

  // Attaches the control window's status area (nullptr detaches). Returns
  // only when no QueueLogLine call on the previous window is running.
  void SetStatusWindow(LLogStatusWindow* window);

  // The folder of the daily files, found (and created) on first use so that
  // KAVRIX_ROOT set after start-up is honoured.
  std::string GetLogFolder();

  // The file name for a local date: "2009-06-01 KavrixServer Log.txt".
  static std::string FileNameForDate(int year, int month, int day);

  // Forgets the folder, the cached clock text and the status window.
  void ResetForTests();

 private:
  // Clock text and file path for the second `now`, consistent with each other.
  bool StampFor(std::int32_t now, std::string& clock_text, std::string& path, std::string& folder);
  void HandOff(const std::string& clock_text, std::string_view text, std::uint8_t level);

  // Guards folder_, has_cached_second_, cached_second_, clock_text_ and path_:
  // they are read and rebuilt together so a line never pairs the clock text of
  // one second with the path of another, nor reads a half-written text.
  std::mutex cache_mutex_;
  std::string folder_;
  bool has_cached_second_ = false;
  std::int32_t cached_second_ = 0;
  std::string clock_text_;
  std::string path_;

  // Guards window_. Held shared during each QueueLogLine call so that
  // detaching waits for calls in flight and the window may then be destroyed.
  std::shared_mutex window_mutex_;
  LLogStatusWindow* window_ = nullptr;
};

// The process-wide log. Never destroyed, so threads may log during exit.
LLog& gLLog();

// Drops the process-wide log state and the service sink (tests only).
void LLogResetForTests();

// Entry points on the process-wide log. LOG(text1, text2) joins the two
// texts and keeps at most 259 bytes; the formatted forms keep at most 511.
void LOG(std::string_view text);
void LOG(std::string_view text1, std::string_view text2);
void LOGERROR(std::string_view text);
void LOGWARN(std::string_view text);
void LOGINFO(std::string_view text);
void LOGF(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LOGERRORF(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LOGWARNF(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LOGINFOF(const char* format, ...) __attribute__((format(printf, 1, 2)));
