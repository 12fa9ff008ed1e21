#include "desktop/status_window.h"

#include "foundation/log_handoff.h"

LStatusWindow::LStatusWindow() {
  scrolled_ = gtk_scrolled_window_new(nullptr, nullptr);
  g_object_ref_sink(scrolled_);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled_), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scrolled_), GTK_SHADOW_IN);
  view_ = gtk_text_view_new();
  gtk_text_view_set_editable(GTK_TEXT_VIEW(view_), FALSE);
  gtk_text_view_set_cursor_visible(GTK_TEXT_VIEW(view_), FALSE);
  gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(view_), GTK_WRAP_WORD_CHAR);
  buffer_ = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view_));
  gtk_text_buffer_create_tag(buffer_, "error", "foreground", "#b00000", nullptr);
  gtk_container_add(GTK_CONTAINER(scrolled_), view_);
}

LStatusWindow::~LStatusWindow() { g_object_unref(scrolled_); }

void LStatusWindow::DisplayStatus(const std::string& timeText, const std::string& message, std::uint8_t level) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const bool error = level == kLLogLevelError;
    if (error) {
      lastError_ = message;
      ++errorCount_;
    }
    pending_.push_back({timeText.empty() ? message : timeText + " " + message, error});
    if (pending_.size() > kLStatusWindowMaxLines) pending_.pop_front();
  }
  QueueNotify();
}

std::string LStatusWindow::LastError(unsigned* count) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (count != nullptr) *count = errorCount_;
  return lastError_;
}

std::string LStatusWindow::Text() const {
  GtkTextIter start, end;
  gtk_text_buffer_get_bounds(buffer_, &start, &end);
  gchar* text = gtk_text_buffer_get_text(buffer_, &start, &end, FALSE);
  std::string out = text;
  g_free(text);
  return out;
}

void LStatusWindow::EvThreadQueuedNotify() {
  std::deque<Line> lines;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    lines.swap(pending_);
  }
  GtkTextIter end;
  for (const Line& line : lines) {
    gtk_text_buffer_get_end_iter(buffer_, &end);
    const std::string text = line.text + "\n";
    if (line.error) {
      gtk_text_buffer_insert_with_tags_by_name(buffer_, &end, text.c_str(), -1, "error", nullptr);
    } else {
      gtk_text_buffer_insert(buffer_, &end, text.c_str(), -1);
    }
    ++shownLines_;
  }
  if (shownLines_ > kLStatusWindowMaxLines) {
    GtkTextIter start, cut;
    gtk_text_buffer_get_start_iter(buffer_, &start);
    gtk_text_buffer_get_iter_at_line(buffer_, &cut, static_cast<gint>(shownLines_ - kLStatusWindowMaxLines));
    gtk_text_buffer_delete(buffer_, &start, &cut);
    shownLines_ = kLStatusWindowMaxLines;
  }
  gtk_text_buffer_get_end_iter(buffer_, &end);
  GtkTextMark* mark = gtk_text_buffer_create_mark(buffer_, nullptr, &end, FALSE);
  gtk_text_view_scroll_mark_onscreen(GTK_TEXT_VIEW(view_), mark);
  gtk_text_buffer_delete_mark(buffer_, mark);
}

void LStatusWindow::EnterToolkitLock() { gdk_threads_enter(); }

void LStatusWindow::LeaveToolkitLock() {
  gdk_flush();
  gdk_threads_leave();
}
