#include "desktop/routing_wizard.h"

#include <gtest/gtest.h>

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
  // The failed probe keeps its reason on screen until closed.
  gdk_threads_add_timeout(50, [](gpointer) -> gboolean {
    GtkWidget* dialog = LGtkProgressDialog::Current();
    GtkWidget* close =
        dialog != nullptr ? gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), GTK_RESPONSE_CLOSE) : nullptr;
    if (close == nullptr) return G_SOURCE_CONTINUE;
    DesktopDisplayTest::Screenshot("routing-probe-failed");
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CLOSE);
    return G_SOURCE_REMOVE;
  }, nullptr);
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
  EXPECT_TRUE(manualShown);
  EXPECT_EQ(LSettingGetString("Routing", "WizardRun"), "0");
  EXPECT_NE(LSettingGetString("Routing", "WizardRunLater"), "");
}

}  // namespace
