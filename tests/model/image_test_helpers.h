#pragma once
// Real pictures for the screenshot tests: Windows bitmap files written by a
// small encoder of our own (gdk-pixbuf reads bitmaps but cannot write them)
// and JPEG files written by gdk-pixbuf. A stored picture's size is read back
// with KXJpegSizeOfBytes.

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdint>
#include <string>

#include "model/gobject_ptr.h"

inline void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

// BITMAPFILEHEADER + BITMAPINFOHEADER, 24 bits per pixel, rows bottom-up,
// each padded to a multiple of 4 bytes; the pixels a flat grey.
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
  for (int y = 0; y < height; ++y) {
    std::string row(static_cast<std::size_t>(width) * 3, '\x80');
    row.resize(row_bytes, '\0');
    bmp += row;
  }
  return bmp;
}

// The same picture as a JPEG file written by gdk-pixbuf.
inline std::string MakeJpeg(int width, int height) {
  const std::string bmp = MakeBmp(width, height);
  LGObjectPtr<GdkPixbufLoader> loader(gdk_pixbuf_loader_new_with_type("bmp", nullptr));
  const bool read =
      gdk_pixbuf_loader_write(loader.get(), reinterpret_cast<const guchar*>(bmp.data()), bmp.size(), nullptr) &&
      gdk_pixbuf_loader_close(loader.get(), nullptr);
  GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader.get());
  gchar* raw = nullptr;
  gsize length = 0;
  if (!read || !pixbuf || !gdk_pixbuf_save_to_buffer(pixbuf, &raw, &length, "jpeg", nullptr, "quality", "90", nullptr)) {
    return std::string();
  }
  LGMallocPtr<gchar> buffer(raw);
  return std::string(buffer.get(), length);
}
