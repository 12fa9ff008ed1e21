#pragma once
// The one JSON encoder of the server (the read API): strings are escaped here
// and nowhere else. Control characters become escapes, valid UTF-8 passes
// through as it is, and a byte that starts no valid UTF-8 sequence becomes
// U+FFFD, so that whatever a name or caption holds the document stays valid.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// `text` as a JSON string, quotes included.
std::string LJsonString(std::string_view text);

// Builds one document value by value; commas and colons are placed by the
// writer. Keys are written only inside objects, values after a key or
// inside arrays.
class LJsonWriter {
 public:
  LJsonWriter& BeginObject();
  LJsonWriter& EndObject();
  LJsonWriter& BeginArray();
  LJsonWriter& EndArray();
  LJsonWriter& Key(std::string_view key);
  LJsonWriter& String(std::string_view text);
  LJsonWriter& Int(std::int64_t value);
  LJsonWriter& Bool(bool value);
  LJsonWriter& Null();
  // Shorthands for a member of an object.
  LJsonWriter& Member(std::string_view key, std::string_view text) { return Key(key).String(text); }
  LJsonWriter& Member(std::string_view key, const char* text) { return Key(key).String(text); }
  LJsonWriter& Member(std::string_view key, std::int64_t value) { return Key(key).Int(value); }
  LJsonWriter& Member(std::string_view key, int value) { return Key(key).Int(value); }
  LJsonWriter& Member(std::string_view key, bool value) { return Key(key).Bool(value); }

  const std::string& Text() const { return out_; }

 private:
  void BeforeValue();
  std::string out_;
  std::vector<bool> hasItems_;  // one per open object or array
  bool afterKey_ = false;
};
