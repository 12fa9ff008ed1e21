#pragma once
// The send path of a page's response. A page writes its whole response,
// status line and headers included, piece by piece. The head is held back
// until its blank line and gains the headers every answer carries
// (LHttpAddSecurityHeaders, http_responses.h). When the request accepts
// gzip, a 200 of a text type without a length of its own then goes out with
// "Content-Encoding: gzip" and its body through a streaming compressor; any
// other head (redirects, refusals, pictures) goes out as it is and so does
// everything after it. Without gzip every piece after the head is sent at
// once, byte for byte as written. A compressed page is known to end only
// when the connection closes, as every page does. (The station's answers
// go to the transport themselves: their bytes are the station's, not a
// page's.)

#include <memory>
#include <string>
#include <string_view>

#include "foundation/process_result.h"

class LThread;
class LByteTransport;
class LGzipDeflater;

class LWebletResponse {
 public:
  LWebletResponse(LThread& thread, LByteTransport& transport, bool gzipAccepted);
  ~LWebletResponse();
  LWebletResponse(const LWebletResponse&) = delete;
  LWebletResponse& operator=(const LWebletResponse&) = delete;

  // Sends (or compresses) `bytes`; `timeoutMs` as for a plain send.
  LProcessResult Send(std::string_view bytes, int timeoutMs);
  // Sends what is held back and ends a compressed body. Later sends go out
  // as they are.
  LProcessResult Finish();

 private:
  enum class Mode { kHead, kPlain, kGzip, kFailed };
  LProcessResult StartBody(std::size_t headLength, int timeoutMs);

  LThread& thread_;
  LByteTransport& transport_;
  const bool gzipAccepted_;
  Mode mode_ = Mode::kHead;
  std::string head_;
  std::unique_ptr<LGzipDeflater> gzip_;
  LProcessResult gzipSent_ = kLProcessDone;
};

// Whether a complete head (status line to blank line) may have its body
// compressed: status 200, a text Content-Type, no Content-Length,
// Content-Encoding or Transfer-Encoding of its own.
bool LHttpHeadCompressible(std::string_view head);
