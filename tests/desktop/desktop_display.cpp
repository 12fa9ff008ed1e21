#include "desktop_display.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "desktop/control_window_factory.h"
#include "desktop/desktop_opener.h"
#include "desktop/gdk_lock.h"
#include "foundation/settings_sections.h"
#include "support/web_server_fixture.h"

namespace {

// The caller holds the GDK lock; GDK's event dispatch takes it itself.
void Iterate() {
  gdk_threads_leave();
  for (int round = 0; round < 50 && gtk_events_pending(); ++round) gtk_main_iteration_do(FALSE);
  gdk_threads_enter();
}

struct Pending {
  std::string title;
  std::function<void(GtkWidget*)> answer;
};

GtkWidget* FindShown(const std::string& title) {
  GList* windows = gtk_window_list_toplevels();
  GtkWidget* found = nullptr;
  for (GList* item = windows; item != nullptr; item = item->next) {
    GtkWindow* window = GTK_WINDOW(item->data);
    const gchar* name = gtk_window_get_title(window);
    if (name != nullptr && title == name && gtk_widget_get_mapped(GTK_WIDGET(window))) found = GTK_WIDGET(window);
  }
  g_list_free(windows);
  return found;
}

gboolean PollPending(gpointer data) {
  auto* pending = static_cast<Pending*>(data);
  GtkWidget* window = FindShown(pending->title);
  if (window == nullptr) return G_SOURCE_CONTINUE;
  pending->answer(window);
  delete pending;
  return G_SOURCE_REMOVE;
}

}  // namespace

void DesktopDisplayTest::SetUp() {
  KavrixTempRoot::SetUp();
  std::filesystem::create_directories(HomeFolder());
  const std::string bin = TempDir() + "/bin";
  std::filesystem::create_directories(bin);
  KavrixWriteFile(bin + "/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" >> '" + OpenerRecord() + "'\n");
  chmod((bin + "/xdg-open").c_str(), 0755);
  savedPath_ = getenv("PATH") != nullptr ? getenv("PATH") : "/usr/bin:/bin";
  setenv("PATH", (bin + ":" + savedPath_).c_str(), 1);

  const std::string xvfb = LDesktopFindProgram("Xvfb");
  if (xvfb.empty()) {
    why_ = "Xvfb is not installed (Debian package xvfb; scripts/setup installs it)";
    return;
  }
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  xvfb_ = fork();
  if (xvfb_ == 0) {
    // A test that is killed takes its display server with it.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    dup2(pipeFds[1], 3);
    const int log = open((TempDir() + "/xvfb.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (log >= 0) dup2(log, 2);
    execl(xvfb.c_str(), "Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1024x768x24",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeFds[1]);
  // Xvfb writes the display number once it accepts clients.
  std::string number;
  for (char c; number.size() < 16 && read(pipeFds[0], &c, 1) == 1 && c != '\n';) number += c;
  close(pipeFds[0]);
  if (number.empty()) {
    why_ = "Xvfb did not start";
    return;
  }
  setenv("DISPLAY", (":" + number).c_str(), 1);
  // The window factory initialises the toolkit once per process (each test
  // is its own process).
  LGdkThreadsInit();
  displayReady_ = gtk_init_check(nullptr, nullptr) != FALSE;
  if (!displayReady_) why_ = "GTK cannot open the display of Xvfb";
}

void DesktopDisplayTest::TearDown() {
  if (xvfb_ > 0) {
    kill(xvfb_, SIGTERM);
    waitpid(xvfb_, nullptr, 0);
  }
  setenv("PATH", savedPath_.c_str(), 1);
  KavrixTempRoot::TearDown();
}

bool DesktopDisplayTest::RunUntil(const std::function<bool()>& done) {
  return KavrixWaitUntil([&] {
    Iterate();
    return done();
  });
}

void DesktopDisplayTest::WhenShown(const std::string& title,
                                   std::function<void(GtkWidget*)> answer) {
  gdk_threads_add_timeout(50, PollPending, new Pending{title, std::move(answer)});
}

// The toolkit's font cache lives as long as the process and is never freed,
// and GTK 2 loses the name of a window icon it scales down; the leak checker
// of the sanitizer build is told so, and only that.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:gtk_icon_info_load_icon\n";
}
// GLib and GTK are built without frame pointers: only the slow unwinder
// sees past g_malloc to the toolkit function named above.
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }

std::string KavrixSettingsText(const char* section, std::initializer_list<const char*> keys) {
  std::string text;
  for (const char* key : keys) text += std::string(key) + "=" + LSettingGetString(section, key) + ";";
  return text;
}
