#include "desktop/routing_wizard.h"

#include <gtest/gtest.h>

#include "desktop/gdk_lock.h"
#include "desktop/gtk_progress_dialog.h"
#include "desktop_display.h"
#include "foundation/settings_sections.h"
#include "support/loopback.h"

namespace {

class RoutingWizardTest : public DesktopDisplayTest {};

// The shown dialog with an OK button: the manual choices (the probe's
// progress dialog has the same title).
GtkWidget* ManualChoices() {
  GList* windows = gtk_window_list_toplevels();
  GtkWidget* found = nullptr;
  for (GList* item = windows; item != nullptr; item = item->next) {
    if (GTK_IS_DIALOG(item->data) && gtk_widget_get_mapped(GTK_WIDGET(item->data)) &&
        gtk_dialog_get_widget_for_response(GTK_DIALOG(item->data), GTK_RESPONSE_OK) != nullptr) {
      found = GTK_WIDGET(item->data);
    }
  }
  g_list_free(windows);
  return found;
}

struct Steps {
  bool failureShown = false;
  int oks = 0;
};

// Closes the failed probe's dialog, then chooses "Router is manually
// configured" and presses OK, first without a host name, then with one.
gboolean AnswerWizard(gpointer data) {
  auto* steps = static_cast<Steps*>(data);
  GtkWidget* progress = LGtkProgressDialog::Current();
  if (!steps->failureShown && progress != nullptr &&
      gtk_dialog_get_widget_for_response(GTK_DIALOG(progress), GTK_RESPONSE_CLOSE) != nullptr) {
    steps->failureShown = true;
    gtk_dialog_response(GTK_DIALOG(progress), GTK_RESPONSE_CLOSE);
    return G_SOURCE_CONTINUE;
  }
  GtkWidget* dialog = ManualChoices();
  if (dialog == nullptr) return G_SOURCE_CONTINUE;
  // The second row is the choice, the third the host name's label and field.
  GList* rows =
      gtk_container_get_children(GTK_CONTAINER(gtk_dialog_get_content_area(GTK_DIALOG(dialog))));
  if (steps->oks == 0) {
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(g_list_nth_data(rows, 1)), TRUE);
  } else {
    GList* host = gtk_container_get_children(GTK_CONTAINER(g_list_nth_data(rows, 2)));
    gtk_entry_set_text(GTK_ENTRY(g_list_nth_data(host, 1)), "office.example.org");
    g_list_free(host);
  }
  g_list_free(rows);
  gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
  return ++steps->oks == 2 ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
}

// No router answers on loopback: the probe fails, its progress dialog keeps
// the reason on screen until closed (the dialog's way for every process
// that fails), and the manual choices follow; the manual router needs a
// host name, which is stored as the public host name.
TEST_F(RoutingWizardTest, AFailedProbeOffersTheManualChoicesAndTheHostNameIsRequired) {
  KAVRIX_NEED_DISPLAY();
  LGdkLock lock;
  LRoutingProbeOptions options;
  options.interfaceAddresses = std::vector<std::uint32_t>{0x0A000005};  // 10.0.0.5: behind a router
  options.searchTarget.sin_family = AF_INET;
  options.searchTarget.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  options.searchTarget.sin_port = htons(KavrixFreeLoopbackPort());
  options.searchPort = KavrixFreeLoopbackPort();
  options.searchRounds = 1;
  Steps steps;
  gdk_threads_add_timeout(50, AnswerWizard, &steps);
  EXPECT_FALSE(LDesktopRunRoutingWizard(nullptr, nullptr, options));
  EXPECT_TRUE(steps.failureShown);
  EXPECT_EQ(steps.oks, 2);
  EXPECT_EQ(KavrixSettingsText("Routing", {"DomainName", "PublicAddressMode"}),
            "DomainName=office.example.org;PublicAddressMode=2;");
}

}  // namespace
