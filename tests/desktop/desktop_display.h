#pragma once
// The desktop tests' display: a private Xvfb started per test, the test's
// HOME, a recording xdg-open first on PATH, and helpers that answer modal
// dialogs through GTK.

#include <gtk/gtk.h>
#include <sys/types.h>

#include <functional>
#include <initializer_list>
#include <string>

#include "support/full_disk.h"
#include "support/temp_root.h"

class DesktopDisplayTest : public KavrixTempRoot {
 public:
  // Runs GTK's loop until `done` holds (for at most 10 s); returns `done()`.
  static bool RunUntil(const std::function<bool()>& done);

 protected:
  void SetUp() override;
  void TearDown() override;

  // When a window titled `title` shows, calls `answer` on it, from the
  // nested loop of the dialog that is about to run.
  static void WhenShown(const std::string& title, std::function<void(GtkWidget*)> answer);
  // The same, answering the dialog with `response`.
  static void WhenShown(const std::string& title, GtkResponseType response) {
    WhenShown(title,
              [response](GtkWidget* box) { gtk_dialog_response(GTK_DIALOG(box), response); });
  }
  std::string OpenerRecord() const { return TempDir() + "/opened.txt"; }

  bool displayReady_ = false;
  std::string why_;

 private:
  pid_t xvfb_ = -1;
  std::string savedPath_;
};

// "Key=value;" for each of `keys` of `section`: several settings in one comparison.
std::string KavrixSettingsText(const char* section, std::initializer_list<const char*> keys);

// Ends the test when no display could be started: skipped, failed under CI.
#define KAVRIX_NEED_DISPLAY()                      \
  do {                                             \
    if (!displayReady_) {                          \
      if (KavrixUnderCI()) FAIL() << why_;         \
      GTEST_SKIP() << why_;                        \
    }                                              \
  } while (0)
