#include "mail/smtp_send.h"

#include <algorithm>

#include <strings.h>

#include <string_view>

#include "foundation/ascii_text.h"
#include "foundation/log.h"
#include "foundation/text_limits.h"
#include "foundation/thread.h"
#include "mail/email_address.h"
#include "routing/host_addresses.h"
#include "mail/mail_connection.h"
#include "mail/mail_encoders.h"
#include "mail/mail_host_address.h"
#include "mail/mail_message.h"
#include "mail/smtp_data_lines.h"

namespace {

constexpr char kNotResponding[] = "Mail server not responding";
constexpr char kHeloRefused[] = "Mail host server error (HELO not accepted)";
constexpr char kAuthRefused[] = "Email authentication username or password not accepted";
constexpr char kEncryptionRequired[] =
    "Encryption required for requested Email server. Please check your Email Settings.";
constexpr char kMailFromRefused[] =
    "Mail host server error (MAIL FROM not accepted). Please check your Email Settings.";
constexpr char kRcptRefused[] =
    "Mail send error (RCPT TO not accepted). Your SMTP server may require a username or password. "
    "Please see Email Settings.";
constexpr char kDataRefused[] = "Mail host server error (DATA not accepted)";
constexpr char kTerminatorRefused[] = "Mail host server error (data terminator not accepted)";
constexpr char kInvalidAddress[] = "Invalid email address to send to";

// An address as it may stand in MAIL FROM: no line ends, no angle brackets.
std::string EnvelopeAddress(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x20 && c != '<' && c != '>' && c != 0x7f) out.push_back(c);
  }
  return out;
}

std::string Base64(std::string_view text) {
  std::string out;
  LBase64Encode(text.data(), text.size(), out);
  return out;
}

bool OffersStartTLS(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (line.size() >= 12 && strncasecmp(line.c_str() + 4, "STARTTLS", 8) == 0) return true;
  }
  return false;
}

class LSMTPDialogue {
 public:
  LSMTPDialogue(LThread* thread, const EmailSMTPSendProcess& mail, std::string_view message)
      : mail_(mail), message_(message), connection_(thread) {}

  LMailConnection& Connection() { return connection_; }

  // After the connection was made: the whole dialogue.
  LProcessResult Run(bool to_relay, std::string_view relay_name);

 private:
  // Sends `line` and reads the reply code into `code` (0: none).
  LProcessResult Exchange(std::string_view line, int& code, std::vector<std::string>* lines = nullptr) {
    code = 0;
    const LProcessResult sent = connection_.Send(line, kLSMTPCommandMs);
    if (sent == kLProcessStopped) return sent;
    if (sent == kLProcessDone) code = connection_.ReadReplyCode(kLSMTPReplySilenceMs, lines);
    return code == 0 && connection_.StopRequested() ? kLProcessStopped : kLProcessDone;
  }
  // An expected code did not come: stopped when asked to stop, else failed.
  LProcessResult Fail(std::string_view why) {
    if (connection_.StopRequested()) return kLProcessStopped;
    LOGERROR(why);
    return kLProcessFailed;
  }
  LProcessResult Hello(bool ehlo, std::vector<std::string>* lines, int& code) {
    return Exchange((ehlo ? "EHLO " : "HELO ") + helo_ + "\r\n", code, lines);
  }
  LProcessResult SecureRelay(std::string_view relay_name, const std::vector<std::string>& ehlo_lines);
  LProcessResult MailFrom(bool to_relay);
  // Each valid address of the list; failed when the server took none.
  LProcessResult Recipients();
  // The message, in pieces when a dialog shows how far its attachments are.
  LProcessResult SendMessage() {
    if (mail_.progress) mail_.progress(kLSMTPStepText, kLSMTPTextFraction);
    if (!mail_.progress || mail_.attachments.empty()) return connection_.Send(message_, kLSMTPMessageMs);
    constexpr size_t kPiece = 65536;
    for (size_t at = 0; at < message_.size(); at += kPiece) {
      const LProcessResult sent = connection_.Send(message_.substr(at, kPiece), kLSMTPMessageMs);
      if (sent != kLProcessDone) return sent;
      const double done = static_cast<double>(std::min(message_.size(), at + kPiece)) / message_.size();
      mail_.progress(kLSMTPStepAttachments,
                     kLSMTPTextFraction + (kLSMTPAttachmentsEndFraction - kLSMTPTextFraction) * done);
    }
    return kLProcessDone;
  }
  LProcessResult Authenticate();

  const EmailSMTPSendProcess& mail_;
  std::string_view message_;
  LMailConnection connection_;
  std::string helo_;
};

