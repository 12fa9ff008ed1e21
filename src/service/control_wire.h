#pragma once
// Building and reading control channel messages without a socket: the
// service's connection threads, the desktop's proxy, the command-line client
// and the fuzz target all go through these. Layout: doc/control_channel.md.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "service/control_message.h"

// The largest payload a message may announce. No request of the desktop
// comes near it; a larger size is a broken or hostile peer, and it is
// refused before anything is allocated.
inline constexpr uint32_t kLControlMaxPayload = 64 * 1024;

// The 16 header bytes followed by the payload.
std::string LControlMessageBytes(uint16_t type, uint32_t code, uint32_t extra, std::string_view payload);
// A log line: {magic, 19, level, len1 + len2, len1}, then both texts with
// their NUL (len1 and len2 count the NUL).
std::string LControlLogLineBytes(std::string_view timeText, std::string_view message, uint32_t level);
// A notification: {magic, 17, code, size, size}, then the data.
std::string LControlNotifyBytes(uint32_t code, const void* data, uint32_t size);

// The desktop's reading of a log line payload: the split point is `extra`,
// where 0 counts as 1 and `size` or more as `size` - 1; a NUL is forced
// before the split and at the last byte, so each text ends at its first NUL.
// A payload of 1 byte or less gives two empty texts.
std::pair<std::string, std::string> LControlSplitLogLine(std::string_view payload, uint32_t extra);

struct LControlMessage {
  LServiceMessageHeader header{};
  std::string payload;
};

// Collects bytes as they come off a socket and hands out whole messages.
class LControlMessageReader {
 public:
  enum class Status {
    kNeedMore,   // no whole message yet
    kMessage,    // *out holds the next message
    kBadMagic,   // the stream is broken: the connection must end
    kTooLarge,   // the announced payload is above the limit: likewise
  };

  // `requests`: the reader is the service's, and a type with the no-payload
  // bit set has that bit cleared and no payload read (the desktop's reader
  // takes every size as it stands).
  explicit LControlMessageReader(bool requests, uint32_t maxPayload = kLControlMaxPayload)
      : requests_(requests), maxPayload_(maxPayload) {}

  void Feed(const char* data, size_t length) { buffer_.append(data, length); }
  [[nodiscard]] Status Next(LControlMessage* out);
  // Bytes received but not yet handed out (part of a message).
  size_t Pending() const { return buffer_.size() - consumed_; }
  // True when a header has arrived and its payload is still incomplete.
  bool InPayload() const { return Pending() >= sizeof(LServiceMessageHeader); }

 private:
  const bool requests_;
  const uint32_t maxPayload_;
  std::string buffer_;
  size_t consumed_ = 0;
};
