#include "model/screenshot_image.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <vector>

#include "model/gobject_ptr.h"

namespace {

// What the decoder reported while it ran.
struct DecodeWatch {
  bool refused = false;    // the claimed size is out of bounds
  std::vector<bool> rows;  // rows of the picture the decoder has filled
  std::size_t rows_filled = 0;
};

// Called by the decoder once it knows the picture's size and before it takes
// the pixel memory. A size of 0 x 0 makes the bitmap and JPEG decoders stop
// there; the flag refuses the picture whatever a decoder does next.
void OnSizePrepared(GdkPixbufLoader* loader, gint width, gint height, gpointer data) {
  if (width > 0 && height > 0 && std::int64_t{width} * height <= kLKXMaxScreenShotPixels) return;
  static_cast<DecodeWatch*>(data)->refused = true;
  gdk_pixbuf_loader_set_size(loader, 0, 0);
}

void OnAreaPrepared(GdkPixbufLoader* loader, gpointer data) {
  GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
  auto* watch = static_cast<DecodeWatch*>(data);
  watch->rows.assign(pixbuf != nullptr ? static_cast<std::size_t>(gdk_pixbuf_get_height(pixbuf)) : 0, false);
  watch->rows_filled = 0;
}

void OnAreaUpdated(GdkPixbufLoader*, gint, gint y, gint, gint height, gpointer data) {
  auto* watch = static_cast<DecodeWatch*>(data);
  const std::int64_t end = std::min<std::int64_t>(std::int64_t{y} + height, std::int64_t(watch->rows.size()));
  for (std::int64_t row = std::max(y, 0); row < end; ++row) {
    if (!watch->rows[row]) {
      watch->rows[row] = true;
      ++watch->rows_filled;
    }
  }
}

// Neither decoder reports a file that ends early as an error: the bitmap
// decoder leaves the rows it never received as whatever the memory held
// before, and the JPEG decoder paints them grey when it is closed. A picture
// counts as whole only when every one of its rows was filled from the bytes
// themselves, before the decoder was closed.
bool AllRowsFilled(const DecodeWatch& watch) { return !watch.rows.empty() && watch.rows_filled == watch.rows.size(); }

std::uint32_t Le32(const unsigned char* bytes) {
  return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t{bytes[3]} << 24);
}

// The bitmap decoder sizes buffers from header fields before it has seen
// that many bytes: the info header size and the pixel offset (up to 4 GB
// each), and a palette count that it checks against the colour depth but
// not for being negative (-1 asks for 4 GB). Such a bitmap is refused before
// decoding, so that no buffer outgrows the bytes.
bool BitmapHeadersSane(const void* data, std::size_t size) {
  constexpr std::size_t kFileHeaderSize = 14;
  constexpr std::size_t kPaletteCountAt = kFileHeaderSize + 32;
  if (size < kFileHeaderSize + 4) return false;
  const auto* bytes = static_cast<const unsigned char*>(data);
  const std::uint32_t info_size = Le32(bytes + kFileHeaderSize);
  if (kFileHeaderSize + std::uint64_t{info_size} > size || Le32(bytes + 10) > size) return false;
  // Info headers shorter than 36 bytes (the 12-byte core header) hold no count.
  return info_size < 36 || Le32(bytes + kPaletteCountAt) <= 0x7fffffffu;
}

// The JPEG library's arithmetic decoder can spin without end on a damaged
// sequential picture, holding the connection's thread for good. Stations
// send Huffman-coded pictures (baseline, extended or progressive), so the
// markers are walked as the library walks them, up to the frame marker, and
// any other coding is refused. A header that ends before its frame marker is
// left to the decoder, which reports it as incomplete.
bool JpegCodingRefused(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::size_t at = 2;  // after the start-of-image marker
  while (at + 1 < size) {
    // The library skips stray bytes, fill bytes and stuffed zeros before a marker.
    if (bytes[at] != 0xff || bytes[at + 1] == 0xff || bytes[at + 1] == 0x00) {
      at += bytes[at] == 0xff && bytes[at + 1] == 0x00 ? 2 : 1;
      continue;
    }
    const unsigned char marker = bytes[at + 1];
    if (marker == 0xc0 || marker == 0xc1 || marker == 0xc2) return false;
    // Lossless, differential and arithmetic frames, and the arithmetic
    // conditioning table (0xcc); 0xc4 is a Huffman table, 0xc8 reserved.
    if (marker >= 0xc3 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8) return true;
    if (marker == 0xda || marker == 0xd9) return false;  // no frame before the scan: the decoder refuses it
    if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd8)) {  // markers without a length
      at += 2;
      continue;
    }
    if (at + 3 >= size) return false;
    // A length below 2 skips nothing beyond the length field itself.
    at += 2 + std::max<std::size_t>((std::size_t{bytes[at + 2]} << 8) | bytes[at + 3], 2);
  }
  return false;
}

