#pragma once
// Turns the picture bytes a station sends into the two JPEG files stored for
// each screenshot: the picture and its thumbnail. Everything happens in
// memory: no temporary file is written, so no other local user can plant a
// link where a root daemon would write, and two threads never share a name.

#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr int kLKXThumbnailWidth = 100;
inline constexpr int kLKXThumbnailHeight = 80;
// Larger pictures are refused before any pixel memory is taken: a header of
// a few bytes may claim a picture of gigabytes. 8192 x 8192 is well above a
// desktop of several screens.
inline constexpr std::int64_t kLKXMaxScreenShotPixels = std::int64_t{8192} * 8192;

struct LKXScreenShotJpegs {
  std::string picture;    // what to store as "HH-MM-SS.jpg"
  std::string thumbnail;  // what to store as "_HH-MM-SS.jpg"
};

// Decodes `data` as a JPEG file (`is_jpeg`) or as a Windows bitmap file, and
// only as that: the bytes never reach any other image decoder. A JPEG is
// kept as sent; a bitmap is encoded as JPEG with the library's default
// quality. The thumbnail is the picture scaled to exactly 100 x 80 pixels
// with bilinear filtering; it is left empty (with `error` set) when it cannot
// be made. False, with the decoder's words in `error`, when the bytes are not
// a whole picture of that kind or it is too large.
bool KXConvertScreenShot(bool is_jpeg, const void* data, std::size_t size, LKXScreenShotJpegs& out, std::string& error);
