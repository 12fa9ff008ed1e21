#include "desktop/routing_options_page.h"

#include "desktop/entry_prompt.h"
#include "desktop/message_box.h"
#include "desktop/product_title.h"
#include "desktop/routing_wizard.h"
#include "engine/port_settings.h"
#include "foundation/settings_sections.h"
#include "routing/ip_ranges.h"
#include "routing/routing_settings.h"

namespace {

constexpr int kPortDigits = 5;

LRoutingOptionsPage& Self(gpointer data) { return *static_cast<LRoutingOptionsPage*>(data); }

std::string EntryText(GtkWidget* entry) { return gtk_entry_get_text(GTK_ENTRY(entry)); }

// A stored mode outside the list counts as mode 0, as everywhere else.
int ModeIn(int value, int count) { return value >= 0 && value < count ? value : 0; }

int StoredLocalPort() {
  const int port = LSettingGetInt(kLRoutingSection, kLRoutingLocalPort, 0);
  return port != 0 ? port : kLDefaultLocalPort;
}

GtkWidget* Labelled(GtkWidget* box, const char* label, GtkWidget* field, bool stretch = true) {
  GtkWidget* row = gtk_hbox_new(FALSE, 4);
  gtk_box_pack_start(GTK_BOX(row), gtk_label_new(label), FALSE, FALSE, 2);
  gtk_box_pack_start(GTK_BOX(row), field, stretch ? TRUE : FALSE, stretch ? TRUE : FALSE, 2);
  gtk_box_pack_start(GTK_BOX(box), row, FALSE, FALSE, 2);
  return row;
}

GtkWidget* PortEntry() {
  GtkWidget* entry = gtk_entry_new();
  gtk_entry_set_max_length(GTK_ENTRY(entry), kPortDigits);
  gtk_entry_set_width_chars(GTK_ENTRY(entry), kPortDigits + 1);
  return entry;
}

// One example link with what it is for beside it.
GtkWidget* ExampleLink(GtkWidget* box, const char* what) {
  GtkWidget* link = gtk_link_button_new("");
  gtk_button_set_alignment(GTK_BUTTON(link), 0, 0.5);
  Labelled(box, what, link);
  return link;
}

void SetLink(GtkWidget* link, const std::string& host, int port) {
  // A port being typed may not be valid yet: no link rather than a wrong one.
  const std::string url = port != 0 && !host.empty() ? LNetRoutingExampleURL(host, port) : std::string();
  gtk_link_button_set_uri(GTK_LINK_BUTTON(link), url.c_str());
  gtk_button_set_label(GTK_BUTTON(link), url.c_str());
  gtk_widget_set_sensitive(link, url.empty() ? FALSE : TRUE);
}

}  // namespace

LRoutingOptionsPage::LRoutingOptionsPage(GtkWidget* owner, LStatusWindow* status) : owner_(owner), status_(status) {
  page = gtk_vbox_new(FALSE, 4);
  gtk_container_set_border_width(GTK_CONTAINER(page), 6);
  const GCallback refresh = G_CALLBACK(+[](GtkWidget*, gpointer self) { Self(self).UpdateLinks(); });

  localMode = gtk_combo_box_new_text();
  Labelled(page, "From Local Network", localMode);
  publicMode = gtk_combo_box_new_text();
  for (int mode = 0; mode < kLPublicAddressModes; ++mode)
    gtk_combo_box_append_text(GTK_COMBO_BOX(publicMode), std::string(LPublicAddressModeDescription(mode)).c_str());
  Labelled(page, "From Internet", publicMode);
  publicAddress = gtk_entry_new();
  LGtkEntrySetPrompt(publicAddress, kLRoutingAddressPrompt);
  Labelled(page, "Public host name or IP address", publicAddress);

  localPort = PortEntry();
  Labelled(page, "Run on Port", localPort, false);
  samePort = gtk_radio_button_new_with_label(nullptr, "Use same port");
  gtk_box_pack_start(GTK_BOX(page), samePort, FALSE, FALSE, 2);
  otherPort = gtk_radio_button_new_with_label_from_widget(GTK_RADIO_BUTTON(samePort), "Router use a different port");
  publicPort = PortEntry();
  GtkWidget* row = gtk_hbox_new(FALSE, 4);
  gtk_box_pack_start(GTK_BOX(row), otherPort, FALSE, FALSE, 2);
  gtk_box_pack_start(GTK_BOX(row), publicPort, FALSE, FALSE, 2);
  gtk_box_pack_start(GTK_BOX(page), row, FALSE, FALSE, 2);

  localhostLink = ExampleLink(page, "(This Computer)");
  privateLink = ExampleLink(page, "(Local network)");
  publicLink = ExampleLink(page, "(General Internet)");

  GtkWidget* wizard = gtk_button_new_with_label("Run Routing Wizard");
  g_signal_connect(wizard, "clicked", G_CALLBACK(+[](GtkButton*, gpointer self) {
                     (void)LDesktopRunRoutingWizard(GTK_WINDOW(Self(self).owner_), Self(self).status_);
                     Self(self).Fill();
                   }),
                   this);
  gtk_box_pack_start(GTK_BOX(page), wizard, FALSE, FALSE, 2);

  g_signal_connect(localMode, "changed", refresh, this);
  g_signal_connect(publicMode, "changed", G_CALLBACK(+[](GtkWidget*, gpointer self) {
                     if (Self(self).filling_) return;
                     Self(self).ShowPublicAddress();
                     Self(self).UpdateLinks();
                   }),
                   this);
  g_signal_connect(publicAddress, "changed", refresh, this);
  g_signal_connect(localPort, "changed", refresh, this);
  g_signal_connect(publicPort, "changed", refresh, this);
  g_signal_connect(samePort, "toggled", G_CALLBACK(+[](GtkWidget*, gpointer self) {
                     const gboolean other = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(Self(self).otherPort));
                     gtk_widget_set_sensitive(Self(self).publicPort, other);
                     Self(self).UpdateLinks();
                   }),
                   this);
  Fill();
}

