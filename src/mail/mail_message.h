#pragma once
// The message text handed to the mail server or to sendmail: headers, the
// text part and the attachments, built in one string.

#include <string>
#include <string_view>
#include <vector>

// The value of "X-Mailer".
inline constexpr std::string_view kLEmailMailer = "KavrixServer (http://www.mardel.example/)";

struct LEmailContent {
  std::string from;     // the sender address used in MAIL FROM
  std::string to;       // the recipient text as handed over
  std::string subject;  // unencoded
  std::string body;     // lines separated by CR LF
  std::vector<std::string> attachments;  // file paths
};

// "audio/wav" for ".wav", "audio/mpeg" for ".mp3" (any letter case),
// "application/octet-stream" otherwise.
std::string_view LEmailAttachmentType(std::string_view path);
// The file name without its folder, as the part names it.
std::string LEmailAttachmentName(std::string_view path);

// The SMTP message, CR LF line ends: "MIME-Version", "From", "To", the
// RFC 2047 "Subject", "Date" (`date`), "X-Mailer", then the text part, or a
// multipart/mixed message with one base64 part per attachment. False when
// an attachment cannot be read.
[[nodiscard]] bool LEmailComposeSMTP(const LEmailContent& content, std::string_view date,
                                     std::string& out);
// The sendmail message, LF line ends: "Mime-Version", "From", "To" and the
// unencoded "Subject" (no Date line), then as above with every attachment
// typed "application/octet-stream".
[[nodiscard]] bool LEmailComposeSendmail(const LEmailContent& content, std::string& out);