LProcessResult LSMTPDialogue::SecureRelay(std::string_view relay_name,
                                          const std::vector<std::string>& ehlo_lines) {
  if (!OffersStartTLS(ehlo_lines)) {
    return Fail("Mail server \"" + std::string(relay_name) +
                "\" does not offer STARTTLS; the email is not sent unencrypted while \"UseSSL\" is on.");
  }
  int code = 0;
  if (Exchange("STARTTLS\r\n", code) == kLProcessStopped) return kLProcessStopped;
  if (code != 220) return Fail("Mail server \"" + std::string(relay_name) + "\" refused STARTTLS.");
  std::string error;
  const LProcessResult secured =
      connection_.StartTLS(relay_name, mail_.verify_certificate, kLSMTPCommandMs, error);
  if (secured != kLProcessDone) {
    if (secured == kLProcessStopped) return secured;
    return Fail("TLS with mail server \"" + std::string(relay_name) + "\" failed: " + error);
  }
  // The extensions offered before TLS no longer count.
  if (Hello(true, nullptr, code) == kLProcessStopped) return kLProcessStopped;
  return code == 250 ? kLProcessDone : Fail(kHeloRefused);
}

LProcessResult LSMTPDialogue::Authenticate() {
  const bool ehlo = true;  // a user name always selects EHLO
  int code = 0;
  if (Exchange("AUTH LOGIN\r\n", code) == kLProcessStopped) return kLProcessStopped;
  if (code == 503) {
    if (Hello(ehlo, nullptr, code) == kLProcessStopped) return kLProcessStopped;
    if (code != 250) return kLProcessDone;
    if (Exchange("AUTH LOGIN\r\n", code) == kLProcessStopped) return kLProcessStopped;
  }
  if (code == 530) return Fail(kEncryptionRequired);
  if (code != 334) return kLProcessDone;
  if (Exchange(Base64(mail_.user_name) + "\r\n", code) == kLProcessStopped) return kLProcessStopped;
  if (code != 334) return kLProcessDone;
  if (Exchange(Base64(mail_.password) + "\r\n", code) == kLProcessStopped) return kLProcessStopped;
  return code == 235 ? kLProcessDone : Fail(kAuthRefused);
}

LProcessResult LSMTPDialogue::MailFrom(bool to_relay) {
  int code = 0;
  std::string sender = EnvelopeAddress(mail_.from);
  if (sender.empty()) {
    // "host:port" is no address: only the host follows the "@".
    std::string domain;
    if (to_relay) {
      domain = LSplitMailHost(mail_.relay_host).host;
    } else {
      const std::size_t at = mail_.to.rfind('@');
      if (at == std::string::npos || at + 1 == mail_.to.size()) return Fail(kInvalidAddress);
      domain = mail_.to.substr(at + 1);
    }
    sender = EnvelopeAddress("KavrixServer@" + domain);
  }
  if (Exchange("MAIL FROM:<" + sender + ">\r\n", code) == kLProcessStopped) return kLProcessStopped;
  if (code != 250) return Fail(kMailFromRefused);
  return kLProcessDone;
}

LProcessResult LSMTPDialogue::Recipients() {
  int code = 0;
  int accepted = 0;
  std::string_view rest = mail_.to;
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    const std::string item(LTrimBlanks(LCutText(rest.substr(0, comma))));
    rest.remove_prefix(comma == std::string_view::npos ? rest.size() : comma + 1);
    if (item.empty()) continue;
    if (!LEmail::ValidateAddress(item)) {
      LOGERROR("Not sending to \"" + LEmailHeaderText(item) + "\": not a valid email address.");
      continue;
    }
    if (Exchange("RCPT TO:<" + item + ">\r\n", code) == kLProcessStopped) return kLProcessStopped;
    if (code == 250 || code == 251) ++accepted;
  }
  if (accepted == 0) return Fail(kRcptRefused);
  return kLProcessDone;
}

LProcessResult LSMTPDialogue::Run(bool to_relay, std::string_view relay_name) {
  if (mail_.helo_host.empty()) {
    helo_ = LIPGetLocalFQDN();
  } else {
    helo_ = EnvelopeAddress(mail_.helo_host);
  }
  int code = connection_.ReadReplyCode(kLSMTPReplySilenceMs);
  if (code != 220) return Fail(kNotResponding);

  const bool secure = to_relay && mail_.use_ssl;
  const bool ehlo = !mail_.user_name.empty() || secure;
  std::vector<std::string> ehlo_lines;
  if (Hello(ehlo, &ehlo_lines, code) == kLProcessStopped) return kLProcessStopped;
  if (code != 250) return Fail(kHeloRefused);
  if (secure && !connection_.IsTLS()) {
    const LProcessResult secured = SecureRelay(relay_name, ehlo_lines);
    if (secured != kLProcessDone) return secured;
  }
  if (to_relay && !mail_.user_name.empty()) {
    const LProcessResult authenticated = Authenticate();
    if (authenticated != kLProcessDone) return authenticated;
  }

  const LProcessResult from = MailFrom(to_relay);
  if (from != kLProcessDone) return from;
  const LProcessResult recipients = Recipients();
  if (recipients != kLProcessDone) return recipients;

  if (Exchange("DATA\r\n", code) == kLProcessStopped) return kLProcessStopped;
  if (code != 354) return Fail(kDataRefused);
  if (SendMessage() == kLProcessStopped) return kLProcessStopped;
  if (Exchange("\r\n.\r\n", code) == kLProcessStopped) return kLProcessStopped;
  if (code != 250) return Fail(kTerminatorRefused);
  (void)Exchange("QUIT\r\n", code);
  return kLProcessDone;
}

