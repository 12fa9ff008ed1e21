#pragma once
// A streaming gzip compressor for responses: bytes go in as a page or file
// produces them, compressed bytes come out to a sink whenever the output
// buffer fills, and Finish writes the rest and the gzip trailer. Level 1:
// a page of 10 MB costs tens of milliseconds, not seconds, and text still
// shrinks about tenfold.

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

class LGzipDeflater {
 public:
  // Takes each piece of compressed output; false stops the stream (the
  // peer is gone): every later call fails at once.
  using Sink = std::function<bool(std::string_view)>;

  explicit LGzipDeflater(Sink sink);
  ~LGzipDeflater();
  LGzipDeflater(const LGzipDeflater&) = delete;
  LGzipDeflater& operator=(const LGzipDeflater&) = delete;

  // False when the sink refused output, now or before.
  bool Write(std::string_view data);
  // Ends the stream; later calls do nothing. False as for Write.
  bool Finish();

 private:
  bool Deflate(std::string_view data, int flush);

  struct Stream;
  std::unique_ptr<Stream> stream_;
  Sink sink_;
  bool failed_ = false;
  bool finished_ = false;
};

// `data` gzip-compressed whole, for tests and tools.
std::string LGzipCompress(std::string_view data);
// The bytes of a gzip stream decompressed (empty when it is not one).
std::string LGzipDecompress(std::string_view data);
