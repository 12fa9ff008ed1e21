// Arbitrary bytes through the control channel's message reader, as the
// service reads them from any local user and as a desktop reads them from
// the service. The first byte picks the size of the pieces the bytes arrive
// in, so that headers and payloads split at every place. Besides crashes and
// undefined behaviour it checks what the connection threads rely on: no
// message is larger than the limit, a message builds back into the bytes
// that parse to it, and the log-line split yields texts without NUL bytes
// that lie within the payload.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "service/control_wire.h"

namespace {

void Require(bool promise) {
  if (!promise) std::abort();
}

void CheckMessage(const LControlMessage& message) {
  Require(message.header.magic == kLServiceMagic);
  Require(message.payload.size() <= kLControlMaxPayload);
  Require(message.payload.size() == message.header.size);
  const std::string bytes =
      LControlMessageBytes(message.header.type, message.header.code, message.header.extra, message.payload);
  LControlMessageReader again(false);
  again.Feed(bytes.data(), bytes.size());
  LControlMessage parsed;
  Require(again.Next(&parsed) == LControlMessageReader::Status::kMessage);
  Require(parsed.header.type == message.header.type && parsed.payload == message.payload);
  const auto [timeText, text] = LControlSplitLogLine(message.payload, message.header.extra);
  Require(timeText.find('\0') == std::string::npos && text.find('\0') == std::string::npos);
  Require(timeText.size() + text.size() + 2 <= message.payload.size() || message.payload.size() <= 1);
}

void ReadAll(const uint8_t* data, size_t size, size_t piece, bool requests) {
  LControlMessageReader reader(requests);
  LControlMessage message;
  for (size_t at = 0; at < size; at += piece) {
    reader.Feed(reinterpret_cast<const char*>(data) + at, std::min(piece, size - at));
    for (;;) {
      const LControlMessageReader::Status status = reader.Next(&message);
      if (status == LControlMessageReader::Status::kMessage) {
        CheckMessage(message);
        Require(!requests || (message.header.type & kLServiceNoPayload) == 0);
        continue;
      }
      if (status != LControlMessageReader::Status::kNeedMore) return;  // the connection would end here
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = 1 + data[0] % 32;
  ReadAll(data + 1, size - 1, piece, true);
  ReadAll(data + 1, size - 1, piece, false);
  return 0;
}
