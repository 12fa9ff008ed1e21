#include "desktop/main_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "desktop/email_settings_dialog.h"
#include "desktop/gdk_lock.h"
#include "desktop/gtk_progress_dialog.h"
#include "desktop/options_dialog.h"
#include "desktop_display.h"
#include "foundation/log.h"
#include "foundation/settings_sections.h"

namespace {

class MainDialogTest : public DesktopDisplayTest {
 protected:
  void SetUp() override {
    DesktopDisplayTest::SetUp();
    ASSERT_TRUE(LSettingSetString("Settings", "Installed", "1"));
  }
  LServicePaths Paths() {
    LServicePaths paths;
    paths.serviceExecutable = TempDir() + "/sbin/kavrixserverd";
    paths.initScript = TempDir() + "/init.d/kavrixserverd";
    paths.runLevelLink = TempDir() + "/rc3.d/S19kavrixserverd";
    paths.procFolder = TempDir() + "/proc";
    paths.controlSocket = TempDir() + "/control.sock";
    std::filesystem::create_directories(paths.procFolder);
    return paths;
  }
};

TEST_F(MainDialogTest, WindowKeepsGeometryOpensPanelAndHidesOnClose) {
  KAVRIX_NEED_DISPLAY();
  LGdkLock lock;
  for (const auto& [key, value] : {std::pair{"Width", 420}, {"Height", 330}, {"X", 60}, {"Y", 40}}) {
    ASSERT_TRUE(LSettingSetInt("MainWindow", key, value));
  }
  ASSERT_TRUE(LSettingSetInt("Routing", "LocalPort", 8123));
  MainEngineProxy proxy(Paths());
  MainDialog window(proxy, Paths());
  window.InitDialog();
  window.BringToFront();
  ASSERT_TRUE(
      RunUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(window.Window())) != FALSE; }));

  int width, height, x, y;
  gtk_window_get_size(window.Window(), &width, &height);
  gtk_window_get_position(window.Window(), &x, &y);
  EXPECT_EQ(std::vector<int>({width, height, x, y}), std::vector<int>({420, 330, 60, 40}));

  // The tool bar's "Open": the opener gets the address as its one argument.
  GtkToolItem* open = gtk_toolbar_get_nth_item(GTK_TOOLBAR(window.ToolBar()), 0);
  gtk_button_clicked(GTK_BUTTON(gtk_bin_get_child(GTK_BIN(open))));
  ASSERT_TRUE(RunUntil([&] { return KavrixReadFile(OpenerRecord()) == "1\nhttp://localhost:8123\n"; }))
      << KavrixReadFile(OpenerRecord());

  // Yes hides it to the tray and saves the size.
  gtk_window_resize(window.Window(), 500, 360);
  ASSERT_TRUE(RunUntil([&] {
    int w, h;
    gtk_window_get_size(window.Window(), &w, &h);
    return w == 500;
  }));
  GdkEvent* close = gdk_event_new(GDK_DELETE);
  close->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(GTK_WIDGET(window.Window()))));
  WhenShown(kLConfirmStopTitle, GTK_RESPONSE_YES);
  gtk_main_do_event(close);
  EXPECT_FALSE(window.IsShown());
  EXPECT_EQ(LSettingGetInt("MainWindow", "Width", 0), 500);
  gdk_event_free(close);
}

// A missing field is refused; OK stores the fields. Sending to a real mail
// server is SmtpSendTest's.
TEST_F(MainDialogTest, EmailSettingsRefuseWhatIsMissingAndOkStoresTheFields) {
  KAVRIX_NEED_DISPLAY();
  LGdkLock lock;
  LStatusWindow status;
  gLLog().SetStatusWindow(nullptr);
  LEmailSendSettingsDlg dialog(nullptr, &status);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(dialog.useSMTPHost), TRUE);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(dialog.downSend), FALSE);
  gtk_entry_set_text(GTK_ENTRY(dialog.host), "mail.example.org");
  std::string title, text;
  ASSERT_TRUE(dialog.Refusal(title, text));
  EXPECT_EQ(title, kLReplyRequiredTitle);
  gtk_entry_set_text(GTK_ENTRY(dialog.replyTo), "boss@example.com");
  WhenShown(kLEmailSettingsTitle, GTK_RESPONSE_OK);
  ASSERT_TRUE(dialog.Run());
  EXPECT_EQ(KavrixSettingsText("Email", {"MailSMTPHost", "ReplyToEmail", "UseSMTPHost", "SendDirect", "SetViewed"}),
            "MailSMTPHost=mail.example.org;ReplyToEmail=boss@example.com;UseSMTPHost=1;SendDirect=0;SetViewed=1;");
}

TEST_F(MainDialogTest, OptionsBackupRestoreAndDataFolder) {
  KAVRIX_NEED_DISPLAY();
  LGdkLock lock;
  ASSERT_TRUE(LSettingSetString("Routing", "LocalPort", "8124"));
  const std::string before = KavrixReadFile(LSettingSectionFile(SharedFolder(), "Routing"));
  LOptionsDialog options(nullptr, nullptr);
  const std::string backup = TempDir() + "/backup";
  ASSERT_TRUE(options.SaveSettings(backup));
  ASSERT_TRUE(LSettingSetString("Routing", "LocalPort", "9999"));
  ASSERT_TRUE(options.RestoreSettings(backup));
  EXPECT_TRUE(options.Restored());
  EXPECT_EQ(KavrixReadFile(LSettingSectionFile(SharedFolder(), "Routing")), before);
  EXPECT_EQ(LSettingGetInt("Routing", "LocalPort", 0), 8124);

  // The data folder stored by OK (its refusal: RoutingOptionsPageTest).
  gtk_entry_set_text(GTK_ENTRY(options.dataFolder), TempDir().c_str());
  EXPECT_TRUE(options.StoreDataFolder());
  EXPECT_EQ(LSettingGetString("Settings", "SystemArchiveFolder"), TempDir());
}

}  // namespace
