#include "web/http/weblet_response.h"

#include <algorithm>
#include <climits>

#include "engine/byte_transport.h"
#include "foundation/settings_parse.h"
#include "web/http/content_coding.h"
#include "web/http/gzip_deflater.h"
#include "web/http/http_responses.h"

namespace {

// A head longer than this is no page head of ours: it goes out as it is.
constexpr std::size_t kMaxHeadBytes = 16 * 1024;
constexpr int kCompressedSendTimeoutMs = 20000;
constexpr std::string_view kHeadEnd = "\r\n\r\n";

bool StartsNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && LSettingsEqualNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

bool LHttpHeadCompressible(std::string_view head) {
  const std::size_t firstEnd = head.find("\r\n");
  if (firstEnd == std::string_view::npos) return false;
  const std::string_view status = head.substr(0, firstEnd);
  const std::size_t blank = status.find(' ');
  if (status.rfind("HTTP/", 0) != 0 || blank == std::string_view::npos ||
      status.substr(blank + 1, 4) != "200 ") {
    return false;
  }
  bool text = false;
  std::size_t pos = firstEnd + 2;
  while (pos < head.size()) {
    std::size_t end = head.find("\r\n", pos);
    if (end == std::string_view::npos) end = head.size();
    const std::string_view line = head.substr(pos, end - pos);
    if (StartsNoCase(line, "Content-Length:") || StartsNoCase(line, "Content-Encoding:") ||
        StartsNoCase(line, "Transfer-Encoding:")) {
      return false;
    }
    if (StartsNoCase(line, "Content-Type:")) text = LHttpCompressibleType(line.substr(13));
    pos = end + 2;
  }
  return text;
}

LWebletResponse::LWebletResponse(LThread& thread, LByteTransport& transport, bool gzipAccepted)
    : thread_(thread), transport_(transport), gzipAccepted_(gzipAccepted) {}

LWebletResponse::~LWebletResponse() = default;

LProcessResult LWebletResponse::Send(std::string_view bytes, int timeoutMs) {
  switch (mode_) {
    case Mode::kPlain:
      return transport_.Send(&thread_, bytes.data(), bytes.size(), timeoutMs);
    case Mode::kGzip:
      if (!gzip_->Write(bytes)) return gzipSent_;
      return kLProcessDone;
    case Mode::kFailed:
      return gzipSent_;
    case Mode::kHead:
      break;
  }
  const std::size_t searchFrom = head_.size() >= 3 ? head_.size() - 3 : 0;
  head_.append(bytes);
  const std::size_t end = head_.find(kHeadEnd, searchFrom);
  if (end != std::string::npos) return StartBody(end + kHeadEnd.size(), timeoutMs);
  if (head_.size() > kMaxHeadBytes) {
    mode_ = Mode::kPlain;
    const std::string held = std::move(head_);
    head_.clear();
    return transport_.Send(&thread_, held.data(), held.size(), timeoutMs);
  }
  return kLProcessDone;
}

LProcessResult LWebletResponse::StartBody(std::size_t headLength, int timeoutMs) {
  std::string held = std::move(head_);
  head_.clear();
  headLength += LHttpAddSecurityHeaders(held);
  const std::string_view head = std::string_view(held).substr(0, headLength);
  const std::string_view body = std::string_view(held).substr(headLength);
  if (!gzipAccepted_ || !LHttpHeadCompressible(head)) {
    mode_ = Mode::kPlain;
    return transport_.Send(&thread_, held.data(), held.size(), timeoutMs);
  }
  mode_ = Mode::kGzip;
  std::string newHead(head.substr(0, head.size() - 2));
  newHead += kLHttpGzipHeaders;
  newHead += "\r\n";
  const LProcessResult sent = transport_.Send(&thread_, newHead.data(), newHead.size(), timeoutMs);
  gzip_ = std::make_unique<LGzipDeflater>([this](std::string_view piece) {
    // One more millisecond of patience per byte, as for a page's own sends.
    const int pieceTimeoutMs = static_cast<int>(
        std::min<std::size_t>(piece.size() + kCompressedSendTimeoutMs, static_cast<std::size_t>(INT_MAX)));
    gzipSent_ = transport_.Send(&thread_, piece.data(), piece.size(), pieceTimeoutMs,
                                  kLWebSendPieceBytes);
    return gzipSent_ == kLProcessDone;
  });
  if (sent != kLProcessDone) {
    // Nothing more can go out in step with the head.
    gzipSent_ = sent;
    mode_ = Mode::kFailed;
    return sent;
  }
  if (!gzip_->Write(body)) return gzipSent_;
  return kLProcessDone;
}

LProcessResult LWebletResponse::Finish() {
  LProcessResult result = kLProcessDone;
  if (mode_ == Mode::kHead && !head_.empty()) {
    const std::string held = std::move(head_);
    head_.clear();
    result = transport_.Send(&thread_, held.data(), held.size(), kCompressedSendTimeoutMs);
  } else if (mode_ == Mode::kGzip) {
    result = gzip_->Finish() ? kLProcessDone : gzipSent_;
  } else if (mode_ == Mode::kFailed) {
    return gzipSent_;
  }
  mode_ = Mode::kPlain;
  return result;
}
