#include "model/jpeg_size.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "foundation/unique_fd.h"

namespace {

constexpr std::size_t kMaxHeaderBytes = 256 * 1024;

unsigned Byte(std::string_view b, std::size_t i) { return static_cast<unsigned char>(b[i]); }

bool IsStartOfFrame(unsigned marker) {
  // C0-CF are frame markers except DHT (C4), JPG (C8) and DAC (CC).
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

}  // namespace

bool KXJpegSizeOfBytes(std::string_view bytes, int& width, int& height) {
  if (bytes.size() < 4 || Byte(bytes, 0) != 0xFF || Byte(bytes, 1) != 0xD8) return false;
  std::size_t at = 2;
  while (at + 4 <= bytes.size()) {
    if (Byte(bytes, at) != 0xFF) return false;
    const unsigned marker = Byte(bytes, at + 1);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      at += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) return false;  // no frame before the image data
    const std::size_t length = (Byte(bytes, at + 2) << 8) | Byte(bytes, at + 3);
    if (length < 2) return false;
    if (IsStartOfFrame(marker)) {
      if (at + 9 > bytes.size() || length < 7) return false;
      height = static_cast<int>((Byte(bytes, at + 5) << 8) | Byte(bytes, at + 6));
      width = static_cast<int>((Byte(bytes, at + 7) << 8) | Byte(bytes, at + 8));
      return width > 0 && height > 0;
    }
    at += 2 + length;
  }
  return false;
}

bool KXJpegSizeOfFile(const std::string& path, int& width, int& height) {
  LUniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!file) return false;
  std::string bytes(kMaxHeaderBytes, '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(file.Get(), bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  return KXJpegSizeOfBytes(bytes, width, height);
}