void LRoutingOptionsPage::Fill() {
  filling_ = true;
  // The descriptions carry the addresses, which the wizard may have changed.
  GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(localMode));
  for (int count = gtk_tree_model_iter_n_children(model, nullptr); count > 0; --count)
    gtk_combo_box_remove_text(GTK_COMBO_BOX(localMode), 0);
  for (int mode = 0; mode < kLLocalAddressModes; ++mode)
    gtk_combo_box_append_text(GTK_COMBO_BOX(localMode), LLocalAddressModeDescription(mode).c_str());
  gtk_combo_box_set_active(GTK_COMBO_BOX(localMode),
                           ModeIn(LNetRoutingGetMode(kLRoutingLocalAddressMode), kLLocalAddressModes));
  gtk_combo_box_set_active(GTK_COMBO_BOX(publicMode),
                           ModeIn(LNetRoutingGetMode(kLRoutingPublicAddressMode), kLPublicAddressModes));
  ShowPublicAddress();
  const int local = StoredLocalPort();
  const int router = LNetRoutingGetPublicPort();
  gtk_entry_set_text(GTK_ENTRY(localPort), std::to_string(local).c_str());
  gtk_entry_set_text(GTK_ENTRY(publicPort), std::to_string(router).c_str());
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(router == local ? samePort : otherPort), TRUE);
  gtk_widget_set_sensitive(publicPort, router == local ? FALSE : TRUE);
  filling_ = false;
  UpdateLinks();
}

void LRoutingOptionsPage::ShowPublicAddress() {
  std::string address;
  const int mode = PublicModeChosen();
  LNetRoutingGetPublicAddress(mode, address);
  // Without a stored address the computer's own one is offered (as the
  // panel's page does), so that OK on untouched fields is not refused.
  if (address.empty() && (mode == kLPublicStaticNotSure || mode == kLPublicStaticConfirmed))
    address = LNetRoutingInterfacePublicAddress();
  gtk_entry_set_text(GTK_ENTRY(publicAddress), address.c_str());
}

int LRoutingOptionsPage::LocalModeChosen() const {
  return ModeIn(gtk_combo_box_get_active(GTK_COMBO_BOX(localMode)), kLLocalAddressModes);
}

int LRoutingOptionsPage::PublicModeChosen() const {
  return ModeIn(gtk_combo_box_get_active(GTK_COMBO_BOX(publicMode)), kLPublicAddressModes);
}

int LRoutingOptionsPage::PublicPortChosen() const {
  if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(samePort))) return LNetRoutingPortIn(EntryText(localPort));
  return LNetRoutingPortIn(EntryText(publicPort));
}

void LRoutingOptionsPage::UpdateLinks() {
  if (filling_) return;
  const int local = LNetRoutingPortIn(EntryText(localPort));
  std::string privateAddress;
  LNetRoutingGetPrivateAddress(LocalModeChosen(), privateAddress);
  // The typed address is the one the Internet will use; without one (or
  // with "Don't Care") the computed public address is the best example.
  std::string publicText = EntryText(publicAddress);
  if (publicText.empty() || PublicModeChosen() == kLPublicDontCare) LNetRoutingGetPublicAddress(publicText);
  SetLink(localhostLink, "localhost", local);
  SetLink(privateLink, privateAddress, local);
  SetLink(publicLink, publicText, PublicPortChosen());
}

bool LRoutingOptionsPage::Refusal(std::string& text) const {
  const int mode = PublicModeChosen();
  const std::string address = EntryText(publicAddress);
  if (mode == kLPublicDomainName && address.empty()) {
    text = kLRoutingHostInvalid;
  } else if ((mode == kLPublicStaticNotSure || mode == kLPublicStaticConfirmed) && !LParseDottedIPv4(address)) {
    text = kLRoutingAddressInvalid;
  } else if (LNetRoutingPortIn(EntryText(localPort)) == 0) {
    text = kLRoutingLocalPortInvalid;
  } else if (PublicPortChosen() == 0) {
    text = kLRoutingPublicPortInvalid;
  } else {
    return false;
  }
  return true;
}

bool LRoutingOptionsPage::Store() {
  std::string refusal;
  if (Refusal(refusal)) {
    LMessageBoxError(GTK_WINDOW(owner_), kLProductTitle, refusal);
    return false;
  }
  const int mode = PublicModeChosen();
  bool stored = LSettingSetInt(kLRoutingSection, kLRoutingLocalAddressMode, LocalModeChosen());
  stored = LSettingSetInt(kLRoutingSection, kLRoutingPublicAddressMode, mode) && stored;
  stored = LNetRoutingSetPublicAddress(mode, EntryText(publicAddress)) && stored;
  stored = LSettingSetInt(kLRoutingSection, kLRoutingLocalPort, LNetRoutingPortIn(EntryText(localPort))) && stored;
  stored = LSettingSetInt(kLRoutingSection, kLRoutingPublicPort, PublicPortChosen()) && stored;
  if (!stored) LMessageBoxError(GTK_WINDOW(owner_), kLProductTitle, "The routing settings could not be stored.");
  return stored;
}
