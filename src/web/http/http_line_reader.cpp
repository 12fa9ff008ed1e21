#include "web/http/http_line_reader.h"

std::size_t LHttpLineReader::Feed(const char* data, std::size_t length) {
  if (complete_) return 0;
  std::size_t i = 0;
  while (i < length) {
    const char c = data[i++];
    started_ = true;
    if (c == '\n') {
      complete_ = true;
      break;
    }
    if (c != '\r' && line_.size() < capacity_) line_.push_back(c);
  }
  return i;
}

bool LHttpLineReader::EndOfInput() {
  if (started_) complete_ = true;
  return complete_;
}

void LHttpLineReader::Reset() {
  line_.clear();
  started_ = false;
  complete_ = false;
}
