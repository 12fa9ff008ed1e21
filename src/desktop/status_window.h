#pragma once
// The control window's log display: a read-only text view fed with log
// lines. DisplayStatus may be called from any thread; the lines are queued
// and added on the GTK main thread under the GDK lock.

#include <gtk/gtk.h>

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "foundation/thread_queued_notify.h"

// The display keeps the newest lines only.
inline constexpr size_t kLStatusWindowMaxLines = 2000;

class LStatusWindow : public LThreadQueuedNotify {
 public:
  LStatusWindow();
  ~LStatusWindow() override;

  GtkWidget* Widget() const { return scrolled_; }
  void DisplayStatus(const std::string& timeText, const std::string& message, std::uint8_t level);
  // Main thread: the text shown.
  std::string Text() const;
  // The newest error line received so far and how many came (any thread).
  std::string LastError(unsigned* count) const;

 protected:
  void EvThreadQueuedNotify() override;
  // Plain GLib sources run outside the GDK lock.
  void EnterToolkitLock() override;
  void LeaveToolkitLock() override;

 private:
  struct Line {
    std::string text;
    bool error;
  };
  GtkWidget* scrolled_;
  GtkWidget* view_;
  GtkTextBuffer* buffer_;
  size_t shownLines_ = 0;

  // Guards pending_, lastError_ and errorCount_.
  mutable std::mutex mutex_;
  std::deque<Line> pending_;
  std::string lastError_;
  unsigned errorCount_ = 0;
};
