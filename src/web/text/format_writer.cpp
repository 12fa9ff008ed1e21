#include "web/text/format_writer.h"

#include <algorithm>
#include <cstring>

void LStringAppender::Write(const char* data, std::size_t length) {
  if (out_.size() >= limit_) return;
  out_.append(data, std::min(length, limit_ - out_.size()));
}

LFixedBufferWriter::LFixedBufferWriter(char* buffer, std::size_t size)
    : buffer_(buffer), size_(size) {
  if (size_ > 0) buffer_[0] = '\0';
}

void LFixedBufferWriter::Write(const char* data, std::size_t length) {
  if (size_ == 0) return;
  const std::size_t room = size_ - 1 - length_;
  const std::size_t n = std::min(length, room);
  if (n > 0) std::memcpy(buffer_ + length_, data, n);
  length_ += n;
  buffer_[length_] = '\0';
}
