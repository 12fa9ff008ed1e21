#pragma once
// The one TCP port of the server: "Routing"/"LocalPort", which the web
// control panel and the stations share.

#include <cstdint>

inline constexpr std::uint16_t kLDefaultLocalPort = 89;

// "Routing"/"LocalPort": 89 when missing or empty, otherwise its decimal
// value taken as 16 bits (as the stored text has always been read).
std::uint16_t LReadLocalPortSetting();
