#include "desktop/routing_options_page.h"

#include <gtest/gtest.h>

#include "desktop/gdk_lock.h"
#include "desktop/options_dialog.h"
#include "desktop_display.h"
#include "foundation/settings_sections.h"
#include "routing/routing_settings.h"

namespace {

std::string Link(GtkWidget* link) { return gtk_link_button_get_uri(GTK_LINK_BUTTON(link)); }

void Type(GtkWidget* entry, const char* text) { gtk_entry_set_text(GTK_ENTRY(entry), text); }

void Choose(GtkWidget* combo, int item) { gtk_combo_box_set_active(GTK_COMBO_BOX(combo), item); }

class RoutingOptionsPageTest : public DesktopDisplayTest {
 protected:
  void SetUp() override {
    DesktopDisplayTest::SetUp();
    ASSERT_TRUE(LSettingSetInt("Routing", "PublicAddressMode", kLPublicStaticConfirmed));
    ASSERT_TRUE(LSettingSetString("Routing", "StaticIPAddress", "203.0.113.7"));
    ASSERT_TRUE(LSettingSetInt("Routing", "LocalPort", 8125));
    ASSERT_TRUE(LSettingSetInt("Routing", "PublicPort", 8125));
  }
  // Presses OK in the Options dialog; when `refusal` the box titled
  // "KavrixServer" that follows is closed and then the dialog cancelled.
  static void AnswerOptions(bool refusal) {
    WhenShown(kLOptionsTitle, GTK_RESPONSE_OK);
    if (!refusal) return;
    WhenShown("KavrixServer", [](GtkWidget* box) {
      gtk_dialog_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
      WhenShown(kLOptionsTitle, GTK_RESPONSE_CANCEL);
    });
  }
  std::string RoutingFile() { return KavrixReadFile(LSettingSectionFile(SharedFolder(), "Routing")); }
};

TEST_F(RoutingOptionsPageTest, FieldsShowTheSettingsAndOkChecksEverythingFirst) {
  KAVRIX_NEED_DISPLAY();
  LGdkLock lock;
  LOptionsDialog options(nullptr, nullptr);
  LRoutingOptionsPage& page = *options.routing;
  gtk_notebook_set_current_page(GTK_NOTEBOOK(options.notebook), 1);
  ASSERT_TRUE(RunUntil([&] { return gtk_widget_get_mapped(page.page) != FALSE; }));

  std::string privateAddress;
  LNetRoutingGetPrivateAddress(0, privateAddress);
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(page.publicMode)), kLPublicStaticConfirmed);
  EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(page.publicAddress)), "203.0.113.7");
  EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(page.samePort)));
  EXPECT_EQ(Link(page.localhostLink) + " " + Link(page.privateLink) + " " + Link(page.publicLink),
            "http://localhost:8125 http://" + privateAddress + ":8125 http://203.0.113.7:8125");

  // Each refusal stores nothing.
  const std::string before = RoutingFile();
  struct Row {
    int mode;
    const char* address;
    const char* local;
    bool same;
    const char* router;
    const char* refusal;
  };
  const Row rows[] = {
      {kLPublicDomainName, "", "8200", true, "", kLRoutingHostInvalid},
      {kLPublicDontCare, "", "65536", true, "", kLRoutingLocalPortInvalid},
      {kLPublicDontCare, "", "8200", false, "", kLRoutingPublicPortInvalid},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.refusal + std::string(" ") + row.address + " " + row.local + " " + row.router);
    Choose(page.publicMode, row.mode);
    Type(page.publicAddress, row.address);
    Type(page.localPort, row.local);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(row.same ? page.samePort : page.otherPort), TRUE);
    Type(page.publicPort, row.router);
    std::string text;
    EXPECT_TRUE(page.Refusal(text) && text == row.refusal) << text;
    AnswerOptions(true);
    EXPECT_FALSE(options.Run());
    EXPECT_EQ(RoutingFile(), before);
  }
  // A refusal of the other page stores none of this page either.
  Choose(page.publicMode, kLPublicDomainName);
  Type(page.publicAddress, "kavrix.example.org");
  Type(page.localPort, "65535");
  Type(page.publicPort, "8300");
  gtk_entry_set_text(GTK_ENTRY(options.dataFolder), (TempDir() + "/missing").c_str());
  AnswerOptions(true);
  EXPECT_FALSE(options.Run());
  EXPECT_EQ(RoutingFile(), before);

  // A valid save stores every key.
  Choose(page.localMode, kLLocalHostName);
  gtk_entry_set_text(GTK_ENTRY(options.dataFolder), TempDir().c_str());
  AnswerOptions(false);
  ASSERT_TRUE(options.Run());
  EXPECT_EQ(KavrixSettingsText("Routing", {"LocalAddressMode", "PublicAddressMode", "DomainName",
                                           "StaticIPAddress", "LocalPort", "PublicPort"}),
            "LocalAddressMode=2;PublicAddressMode=2;DomainName=kavrix.example.org;"
            "StaticIPAddress=203.0.113.7;LocalPort=65535;PublicPort=8300;");
}

}  // namespace
