#pragma once
// Delivery over SMTP: through a relay host (optionally with AUTH LOGIN and
// TLS), or directly to the mail exchanger of each recipient's domain.
//
//   EmailSMTPSendProcess mail;
//   mail.to = "staff@example.com"; mail.from = ...; mail.relay_host = "smtp.example.com:587";
//   if (Process(thread, mail) == kLProcessDone) ...   // 1: stopped, 2: failed (logged)

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/process_result.h"

class LThread;

// The connect time-out, the time-out of each command and each message
// line, and the longest silence while a reply is awaited.
inline constexpr int kLSMTPConnectMs = 10000;
inline constexpr int kLSMTPCommandMs = 20000;
inline constexpr int kLSMTPMessageMs = 30000;
inline constexpr int kLSMTPReplySilenceMs = 40000;
// The port on which a relay speaks TLS from the first byte.
inline constexpr int kLSMTPImplicitTLSPort = 465;

struct EmailSMTPSendProcess {
  std::string to;       // one address, or several separated by commas
  std::string from;     // may be empty
  std::string subject;
  std::string body;     // lines separated by CR LF
  std::vector<std::string> attachments;  // file paths
  std::string relay_host;  // "host" or "host:port"; empty for none
  std::string user_name;   // AUTH LOGIN; also selects EHLO instead of HELO
  std::string password;
  bool send_direct = true;  // deliver directly when the relay cannot be reached
  // With the relay: STARTTLS after EHLO (refusing to go on when the relay
  // does not offer it), or TLS from the start on port 465.
  bool use_ssl = false;
  // Check the relay's certificate against the system's CA store and the
  // relay's name. Only for relays with a self-signed certificate is this
  // turned off, with a warning in the log.
  bool verify_certificate = true;
  // The name given in HELO/EHLO; empty: LIPGetLocalFQDN.
  std::string helo_host;
  // A dialog that shows the send: called on the sending thread with
  // kLSMTPStepText once the server takes the message, and with
  // kLSMTPStepAttachments as the attachments go (fractions up to 0.9).
  std::function<void(std::string_view step, double fraction)> progress;
};

inline constexpr char kLSMTPStepText[] = "Sending Message Text";
inline constexpr char kLSMTPStepAttachments[] = "Sending Message Attachment(s)";
inline constexpr double kLSMTPTextFraction = 0.3;
inline constexpr double kLSMTPAttachmentsEndFraction = 0.9;

[[nodiscard]] LProcessResult Process(LThread* thread, const EmailSMTPSendProcess& mail);
