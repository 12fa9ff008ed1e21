#pragma once
// The header that starts every message on the control channel between the
// desktop and the service. Both ends run on the same machine, so the fields
// are in the machine's own byte order. Layout and message types:
// doc/control_channel.md.

#include <cstdint>

inline constexpr uint16_t kLServiceMagic = 0x1234;

// Message types.
inline constexpr uint16_t kLServiceCommand = 1;
inline constexpr uint16_t kLServiceAckCommand = 2;
inline constexpr uint16_t kLServiceQuery = 3;
inline constexpr uint16_t kLServiceStop = 0x101;
inline constexpr uint16_t kLServiceNotify = 17;
inline constexpr uint16_t kLServiceReply = 18;
inline constexpr uint16_t kLServiceLogLine = 19;
// A request type with this bit set carries no payload on the wire.
inline constexpr uint16_t kLServiceNoPayload = 0x8000;

struct LServiceMessageHeader {
  uint16_t magic;
  uint16_t type;
  uint32_t code;   // command code, reply result or log level
  uint32_t size;   // payload bytes that follow
  uint32_t extra;  // request id; length of the first string of a log line
};
static_assert(sizeof(LServiceMessageHeader) == 16, "the header is 16 bytes on the wire");
