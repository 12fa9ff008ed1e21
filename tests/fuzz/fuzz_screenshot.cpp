// Arbitrary bytes as a station's screenshot: the first byte says whether
// they are announced as a JPEG (odd) or a Windows bitmap (even), the rest is
// the picture. Besides crashes and undefined behaviour in the decoders it
// checks the promises that storing relies on, and stops on the first broken
// one: a refused picture yields nothing and says why, an accepted JPEG is
// kept byte for byte, and every accepted picture has a thumbnail.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/screenshot_image.h"

namespace {

void Require(bool promise) {
  if (!promise) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool is_jpeg = (data[0] & 1) != 0;
  const std::uint8_t* picture = data + 1;
  const std::size_t length = size - 1;
  LKXScreenShotJpegs out;
  std::string error;
  if (!KXConvertScreenShot(is_jpeg, picture, length, out, error)) {
    Require(out.picture.empty() && out.thumbnail.empty() && !error.empty());
    return 0;
  }
  Require(!out.picture.empty() && !out.thumbnail.empty());
  if (is_jpeg) {
    Require(out.picture.size() == length &&
            out.picture.compare(0, length, reinterpret_cast<const char*>(picture), length) == 0);
  }
  return 0;
}
