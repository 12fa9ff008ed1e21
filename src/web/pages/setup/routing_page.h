#pragma once
// "routing": how the server is reached from outside the office - the address
// shown to the local network and to the Internet, and the server's port with
// the port the router forwards. Administrators only. A new local port is
// applied at once by restarting the listener, and the answer tells the
// address under which the panel now answers.

#include <string>

#include "routing/routing_settings.h"
#include "web/panel/kx_web_dialog.h"

// Needs a session of an administrator (checked here for every request, the
// post included). "onok" and "oncancel" default to "mainpage".
void WLRoutingPage(LWebletForm& form);

class LKXRoutingPage : public LKXWebDialog {
 public:
  explicit LKXRoutingPage(LWebletForm& form);
  void InitDialog() override;
  void Generate() override;
  bool CmOk() override;

  // Set by CmOk when "LocalPort" changed: the listener must be restarted
  // once the answer has gone out.
  bool LocalPortChanged() const { return newLocalPort_ != 0; }
  // Set by CmOk when "HttpsPort" changed (on, off, or another port).
  bool HttpsPortChanged() const { return httpsChanged_; }

 private:
  void WriteExampleLinks();
  void WritePortChangedNotice();
  void WriteHttpsOnNotice();

  int newLocalPort_ = 0;
  bool httpsChanged_ = false;
  int httpsPort_ = 0;
};

// Under the form: nothing waits for a restart, a new port is taken at once.
inline constexpr char kLRoutingApplyNote[] =
    "Changes apply at once: a new port moves the control panel and the KavrixStation connections to it.";
