#pragma once
// IPv4 address ranges that decide whether an address reaches the Internet.
// Addresses are in host byte order (first byte in the top bits).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// 10.x, 172.x whose second byte has the bit of value 16 set, 192.168.x and
// 169.254.x: the ranges a router never forwards.
bool LIsIPv4InPrivateRange(std::uint32_t address);

// The private ranges plus 127.0.x.x (this computer itself).
bool IsIPPrivate(std::uint32_t address);

// Neither private, nor 127.x, nor 0.x: an address others reach on the Internet.
bool LIsIPv4Public(std::uint32_t address);

// "%d.%d.%d.%d".
std::string LIPv4Text(std::uint32_t address);

// Four decimal numbers 0..255 separated by dots, nothing else; empty otherwise.
std::optional<std::uint32_t> LParseDottedIPv4(std::string_view text);
