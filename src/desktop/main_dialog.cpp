#include "desktop/main_dialog.h"

#include <gdk/gdkkeysyms.h>

#include "desktop/desktop_entry.h"
#include "desktop/desktop_opener.h"
#include "desktop/email_settings_dialog.h"
#include "desktop/gdk_lock.h"
#include "desktop/gtk_progress_dialog.h"
#include "desktop/message_box.h"
#include "desktop/options_dialog.h"
#include "desktop/routing_wizard.h"
#include "foundation/log.h"
#include "foundation/settings_sections.h"
#include "model/teams.h"
#include "routing/routing_probe.h"
#include "service/service_control.h"
#include "service/service_stop.h"
#include "service/service_process.h"

MainDialog::MainDialog(MainEngineProxy& proxy, LServicePaths paths) : proxy_(proxy), paths_(std::move(paths)) {}

MainDialog::~MainDialog() = default;

void MainDialog::QueueLogLine(const std::string& clockText, const std::string& text, std::uint8_t level) {
  status_.DisplayStatus(clockText, text, level);
}

void MainDialog::EvControlNotify(std::uint32_t code, const void*, size_t) {
  // The engine raises no notifications of its own; one that arrives is noted.
  LOGF("Engine notification %u", code);
}

void MainDialog::Raise() {
  LGdkLock lock;
  BringToFront();
}

void MainDialog::Close() {
  LGdkLock lock;
  closing_ = true;
  // A question of the start sequence or an open dialog ends first, as if
  // its window had been closed.
  GList* windows = gtk_window_list_toplevels();
  for (GList* item = windows; item != nullptr; item = item->next) {
    if (GTK_IS_DIALOG(item->data) && gtk_widget_get_visible(GTK_WIDGET(item->data))) {
      gtk_dialog_response(GTK_DIALOG(item->data), GTK_RESPONSE_DELETE_EVENT);
    }
  }
  g_list_free(windows);
  CloseWindow();
}

void MainDialog::ShowMessage(const std::string& title, const std::string& text) {
  LGdkLock lock;
  (void)LMessageBox(IsShown() ? Window() : nullptr, GTK_MESSAGE_INFO, title, text, {{"OK", GTK_RESPONSE_OK}},
                    GTK_RESPONSE_OK);
}

void MainDialog::InitDialog() {
  if (LSettingGetString("Settings", "Installed") != "1") {
    if (!LDesktopCreateShortcut()) LOGERROR("The desktop shortcut could not be created");
    (void)LSettingSetString("Settings", "Installed", "1");
  }
  Create(kLProductTitle, kLWindowMinWidth, kLWindowMinHeight, kLProductTitle);
  SetBody(status_.Widget());
  LOG("KavrixServer Run");
  AddMenu("&KavrixServer", {{"Open Control Panel", kCmOpenControlPanel, "", nullptr},
                             {"&Options...", kCmOptions, "", nullptr},
                             {"View Logs...", kCmViewLogs, "", nullptr}});
  AddToolBar({{"Open", kCmOpenControlPanel, "Open KavrixServer Control Panel", GTK_STOCK_HOME},
              {"Options", kCmOptions, "Adjust settings and options (Ctrl+O)", GTK_STOCK_PREFERENCES}});
  AddKey(GDK_o, GDK_CONTROL_MASK, kCmOptions);
  SetStatusText(kLProductVersionText);
}

void MainDialog::Run() {
  LGdkLock lock;
  InitDialog();
  if (LSettingGetString("Email", "UseSMTPHost", "0") == "0" &&
      LMessageBox(nullptr, GTK_MESSAGE_QUESTION, kLEmailRequiredTitle, kLEmailRequiredText,
                  {{"Yes, Enter now", GTK_RESPONSE_YES}, {"No, Skip for later", GTK_RESPONSE_NO}},
                  GTK_RESPONSE_YES) == GTK_RESPONSE_YES) {
    LEmailSendSettingsDlg dialog(nullptr, &status_);
    (void)dialog.Run();
  }
  if (LSettingGetString("Settings", "ConnectRemote") != "0") {
    LGtkProgressDialog progress(nullptr, &status_);
    if (LNetRoutingCheckGUI(progress).result == kLProcessFailed &&
        LSettingGetString("Routing", "WizardRun") != "1") {
      (void)LDesktopRoutingManualChoice(nullptr);
    }
  }
  if (!KXInitDefaultLeaveTypes()) LOGERROR("The default leave types could not be created");
  if (closing_) return;
  proxy_.Start();
  BringToFront();
  gtk_main();
}

std::vector<LMenuItem> MainDialog::TrayMenuItems() {
  std::vector<LMenuItem> items = {{"Open KavrixServer", kCmOpenKavrix, "", nullptr},
                                  {"Open Control Panel", kCmOpenControlPanel, "", nullptr},
                                  {"-", 0, "", nullptr}};
  if (IsShown()) items.push_back({"Exit (Close to Tray)", kCmCloseToTray, "", nullptr});
  items.push_back({"Exit (Turn Off)", kCmExit, "", nullptr});
  return items;
}

void MainDialog::OnCloseRequest() {
  switch (LMessageBoxYesNo(Window(), kLConfirmStopTitle, kLConfirmStopText, true, GTK_RESPONSE_CANCEL)) {
    case GTK_RESPONSE_YES:
      HideToTray();
      break;
    case GTK_RESPONSE_NO:
      CloseWindow();
      break;
    default:
      break;
  }
}

void MainDialog::Exit() {
  // A service that does not stop still lets the window close.
  if (!proxy_.RunsInProcess() &&
      LServiceFindProcess(paths_.procFolder, kLServiceName) != LServiceSearch::kNotRunning &&
      !LServiceStop(paths_)) {
    LOGERROR("The background service did not stop");
  }
  CloseWindow();
}

void MainDialog::OnCommand(int command) {
  switch (command) {
    case kCmOpenKavrix:
      BringToFront();
      break;
    case kCmOptions: {
      LOptionsDialog options(Window(), &status_);
      if (options.Run() || options.Restored()) {
        MainEngineProxy::OpenWebPorts();
        if (!proxy_.SendSettingsChanged()) LOGERROR("The settings change could not be sent to the service");
      }
      break;
    }
    case kCmOpenControlPanel:
      (void)LDesktopOpen(LControlPanelAddress());
      break;
    case kCmViewLogs:
      (void)LDesktopOpen(gLLog().GetLogFolder());
      break;
    case kCmExit:
      Exit();
      break;
    case kCmCloseToTray:
      HideToTray();
      break;
    default:
      break;
  }
}
