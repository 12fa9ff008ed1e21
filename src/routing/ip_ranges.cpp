#include "routing/ip_ranges.h"

#include <cstdio>

namespace {
constexpr std::uint32_t Byte(std::uint32_t address, int index) {
  return (address >> (24 - 8 * index)) & 0xFFu;
}
}  // namespace

bool LIsIPv4InPrivateRange(std::uint32_t address) {
  const std::uint32_t first = Byte(address, 0);
  const std::uint32_t second = Byte(address, 1);
  if (first == 10) return true;
  if (first == 172 && (second & 16) != 0) return true;
  if (first == 192 && second == 168) return true;
  return first == 169 && second == 254;
}

bool IsIPPrivate(std::uint32_t address) {
  if (Byte(address, 0) == 127 && Byte(address, 1) == 0) return true;
  return LIsIPv4InPrivateRange(address);
}

bool LIsIPv4Public(std::uint32_t address) {
  const std::uint32_t first = Byte(address, 0);
  return first != 0 && first != 127 && !LIsIPv4InPrivateRange(address);
}

std::string LIPv4Text(std::uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", Byte(address, 0), Byte(address, 1),
                Byte(address, 2), Byte(address, 3));
  return text;
}

std::optional<std::uint32_t> LParseDottedIPv4(std::string_view text) {
  std::uint32_t address = 0;
  std::size_t at = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (at >= text.size() || text[at] != '.') return std::nullopt;
      ++at;
    }
    std::size_t digits = 0;
    std::uint32_t value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 4) {
      value = value * 10 + static_cast<std::uint32_t>(text[at] - '0');
      ++at;
      ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255) return std::nullopt;
    address = (address << 8) | value;
  }
  if (at != text.size()) return std::nullopt;
  return address;
}
