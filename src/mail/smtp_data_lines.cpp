#include "mail/smtp_data_lines.h"

namespace {

void PutLine(std::string& out, std::string_view line, bool with_end) {
  if (!line.empty() && line.front() == '.') out.push_back('.');
  out.append(line);
  if (with_end) out += "\r\n";
}

}  // namespace

std::string LSMTPDataLines(std::string_view message) {
  std::string out;
  out.reserve(message.size() + message.size() / 64 + 16);
  while (!message.empty()) {
    const std::size_t end = message.find("\r\n");
    std::string_view line = message.substr(0, end);
    const bool has_end = end != std::string_view::npos;
    message.remove_prefix(has_end ? end + 2 : message.size());
    while (line.size() > kLSMTPMaxLine) {
      const std::size_t space = line.rfind(' ', kLSMTPMaxLine - 1);
      const std::size_t take = (space == std::string_view::npos || space == 0) ? kLSMTPMaxLine : space + 1;
      PutLine(out, line.substr(0, take), true);
      line.remove_prefix(take);
    }
    PutLine(out, line, has_end);
  }
  return out;
}
