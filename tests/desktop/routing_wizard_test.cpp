#include "desktop/routing_wizard.h"

#include <gtest/gtest.h>

#include "desktop/entry_prompt.h"
#include "desktop/gdk_lock.h"
#include "desktop/gtk_progress_dialog.h"
#include "desktop_display.h"
#include "foundation/settings_sections.h"
#include "support/loopback.h"

namespace {

class RoutingWizardTest : public DesktopDisplayTest {};

// No router answers on loopback: the probe fails in its progress dialog and
// the manual choices follow; "Remind me later" is stored.
TEST_F(RoutingWizardTest, AFailedProbeOffersTheManualChoices) {
  KAVRIX_NEED_DISPLAY();
  LGdkLock lock;
  LRoutingProbeOptions options;
  options.interfaceAddresses = std::vector<std::uint32_t>{0x0A000005};  // 10.0.0.5: behind a router
  options.searchTarget.sin_family = AF_INET;
  options.searchTarget.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  options.searchTarget.sin_port = htons(KavrixFreeLoopbackPort());
  options.searchPort = KavrixFreeLoopbackPort();
  options.searchRounds = 1;
  WhenShown("Network Probe Setup Wizard", "routing-probe", [](GtkWidget*) {});
  // The failed probe keeps its reason on screen until closed (the progress
  // dialog's way for every process that fails).
  bool failureShown = false;
  gdk_threads_add_timeout(50, [](gpointer shown) -> gboolean {
    GtkWidget* dialog = LGtkProgressDialog::Current();
    GtkWidget* close =
        dialog != nullptr ? gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), GTK_RESPONSE_CLOSE) : nullptr;
    if (close == nullptr) return G_SOURCE_CONTINUE;
    DesktopDisplayTest::Screenshot("routing-probe-failed");
    *static_cast<bool*>(shown) = true;
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CLOSE);
    return G_SOURCE_REMOVE;
  }, &failureShown);
  bool manualShown = false;
  // The same title again, now with OK: the manual choices.
  gdk_threads_add_timeout(50, [](gpointer shown) -> gboolean {
    GList* windows = gtk_window_list_toplevels();
    bool done = false;
    for (GList* item = windows; item != nullptr; item = item->next) {
      GtkWidget* ok = GTK_IS_DIALOG(item->data)
                          ? gtk_dialog_get_widget_for_response(GTK_DIALOG(item->data), GTK_RESPONSE_OK)
                          : nullptr;
      if (ok != nullptr && gtk_widget_get_mapped(GTK_WIDGET(item->data))) {
        DesktopDisplayTest::Screenshot("routing-manual-choices");
        *static_cast<bool*>(shown) = true;
        gtk_dialog_response(GTK_DIALOG(item->data), GTK_RESPONSE_OK);
        done = true;
      }
    }
    g_list_free(windows);
    return done ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
  }, &manualShown);
  EXPECT_FALSE(LDesktopRunRoutingWizard(nullptr, nullptr, options));
  EXPECT_TRUE(failureShown);
  EXPECT_TRUE(manualShown);
  EXPECT_EQ(LSettingGetString("Routing", "WizardRun"), "0");
  EXPECT_NE(LSettingGetString("Routing", "WizardRunLater"), "");
}

}  // namespace

namespace {

GtkWidget* FindEntry(GtkWidget* widget) {
  if (GTK_IS_ENTRY(widget)) return widget;
  if (!GTK_IS_CONTAINER(widget)) return nullptr;
  GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
  GtkWidget* found = nullptr;
  for (GList* item = children; item != nullptr && found == nullptr; item = item->next) {
    found = FindEntry(GTK_WIDGET(item->data));
  }
  g_list_free(children);
  return found;
}

// The pixels of the field's text area as they are on screen now.
std::string TextAreaPixels(GtkWidget* entry) {
  gdk_window_process_all_updates();
  gdk_flush();
  GdkWindow* area = gtk_entry_get_text_window(GTK_ENTRY(entry));
  int width, height;
  gdk_drawable_get_size(area, &width, &height);
  GdkPixbuf* shot = gdk_pixbuf_get_from_drawable(nullptr, area, nullptr, 0, 0, 0, 0, width, height);
  if (shot == nullptr) return {};
  std::string pixels(reinterpret_cast<const char*>(gdk_pixbuf_get_pixels(shot)),
                     static_cast<size_t>(gdk_pixbuf_get_rowstride(shot)) * static_cast<size_t>(height - 1) +
                         static_cast<size_t>(width * gdk_pixbuf_get_n_channels(shot)));
  g_object_unref(shot);
  return pixels;
}

// The empty host field shows the hint without holding it as text; a typed
// name is stored as the public host name.
TEST_F(RoutingWizardTest, TheHostFieldPromptsForAHostName) {
  KAVRIX_NEED_DISPLAY();
  LGdkLock lock;
  struct Seen {
    std::string prompt, text;
    bool drawn = false;
  } seen;
  WhenShown(kLRoutingManualTitle, "routing-host-prompt", [&seen](GtkWidget* dialog) {
    GtkWidget* entry = FindEntry(dialog);
    ASSERT_NE(entry, nullptr);
    seen.prompt = LGtkEntryPrompt(entry) != nullptr ? LGtkEntryPrompt(entry) : "";
    seen.text = gtk_entry_get_text(GTK_ENTRY(entry));
    const std::string withPrompt = TextAreaPixels(entry);
    LGtkEntrySetPrompt(entry, nullptr);
    seen.drawn = !withPrompt.empty() && withPrompt != TextAreaPixels(entry);
    GList* children = gtk_container_get_children(GTK_CONTAINER(gtk_dialog_get_content_area(GTK_DIALOG(dialog))));
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(g_list_nth_data(children, 1)), TRUE);  // "Router is manually configured"
    g_list_free(children);
    gtk_entry_set_text(GTK_ENTRY(entry), "office.example.org");
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
  });
  EXPECT_TRUE(LDesktopRoutingManualChoice(nullptr));
  EXPECT_EQ(seen.prompt, "Prefer hostname to IP");
  EXPECT_EQ(seen.text, "");
  EXPECT_TRUE(seen.drawn);
  EXPECT_EQ(LSettingGetString("Routing", "DomainName"), "office.example.org");
  EXPECT_EQ(LSettingGetString("Routing", "PublicAddressMode"), "2");
}

}  // namespace
