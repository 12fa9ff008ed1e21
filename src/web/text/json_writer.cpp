#include "web/text/json_writer.h"

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";
constexpr char kReplacement[] = "\xEF\xBF\xBD";

// The length of the valid UTF-8 sequence at the start of `text`, 0 when it
// is none (overlong forms, surrogates and values above U+10FFFF included).
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

}  // namespace

std::string LJsonString(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out.push_back('"');
  while (!text.empty()) {
    const unsigned char c = static_cast<unsigned char>(text.front());
    if (c >= 0x80) {
      const std::size_t length = Utf8SequenceLength(text);
      if (length == 0) {
        out += kReplacement;
        text.remove_prefix(1);
      } else {
        out.append(text.substr(0, length));
        text.remove_prefix(length);
      }
      continue;
    }
    text.remove_prefix(1);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          out += "\\u00";
          out.push_back(kHexDigits[c >> 4]);
          out.push_back(kHexDigits[c & 15]);
        } else {
          out.push_back(static_cast<char>(c));
        }
    }
  }
  out.push_back('"');
  return out;
}

void LJsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!hasItems_.empty()) {
    if (hasItems_.back()) out_.push_back(',');
    hasItems_.back() = true;
  }
}

LJsonWriter& LJsonWriter::BeginObject() {
  BeforeValue();
  out_.push_back('{');
  hasItems_.push_back(false);
  return *this;
}

LJsonWriter& LJsonWriter::EndObject() {
  out_.push_back('}');
  hasItems_.pop_back();
  return *this;
}

LJsonWriter& LJsonWriter::BeginArray() {
  BeforeValue();
  out_.push_back('[');
  hasItems_.push_back(false);
  return *this;
}

LJsonWriter& LJsonWriter::EndArray() {
  out_.push_back(']');
  hasItems_.pop_back();
  return *this;
}

LJsonWriter& LJsonWriter::Key(std::string_view key) {
  BeforeValue();
  out_ += LJsonString(key);
  out_.push_back(':');
  afterKey_ = true;
  return *this;
}

LJsonWriter& LJsonWriter::String(std::string_view text) {
  BeforeValue();
  out_ += LJsonString(text);
  return *this;
}

LJsonWriter& LJsonWriter::Int(std::int64_t value) {
  BeforeValue();
  out_ += std::to_string(value);
  return *this;
}

LJsonWriter& LJsonWriter::Bool(bool value) {
  BeforeValue();
  out_ += value ? "true" : "false";
  return *this;
}

LJsonWriter& LJsonWriter::Null() {
  BeforeValue();
  out_ += "null";
  return *this;
}
