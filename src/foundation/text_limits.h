#pragma once
// Names, keys, values, paths and items travel through 260-byte buffers in the
// stored files and on the wire: anything longer is cut silently, never
// rejected. Every place that must cut does it through these helpers so that
// the limit lives in one spot.

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr std::size_t kLMaxText = 259;

// The first `limit` bytes of `text` (all of it when shorter).
inline std::string LCutText(std::string_view text, std::size_t limit = kLMaxText) {
  return std::string(text.substr(0, limit));
}

inline void LCutTextInPlace(std::string& text, std::size_t limit = kLMaxText) {
  if (text.size() > limit) text.resize(limit);
}
