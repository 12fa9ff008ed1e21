#pragma once
// A fresh data root and a real SMTP server (aiosmtpd) on loopback for the
// delivery tests. Without python3-aiosmtpd the test is skipped, or fails
// under CI, saying why.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/settings_sections.h"
#include "support/full_disk.h"
#include "support/log_lines.h"
#include "support/smtp_peer.h"
#include "support/temp_root.h"

class MailPeerTest : public KavrixTempRoot {
 protected:
  // Starts the peer afresh (a former one is stopped and its folder
  // emptied); empty when it runs, else why not.
  std::string StartPeer(const KavrixSmtpPeerOptions& options = {}) {
    peer_.Stop();
    std::filesystem::remove_all(TempDir() + "/peer");
    std::string why;
    return peer_.Start(TempDir() + "/peer", options, why) ? std::string() : why;
  }
  // The settings a delivery through the peer reads: the relay (the peer
  // unless `relay` is given), no direct delivery, a reply address and HELO
  // name, and panel addresses fixed without any interface lookup.
  void UsePeerAsRelay(const std::string& relay = "") {
    LSettingSetString("Email", "MailSMTPHost", relay.empty() ? peer_.HostText() : relay);
    LSettingSetString("Email", "SendDirect", "0");
    LSettingSetString("Email", "ReplyToEmail", "office@x.example");
    LSettingSetString("Email", "HeloHostName", "server.test.example");
    LSettingSetString("Routing", "LocalAddressMode", "4");
    LSettingSetString("Routing", "PublicAddressMode", "1");
    LSettingSetString("Routing", "StaticIPAddress", "203.0.113.9");
  }
  // The mails received, as "recipient|subject" in arrival order.
  std::vector<std::string> Received() {
    std::vector<std::string> out;
    for (int n = 1; n <= peer_.MessageCount(); ++n) {
      out.push_back(peer_.Meta(n).at("rcpt") + "|" + peer_.Meta(n).at("subject"));
    }
    return out;
  }
  bool LogHas(const std::string& line) { return KavrixLogged(line); }
  // The message with its Date line made fixed.
  std::string DataWithoutDate(int n) {
    std::string data = peer_.Data(n);
    const std::size_t date = data.find("\r\nDate: ");
    if (date != std::string::npos) data.replace(date + 8, data.find("\r\n", date + 2) - date - 8, "*");
    return data;
  }

  KavrixSmtpPeer peer_;
};

// Starts the peer or ends the test: skipped, or failed under CI.
#define KAVRIX_START_PEER(...)                           \
  do {                                                   \
    const std::string kavrix_why = StartPeer(__VA_ARGS__); \
    if (!kavrix_why.empty()) {                           \
      if (KavrixUnderCI()) FAIL() << kavrix_why;         \
      GTEST_SKIP() << kavrix_why;                        \
    }                                                    \
  } while (0)
