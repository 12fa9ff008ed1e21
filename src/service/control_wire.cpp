#include "service/control_wire.h"

#include <cstring>

namespace {

std::string HeaderBytes(const LServiceMessageHeader& header) {
  return std::string(reinterpret_cast<const char*>(&header), sizeof(header));
}

}  // namespace

std::string LControlMessageBytes(uint16_t type, uint32_t code, uint32_t extra, std::string_view payload) {
  const LServiceMessageHeader header{kLServiceMagic, type, code, static_cast<uint32_t>(payload.size()), extra};
  return HeaderBytes(header).append(payload);
}

std::string LControlLogLineBytes(std::string_view timeText, std::string_view message, uint32_t level) {
  const uint32_t first = static_cast<uint32_t>(timeText.size() + 1);
  const uint32_t second = static_cast<uint32_t>(message.size() + 1);
  const LServiceMessageHeader header{kLServiceMagic, kLServiceLogLine, level, first + second, first};
  std::string bytes = HeaderBytes(header);
  bytes.append(timeText).push_back('\0');
  bytes.append(message).push_back('\0');
  return bytes;
}

std::string LControlNotifyBytes(uint32_t code, const void* data, uint32_t size) {
  if (data == nullptr) size = 0;
  const LServiceMessageHeader header{kLServiceMagic, kLServiceNotify, code, size, size};
  std::string bytes = HeaderBytes(header);
  if (size != 0) bytes.append(static_cast<const char*>(data), size);
  return bytes;
}

std::pair<std::string, std::string> LControlSplitLogLine(std::string_view payload, uint32_t extra) {
  if (payload.size() <= 1) return {};
  const size_t size = payload.size();
  size_t split = extra == 0 ? 1 : extra;
  if (split >= size) split = size - 1;
  std::string copy(payload);
  copy[split - 1] = '\0';
  copy[size - 1] = '\0';
  return {std::string(copy.c_str()), std::string(copy.c_str() + split)};
}

LControlMessageReader::Status LControlMessageReader::Next(LControlMessage* out) {
  if (Pending() < sizeof(LServiceMessageHeader)) return Status::kNeedMore;
  LServiceMessageHeader header;
  memcpy(&header, buffer_.data() + consumed_, sizeof(header));
  if (header.magic != kLServiceMagic) return Status::kBadMagic;
  uint32_t size = header.size;
  if (requests_ && (header.type & kLServiceNoPayload) != 0) {
    header.type = static_cast<uint16_t>(header.type & ~kLServiceNoPayload);
    size = 0;
    header.size = 0;
  }
  if (size > maxPayload_) return Status::kTooLarge;
  if (Pending() - sizeof(header) < size) return Status::kNeedMore;
  out->header = header;
  out->payload.assign(buffer_, consumed_ + sizeof(header), size);
  consumed_ += sizeof(header) + size;
  // Keeps the buffer from growing with a long conversation.
  if (consumed_ == buffer_.size()) {
    buffer_.clear();
    consumed_ = 0;
  } else if (consumed_ > buffer_.size() / 2) {
    buffer_.erase(0, consumed_);
    consumed_ = 0;
  }
  return Status::kMessage;
}