LGObjectPtr<GdkPixbuf> Decode(const char* type, const void* data, std::size_t size, std::string& error) {
  LGErrorSlot failure;
  LGObjectPtr<GdkPixbufLoader> loader(gdk_pixbuf_loader_new_with_type(type, failure.Out()));
  if (!loader) {
    error = failure.Message();
    return nullptr;
  }
  DecodeWatch watch;
  g_signal_connect(loader.get(), "size-prepared", G_CALLBACK(OnSizePrepared), &watch);
  g_signal_connect(loader.get(), "area-prepared", G_CALLBACK(OnAreaPrepared), &watch);
  g_signal_connect(loader.get(), "area-updated", G_CALLBACK(OnAreaUpdated), &watch);
  const bool written =
      size > 0 && gdk_pixbuf_loader_write(loader.get(), static_cast<const guchar*>(data), size, failure.Out());
  const bool whole = AllRowsFilled(watch);
  // A loader is always closed, after a failed write too, or its decoder's
  // state is never released. Only the first error is kept.
  const bool closed = gdk_pixbuf_loader_close(loader.get(), written ? failure.Out() : nullptr);
  GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader.get());
  if (watch.refused) {
    error = "picture too large";
  } else if (size == 0) {
    error = "no picture bytes";
  } else if (!written || !closed || pixbuf == nullptr || !whole) {
    error = failure.IsSet() ? failure.Message() : "incomplete picture";
  } else {
    // The loader owns the picture; it outlives the loader only with a
    // reference of its own.
    return LGObjectPtr<GdkPixbuf>(GDK_PIXBUF(g_object_ref(pixbuf)));
  }
  return nullptr;
}

bool EncodeJpeg(GdkPixbuf* pixbuf, std::string& out, std::string& error) {
  gchar* raw = nullptr;
  gsize length = 0;
  LGErrorSlot failure;
  const bool saved = gdk_pixbuf_save_to_buffer(pixbuf, &raw, &length, "jpeg", failure.Out(), nullptr);
  LGMallocPtr<gchar> buffer(raw);
  if (!saved || buffer == nullptr) {
    error = failure.IsSet() ? failure.Message() : "JPEG encoding failed";
    return false;
  }
  out.assign(buffer.get(), length);
  return true;
}

}  // namespace

bool KXConvertScreenShot(bool is_jpeg, const void* data, std::size_t size, LKXScreenShotJpegs& out,
                         std::string& error) {
  out = LKXScreenShotJpegs();
  error.clear();
  if (!is_jpeg && !BitmapHeadersSane(data, size)) {
    error = "bitmap headers claim more than its bytes";
    return false;
  }
  if (is_jpeg && JpegCodingRefused(data, size)) {
    error = "JPEG coding not supported";
    return false;
  }
  const LGObjectPtr<GdkPixbuf> picture = Decode(is_jpeg ? "jpeg" : "bmp", data, size, error);
  if (!picture) return false;
  if (is_jpeg) {
    out.picture.assign(static_cast<const char*>(data), size);
  } else if (!EncodeJpeg(picture.get(), out.picture, error)) {
    return false;
  }
  // A thumbnail that cannot be made leaves the picture stored without one.
  const LGObjectPtr<GdkPixbuf> thumbnail(
      gdk_pixbuf_scale_simple(picture.get(), kLKXThumbnailWidth, kLKXThumbnailHeight, GDK_INTERP_BILINEAR));
  if (!thumbnail) {
    error = "scaling failed";
  } else if (!EncodeJpeg(thumbnail.get(), out.thumbnail, error)) {
    out.thumbnail.clear();
  }
  return true;
}
