#include "web/http/weblet_send.h"

#include <algorithm>
#include <climits>
#include <cstdarg>

#include "engine/socket_ops.h"
#include "web/http/http_responses.h"

namespace {
constexpr std::size_t kInitialBuffer = 8192;
constexpr std::size_t kGrowthFactor = 4;
}  // namespace

LWebletSocketWriter::LWebletSocketWriter() { text_.reserve(kInitialBuffer); }

void LWebletSocketWriter::Write(const char* data, std::size_t length) {
  const std::size_t needed = text_.size() + length;
  if (needed > text_.capacity()) {
    std::size_t capacity = text_.capacity();
    while (capacity < needed) capacity *= kGrowthFactor;
    text_.reserve(capacity);
  }
  text_.append(data, length);
}

LProcessResult LWebletSocketWriter::SendTo(LWebletForm& form) const {
  // A long page may take its time over a slow link: one more millisecond
  // of patience per byte.
  const int timeoutMs = static_cast<int>(
      std::min<std::size_t>(text_.size() + kLWebSendTimeoutMs, static_cast<std::size_t>(INT_MAX)));
  return form.Send(text_, timeoutMs);
}

std::size_t wfprintf(LWebletForm& form, const char* format, ...) {
  LWebletSocketWriter writer;
  va_list args;
  va_start(args, format);
  const std::size_t length = tplvprintf(writer, format, args);
  va_end(args);
  (void)writer.SendTo(form);
  return length;
}

LProcessResult WLSendRaw(LWebletForm& form, std::string_view text) {
  return form.Send(text, kLWebSendTimeoutMs);
}

void WLRedirect(LWebletForm& form, const char* url) {
  (void)WLSendRaw(form, LHttpRedirectText(url != nullptr ? url : ""));
}
