#include "mail/mail_message.h"

#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include "foundation/unique_fd.h"
#include "mail/mail_encoders.h"

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         strncasecmp(text.data() + text.size() - suffix.size(), suffix.data(), suffix.size()) == 0;
}

bool ReadWholeFile(const std::string& path, std::string& out) {
  out.clear();
  LUniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return false;
  char buffer[16384];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n < 0) return false;
    if (n == 0) return true;
    out.append(buffer, static_cast<std::size_t>(n));
  }
}

// A quoted parameter value may hold neither its quote nor a line end.
std::string QuotedValue(std::string_view text) {
  std::string out = LEmailHeaderText(text);
  for (char& c : out) {
    if (c == '"' || c == '\\') c = '_';
  }
  return out;
}

// Both layouts share the shape and differ in the line end, the subject,
// the Date and X-Mailer lines and the attachment types.
struct Layout {
  std::string_view eol;
  bool smtp;
};

bool Compose(const LEmailContent& content, std::string_view date, Layout layout, std::string& out) {
  const std::string_view eol = layout.eol;
  std::string body = LEmailNormalizeLineEnds(content.body);
  if (!layout.smtp) {
    std::string lf;
    lf.reserve(body.size());
    for (std::size_t i = 0; i < body.size(); ++i) {
      if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') continue;
      lf.push_back(body[i]);
    }
    body.swap(lf);
  }
  out.clear();
  out.reserve(body.size() + 1024);
  out.append(layout.smtp ? "MIME-Version: 1.0" : "Mime-Version: 1.0").append(eol);
  out.append("From: ").append(LEmailHeaderText(content.from)).append(eol);
  out.append("To: ").append(LEmailHeaderText(content.to)).append(eol);
  std::string subject = LEmailHeaderText(content.subject);
  if (layout.smtp) {
    std::string encoded;
    LRFC2047Encode(encoded, subject);
    subject.swap(encoded);
  }
  out.append("Subject: ").append(subject).append(eol);
  if (layout.smtp) {
    out.append("Date: ").append(date).append(eol);
    out.append("X-Mailer: ").append(kLEmailMailer).append(eol);
  }
  const bool multipart = !content.attachments.empty();
  std::string boundary;
  if (multipart) {
    boundary = LEmailFindBoundary(body);
    out.append("Content-Type: multipart/mixed; boundary=").append(boundary).append(eol).append(eol);
    out.append("--").append(boundary).append(eol);
  }
  out.append("Content-Type: text/plain; charset=\"utf-8\"").append(eol).append(eol);
  out.append(body);
  std::string file;
  for (const std::string& path : content.attachments) {
    if (!ReadWholeFile(path, file)) return false;
    const std::string name = QuotedValue(LEmailAttachmentName(path));
    const std::string_view type = layout.smtp ? LEmailAttachmentType(path) : "application/octet-stream";
    out.append(eol).append("--").append(boundary).append(eol);
    out.append("Content-Type: ").append(type).append("; name=\"").append(name).append("\"").append(eol);
    out.append("Content-Transfer-Encoding: base64").append(eol);
    out.append("Content-Disposition: attachment; filename=\"").append(name).append("\"").append(eol);
    out.append(eol);
    std::string lines = LBase64Lines(file);
    if (!layout.smtp) {
      std::string lf;
      for (char c : lines) {
        if (c != '\r') lf.push_back(c);
      }
      lines.swap(lf);
    }
    out.append(lines);
  }
  if (multipart) out.append(eol).append("--").append(boundary).append("--").append(eol);
  return true;
}

}  // namespace

std::string_view LEmailAttachmentType(std::string_view path) {
  if (EndsWithNoCase(path, ".wav")) return "audio/wav";
  if (EndsWithNoCase(path, ".mp3")) return "audio/mpeg";
  return "application/octet-stream";
}

std::string LEmailAttachmentName(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool LEmailComposeSMTP(const LEmailContent& content, std::string_view date, std::string& out) {
  return Compose(content, date, Layout{"\r\n", true}, out);
}

bool LEmailComposeSendmail(const LEmailContent& content, std::string& out) {
  return Compose(content, "", Layout{"\n", false}, out);
}