LProcessResult ConnectFailed(const EmailSMTPSendProcess& mail, std::string_view domain) {
  if (mail.relay_host.empty()) {
    LOGERROR("Unable to connect to mail server \"" + LEmailHeaderText(domain) + "\".");
  } else {
    LOGERROR("Unable to connect to either mail server \"" + LEmailHeaderText(mail.relay_host) +
             "\" or the mail server at \"" + LEmailHeaderText(domain) + "\".");
  }
  return kLProcessFailed;
}

LProcessResult DeliverDirect(LThread* thread, const EmailSMTPSendProcess& mail, std::string_view message) {
  const std::size_t comma = mail.to.find(',');
  if (comma != std::string::npos) {
    EmailSMTPSendProcess first = mail;
    first.to = LCutText(std::string_view(mail.to).substr(0, comma));
    const LProcessResult result = DeliverDirect(thread, first, message);
    if (result != kLProcessDone) return result;
    EmailSMTPSendProcess second = mail;
    const std::string_view after = std::string_view(mail.to).substr(comma + 1);
    second.to = LCutText(after.substr(0, after.find_first_of("\r\n")));
    return DeliverDirect(thread, second, message);
  }
  const std::string address(LTrimBlanks(mail.to));
  const std::size_t at = address.rfind('@');
  // The domain picks the server the mail is handed to: a text that is no
  // address must not choose where the mail goes.
  if (at == std::string::npos || at + 1 == address.size() || !LEmail::ValidateAddress(address)) {
    LOGERROR(kInvalidAddress);
    return kLProcessFailed;
  }
  const std::string domain = LCutText(std::string_view(address).substr(at + 1));
  if (LIsReservedMailDomain(domain)) {
    LOGERROR("No email is delivered to the reserved domain \"" + domain + "\".");
    return kLProcessFailed;
  }
  EmailSMTPSendProcess single = mail;
  single.to = address;
  LSMTPDialogue dialogue(thread, single, message);
  const LProcessResult connected =
      dialogue.Connection().Connect(LIPAddressWithPort::EmailMXLookup(domain).Sockaddr(), kLSMTPConnectMs);
  if (connected == kLProcessStopped) return connected;
  if (connected != kLProcessDone) return ConnectFailed(mail, domain);
  return dialogue.Run(false, "");
}

}  // namespace

LProcessResult Process(LThread* thread, const EmailSMTPSendProcess& mail) {
  LEmailContent content;
  content.from = mail.from;
  content.to = mail.to;
  content.subject = mail.subject;
  content.body = mail.body;
  content.attachments = mail.attachments;
  std::string composed;
  if (!LEmailComposeSMTP(content, LEmailDateNow(), composed)) {
    LOGERROR("Unable to read an attachment of the email.");
    return kLProcessFailed;
  }
  const std::string message = LSMTPDataLines(composed);

  if (!mail.relay_host.empty()) {
    const LMailHostText relay = LSplitMailHost(mail.relay_host);
    LSMTPDialogue dialogue(thread, mail, message);
    const LProcessResult connected = dialogue.Connection().Connect(
        LIPAddressWithPort::Resolve(relay).Sockaddr(), kLSMTPConnectMs);
    if (connected == kLProcessStopped) return connected;
    if (connected == kLProcessDone) {
      if (mail.use_ssl && relay.port == kLSMTPImplicitTLSPort) {
        std::string error;
        const LProcessResult secured =
            dialogue.Connection().StartTLS(relay.host, mail.verify_certificate, kLSMTPCommandMs, error);
        if (secured == kLProcessStopped) return secured;
        if (secured != kLProcessDone) {
          LOGERROR("TLS with mail server \"" + LEmailHeaderText(relay.host) + "\" failed: " + error);
          return kLProcessFailed;
        }
      }
      if (mail.use_ssl && !mail.verify_certificate) {
        LOGWARN("The certificate of mail server \"" + LEmailHeaderText(relay.host) +
                "\" is not checked (\"SSLVerifyCertificate\" is 0).");
      }
      return dialogue.Run(true, relay.host);
    }
    if (!mail.send_direct) {
      LOGERROR("Unable to connect to mail server \"" + LEmailHeaderText(mail.relay_host) + "\".");
      return kLProcessFailed;
    }
  }
  return DeliverDirect(thread, mail, message);
}
