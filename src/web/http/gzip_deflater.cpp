#include "web/http/gzip_deflater.h"

#include <zlib.h>

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kLevel = 1;
constexpr int kGzipWindowBits = 15 + 16;  // 16: a gzip header and trailer around the deflate data
constexpr int kMemLevel = 8;
constexpr std::size_t kOutputBytes = 64 * 1024;

}  // namespace

struct LGzipDeflater::Stream {
  z_stream z{};
  std::vector<unsigned char> out = std::vector<unsigned char>(kOutputBytes);
  bool ready = false;
};

LGzipDeflater::LGzipDeflater(Sink sink) : stream_(std::make_unique<Stream>()), sink_(std::move(sink)) {
  stream_->ready = deflateInit2(&stream_->z, kLevel, Z_DEFLATED, kGzipWindowBits, kMemLevel,
                                Z_DEFAULT_STRATEGY) == Z_OK;
  failed_ = !stream_->ready;
  stream_->z.next_out = stream_->out.data();
  stream_->z.avail_out = static_cast<uInt>(stream_->out.size());
}

LGzipDeflater::~LGzipDeflater() {
  if (stream_->ready) deflateEnd(&stream_->z);
}

bool LGzipDeflater::Write(std::string_view data) {
  if (data.empty() || finished_) return !failed_;
  return Deflate(data, Z_NO_FLUSH);
}

bool LGzipDeflater::Finish() {
  if (finished_) return !failed_;
  finished_ = true;
  return Deflate({}, Z_FINISH);
}

bool LGzipDeflater::Deflate(std::string_view data, int flush) {
  if (failed_) return false;
  z_stream& z = stream_->z;
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  for (;;) {
    const int status = deflate(&z, flush);
    if (status == Z_STREAM_ERROR) return !(failed_ = true);
    const bool full = z.avail_out == 0;
    const bool ended = flush == Z_FINISH && status == Z_STREAM_END;
    // Output is handed on only when the buffer is full, or at the end: many
    // small writes of a page become few large sends.
    if (full || ended) {
      const std::size_t produced = stream_->out.size() - z.avail_out;
      const std::string_view piece(reinterpret_cast<const char*>(stream_->out.data()), produced);
      z.next_out = stream_->out.data();
      z.avail_out = static_cast<uInt>(stream_->out.size());
      if (produced > 0 && !sink_(piece)) return !(failed_ = true);
    }
    if (ended) return true;
    if (flush != Z_FINISH && z.avail_in == 0 && !full) return true;
  }
}

std::string LGzipCompress(std::string_view data) {
  std::string out;
  LGzipDeflater deflater([&](std::string_view piece) {
    out.append(piece);
    return true;
  });
  deflater.Write(data);
  deflater.Finish();
  return out;
}

std::string LGzipDecompress(std::string_view data) {
  z_stream z{};
  if (inflateInit2(&z, kGzipWindowBits) != Z_OK) return {};
  std::string out;
  std::vector<unsigned char> buffer(kOutputBytes);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  int status = Z_OK;
  while (status == Z_OK) {
    z.next_out = buffer.data();
    z.avail_out = static_cast<uInt>(buffer.size());
    status = inflate(&z, Z_NO_FLUSH);
    out.append(reinterpret_cast<const char*>(buffer.data()), buffer.size() - z.avail_out);
    if (status == Z_BUF_ERROR && z.avail_in == 0) break;
  }
  inflateEnd(&z);
  return status == Z_STREAM_END ? out : std::string();
}
