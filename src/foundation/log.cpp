#include "foundation/log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <ctime>

#include "foundation/date_time.h"
#include "foundation/file_lock.h"
#include "foundation/file_modes.h"
#include "foundation/paths.h"
#include "foundation/text_limits.h"
#include "foundation/unique_fd.h"

namespace {

constexpr int kLogLockTimeoutMs = 500;
constexpr std::size_t kMaxFormatted = 511;

// Set while this thread is inside the status window's QueueLogLine: a line
// logged from there goes to the file only, instead of taking the window lock
// a second time.
thread_local bool tInsideWindow = false;

// Opens the day's file for appending. O_APPEND makes every write land at the
// end even when the lock timed out and the write goes ahead unlocked, so a
// late writer can never overwrite another's line.
LUniqueFd OpenForAppend(const std::string& path, const std::string& folder) {
  constexpr int kFlags = O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC;
  LUniqueFd fd = LOpenCreating(path, kFlags);
  if (!fd && errno == ENOENT) {
    // Someone removed the folder while we ran: make it again rather than
    // losing every later line.
    LFile::CreateFolder(folder);
    fd = LOpenCreating(path, kFlags);
  }
  return fd;
}

// One write per line under the exclusive lock keeps lines of different
// threads and processes whole.
void AppendLine(const std::string& path, const std::string& folder, const std::string& line) {
  LUniqueFd fd = OpenForAppend(path, folder);
  if (!fd) return;
  LFileLockGuard lock(fd.Get(), LOCK_EX, kLogLockTimeoutMs);
  if (write(fd.Get(), line.data(), line.size()) < 0) return;  // the line is lost
}

// "HH:MM:SS", a space, the text, CR LF; cut to the line limit, so an
// overlong line also loses its CR LF.
std::string BuildLine(const std::string& clock_text, std::string_view text) {
  std::string line;
  line.reserve(clock_text.size() + text.size() + 3);
  line.append(clock_text).append(1, ' ').append(text).append("\r\n");
  LCutTextInPlace(line, LLog::kMaxLine);
  return line;
}

__attribute__((format(printf, 2, 0))) void LogFormatted(std::uint8_t level, const char* format, va_list args) {
  char text[kMaxFormatted + 1];
  const int length = std::vsnprintf(text, sizeof(text), format, args);
  if (length < 0) return;
  const std::size_t kept = static_cast<std::size_t>(length) < kMaxFormatted ? static_cast<std::size_t>(length) : kMaxFormatted;
  gLLog().Log(std::string_view(text, kept), level);
}

}  // namespace

std::string LLog::FileNameForDate(int year, int month, int day) {
  char name[64];
  std::snprintf(name, sizeof(name), "%.4d-%.2d-%.2d KavrixServer Log.txt", year, month, day);
  return name;
}

std::string LLog::GetLogFolder() {
  std::lock_guard lock(cache_mutex_);
  if (folder_.empty()) folder_ = LFile::GetSharedDataFolderAppSubFolder("Logs");
  return folder_;
}

bool LLog::StampFor(std::int32_t now, std::string& clock_text, std::string& path, std::string& folder) {
  std::lock_guard lock(cache_mutex_);
  if (folder_.empty()) folder_ = LFile::GetSharedDataFolderAppSubFolder("Logs");
  if (!has_cached_second_ || cached_second_ != now) {
    const time_t moment = now;
    struct tm fields {};
    if (localtime_r(&moment, &fields) == nullptr) return false;
    char clock[32];
    std::snprintf(clock, sizeof(clock), "%.2d:%.2d:%.2d", fields.tm_hour, fields.tm_min, fields.tm_sec);
    clock_text_ = clock;
    path_ = LFile::FilePathCat(folder_, FileNameForDate(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday));
    cached_second_ = now;
    has_cached_second_ = true;
  }
  clock_text = clock_text_;
  path = path_;
  folder = folder_;
  return true;
}

void LLog::Log(std::string_view text, std::uint8_t level) {
  std::string clock_text, path, folder;
  if (!StampFor(LDateTime::Now().value, clock_text, path, folder)) return;
  AppendLine(path, folder, BuildLine(clock_text, text));
  HandOff(clock_text, text, level);
}

void LLog::HandOff(const std::string& clock_text, std::string_view text, std::uint8_t level) {
  const std::string clock_cut = LCutText(clock_text);
  const std::string text_cut = LCutText(text);
  if (tInsideWindow) return;
  {
    std::shared_lock lock(window_mutex_);
    if (window_ != nullptr) {
      tInsideWindow = true;
      window_->QueueLogLine(clock_cut, text_cut, level);
      tInsideWindow = false;
      return;
    }
  }
  LServiceLog(clock_cut, text_cut, level);
}

void LLog::SetStatusWindow(LLogStatusWindow* window) {
  std::unique_lock lock(window_mutex_);
  window_ = window;
}

void LLog::ResetForTests() {
  {
    std::lock_guard lock(cache_mutex_);
    folder_.clear();
    has_cached_second_ = false;
    clock_text_.clear();
    path_.clear();
  }
  SetStatusWindow(nullptr);
}

LLog& gLLog() {
  static LLog& log = *new LLog();
  return log;
}

void LLogResetForTests() {
  gLLog().ResetForTests();
  LSetServiceLogSink(nullptr);
}

void LOG(std::string_view text) { gLLog().Log(text, kLLogLevelPlain); }

void LOG(std::string_view text1, std::string_view text2) {
  std::string joined(text1);
  joined.append(text2);
  gLLog().Log(LCutText(joined), kLLogLevelPlain);
}

void LOGERROR(std::string_view text) { gLLog().Log(text, kLLogLevelError); }
void LOGWARN(std::string_view text) { gLLog().Log(text, kLLogLevelPlain); }
void LOGINFO(std::string_view text) { gLLog().Log(text, kLLogLevelPlain); }

void LOGF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogFormatted(kLLogLevelPlain, format, args);
  va_end(args);
}

void LOGERRORF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogFormatted(kLLogLevelError, format, args);
  va_end(args);
}

void LOGWARNF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogFormatted(kLLogLevelPlain, format, args);
  va_end(args);
}

void LOGINFOF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogFormatted(kLLogLevelPlain, format, args);
  va_end(args);
}
