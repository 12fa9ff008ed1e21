#pragma once
// The "Routing" page of the Options dialog: how the local network and the
// Internet reach this server, the server's port and the port the router
// forwards, with example links that follow the fields as they are typed.

#include <gtk/gtk.h>

#include <string>

class LStatusWindow;

// The hint of the empty public address field.
inline constexpr char kLRoutingAddressPrompt[] = "e.g. 204.64.123.42";

class LRoutingOptionsPage {
 public:
  // `owner` is the dialog the wizard and the refusals open over.
  LRoutingOptionsPage(GtkWidget* owner, LStatusWindow* status);
  LRoutingOptionsPage(const LRoutingOptionsPage&) = delete;
  LRoutingOptionsPage& operator=(const LRoutingOptionsPage&) = delete;

  // Reads every field from the settings again (after the wizard changed them).
  void Fill();
  // The refusal OK would show for the fields as they are; false when none.
  bool Refusal(std::string& text) const;
  // OK's part: refuses (a box titled "KavrixServer") and stores nothing, or
  // stores the modes, the address and both ports.
  bool Store();

  GtkWidget* page;
  GtkWidget* localMode;
  GtkWidget* publicMode;
  GtkWidget* publicAddress;
  GtkWidget* localPort;
  GtkWidget* samePort;
  GtkWidget* otherPort;
  GtkWidget* publicPort;
  GtkWidget* localhostLink;
  GtkWidget* privateLink;
  GtkWidget* publicLink;

 private:
  void UpdateLinks();
  void ShowPublicAddress();
  int LocalModeChosen() const;
  int PublicModeChosen() const;
  // The public port the fields give: the local one with "Use same port".
  int PublicPortChosen() const;

  GtkWidget* owner_;
  LStatusWindow* status_;
  // Filling the fields fires their "changed" signals; the links are
  // refreshed once at the end instead.
  bool filling_ = false;
};
