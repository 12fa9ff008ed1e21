#include "mail/mail_encoders.h"

#include <cstdio>

#include "foundation/date_time.h"
#include "foundation/text_limits.h"

namespace {

constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr const char* kWeekDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool NeedsQuoting(unsigned char byte) {
  return byte >= 0x80 || byte <= 32 || byte == '?' || byte == '_' || byte == '=';
}

}  // namespace

void LRFC2047Encode(std::string& out, std::string_view text) {
  out.clear();
  bool plain = true;
  for (unsigned char byte : text) plain = plain && byte < 0x80;
  if (plain) {
    out = LCutText(text);
    return;
  }
  out = "=?utf-8?q?";
  for (unsigned char byte : text) {
    if (NeedsQuoting(byte)) {
      out.push_back('=');
      out.push_back(kHexDigits[byte >> 4]);
      out.push_back(kHexDigits[byte & 15]);
    } else {
      out.push_back(static_cast<char>(byte));
    }
  }
  out += "?=";
  LCutTextInPlace(out);
}

void LBase64Encode(const void* data, std::size_t length, std::string& out) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  out.reserve(out.size() + (length + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= length; i += 3) {
    const unsigned value = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
    out.push_back(kBase64Alphabet[(value >> 18) & 63]);
    out.push_back(kBase64Alphabet[(value >> 12) & 63]);
    out.push_back(kBase64Alphabet[(value >> 6) & 63]);
    out.push_back(kBase64Alphabet[value & 63]);
  }
  const std::size_t left = length - i;
  if (left == 0) return;
  const unsigned value = (bytes[i] << 16) | (left == 2 ? bytes[i + 1] << 8 : 0);
  out.push_back(kBase64Alphabet[(value >> 18) & 63]);
  out.push_back(kBase64Alphabet[(value >> 12) & 63]);
  out.push_back(left == 2 ? kBase64Alphabet[(value >> 6) & 63] : '=');
  out.push_back('=');
}

std::string LBase64Lines(std::string_view data) {
  std::string out;
  out.reserve((data.size() / kLBase64LineBytes + 1) * 78);
  for (std::size_t at = 0; at < data.size(); at += kLBase64LineBytes) {
    const std::string_view piece = data.substr(at, kLBase64LineBytes);
    LBase64Encode(piece.data(), piece.size(), out);
    out += "\r\n";
  }
  return out;
}

std::string LEmailFindBoundary(std::string_view body) {
  std::string candidate;
  for (int n = 0; n < kLBoundaryCandidates; ++n) {
    candidate = "gc0p4Jq0M2Yt08jU534c" + std::to_string(n);
    if (body.find(candidate) == std::string_view::npos) break;
  }
  return candidate;
}

std::string LEmailDateText(const struct tm& local, long utc_offset_seconds) {
  const long minutes = (utc_offset_seconds < 0 ? -utc_offset_seconds : utc_offset_seconds) / 60;
  char text[64];
  std::snprintf(text, sizeof text, "%s, %.2d %s 20%.2d %.2d:%.2d:%.2d %s%.2d%.2d",
                kWeekDays[(local.tm_wday % 7 + 7) % 7], local.tm_mday, kMonths[(local.tm_mon % 12 + 12) % 12],
                local.tm_year % 100, local.tm_hour, local.tm_min, local.tm_sec,
                utc_offset_seconds < 0 ? "-" : "+", static_cast<int>(minutes / 60),
                static_cast<int>(minutes % 60));
  return text;
}

std::string LEmailDateNow() {
  struct tm local {};
  if (!LDateTime::Now().GetLocalTime(&local)) return "";
  return LEmailDateText(local, local.tm_gmtoff);
}

std::string LEmailHeaderText(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  }
  return out;
}

std::string LEmailNormalizeLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out.push_back(c);
    }
  }
  return out;
}
