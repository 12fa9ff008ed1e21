#pragma once
// Real pictures for the screenshot tests: Windows bitmap files written by a
// small encoder of our own (gdk-pixbuf reads bitmaps but cannot write them),
// JPEG files written by gdk-pixbuf, and a decoder that reads a stored file
// back into pixels.

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/gobject_ptr.h"

struct TestRgb {
  int r = 0, g = 0, b = 0;
};

// Four flat quarters, far apart in colour, so that orientation and the
// scaling survive JPEG's losses: red top left, green top right, blue bottom
// left, white bottom right.
inline TestRgb QuarterColour(int x, int y, int width, int height) {
  const bool right = x >= width / 2;
  if (y < height / 2) return right ? TestRgb{0, 255, 0} : TestRgb{255, 0, 0};
  return right ? TestRgb{255, 255, 255} : TestRgb{0, 0, 255};
}

inline void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

// BITMAPFILEHEADER + BITMAPINFOHEADER, 24 bits per pixel, rows bottom-up in
// blue-green-red order, each padded to a multiple of 4 bytes.
inline std::string MakeBmp(int width, int height) {
  const std::uint32_t row_bytes = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t pixel_bytes = row_bytes * static_cast<std::uint32_t>(height);
  std::string bmp = "BM";
  // File size, reserved, offset of the pixels, info header size, width,
  // height; then planes and bits per pixel (two bytes each); then no
  // compression, pixel bytes, 72 dpi twice, colours used and important.
  for (std::uint32_t field : {14 + 40 + pixel_bytes, 0u, 14u + 40u, 40u, static_cast<std::uint32_t>(width),
                              static_cast<std::uint32_t>(height)}) {
    PutLe(bmp, field, 4);
  }
  PutLe(bmp, 1, 2);
  PutLe(bmp, 24, 2);
  for (std::uint32_t field : {0u, pixel_bytes, 2835u, 2835u, 0u, 0u}) PutLe(bmp, field, 4);
  for (int y = height - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      const TestRgb c = QuarterColour(x, y, width, height);
      row += {static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r)};
    }
    row.resize(row_bytes, '\0');
    bmp += row;
  }
  return bmp;
}

// `bytes` decoded by gdk-pixbuf's loader for `type`; null when they are not
// a whole picture of that kind.
inline LGObjectPtr<GdkPixbuf> TestDecode(const std::string& bytes, const char* type) {
  LGObjectPtr<GdkPixbufLoader> loader(gdk_pixbuf_loader_new_with_type(type, nullptr));
  const bool written =
      gdk_pixbuf_loader_write(loader.get(), reinterpret_cast<const guchar*>(bytes.data()), bytes.size(), nullptr);
  const bool closed = gdk_pixbuf_loader_close(loader.get(), nullptr);
  GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader.get());
  return LGObjectPtr<GdkPixbuf>(written && closed && pixbuf ? GDK_PIXBUF(g_object_ref(pixbuf)) : nullptr);
}

// The same picture as a JPEG file written by gdk-pixbuf.
inline std::string MakeJpeg(int width, int height) {
  LGObjectPtr<GdkPixbuf> pixbuf = TestDecode(MakeBmp(width, height), "bmp");
  gchar* raw = nullptr;
  gsize length = 0;
  if (!pixbuf || !gdk_pixbuf_save_to_buffer(pixbuf.get(), &raw, &length, "jpeg", nullptr, "quality", "90", nullptr)) {
    return std::string();
  }
  LGMallocPtr<gchar> buffer(raw);
  return std::string(buffer.get(), length);
}

// A stored picture read back; width 0 when the bytes are not a JPEG file.
class TestDecodedJpeg {
 public:
  explicit TestDecodedJpeg(const std::string& bytes) : pixbuf_(TestDecode(bytes, "jpeg")) {}
  int Width() const { return pixbuf_ ? gdk_pixbuf_get_width(pixbuf_.get()) : 0; }
  int Height() const { return pixbuf_ ? gdk_pixbuf_get_height(pixbuf_.get()) : 0; }
  // True when the centre of every quarter shows its colour (within JPEG's
  // losses): the picture is upright and not mirrored.
  bool ShowsQuarters() const {
    if (Width() < 4 || Height() < 4) return false;
    const int stride = gdk_pixbuf_get_rowstride(pixbuf_.get());
    const int channels = gdk_pixbuf_get_n_channels(pixbuf_.get());
    for (int q = 0; q < 4; ++q) {
      const int x = Width() / 4 + (q % 2) * Width() / 2, y = Height() / 4 + (q / 2) * Height() / 2;
      const guchar* got = gdk_pixbuf_get_pixels(pixbuf_.get()) + y * stride + x * channels;
      const TestRgb want = QuarterColour(x, y, Width(), Height());
      if (std::max({std::abs(got[0] - want.r), std::abs(got[1] - want.g), std::abs(got[2] - want.b)}) > 24) {
        return false;
      }
    }
    return true;
  }

 private:
  LGObjectPtr<GdkPixbuf> pixbuf_;
};
