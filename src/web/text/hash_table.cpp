#include "web/text/hash_table.h"

#include <algorithm>

#include "foundation/settings_parse.h"
#include "web/text/decimal_text.h"
#include "web/text/uri_codec.h"

bool LHashTable::SameKey(std::string_view stored, std::string_view key) const {
  if (keyCase_ == KeyCase::kExact) return stored == key;
  return LSettingsEqualNoCase(stored, key);
}

const LHashTable::Pair* LHashTable::Find(std::string_view key) const {
  for (const Pair& pair : pairs_) {
    if (SameKey(pair.key, key)) return &pair;
  }
  return nullptr;
}

const char* LHashTable::GetParm(std::string_view key, const char* defaultValue) const {
  const Pair* pair = Find(key);
  return pair != nullptr ? pair->value.c_str() : defaultValue;
}

void LHashTable::SetParm(std::string_view key, std::string_view value) {
  for (Pair& pair : pairs_) {
    if (SameKey(pair.key, key)) {
      pair.value.assign(value.data(), value.size());
      return;
    }
  }
  pairs_.push_front(Pair{std::string(key), std::string(value)});
}

bool LHashTable::DeleteParm(std::string_view key) {
  for (auto it = pairs_.begin(); it != pairs_.end(); ++it) {
    if (SameKey(it->key, key)) {
      pairs_.erase(it);
      return true;
    }
  }
  return false;
}

bool LHashTable::TestExists(std::string_view key) const { return Find(key) != nullptr; }

int LHashTable::GetInt(std::string_view key, int defaultValue) const {
  const Pair* pair = Find(key);
  if (pair == nullptr || pair->value.empty()) return defaultValue;
  return LDecimalToInt(pair->value);
}

bool LHashTable::GetBool(std::string_view key, bool defaultValue) const {
  const Pair* pair = Find(key);
  if (pair == nullptr || pair->value.empty()) return defaultValue;
  if (pair->value[0] == '0') return false;
  if (pair->value[0] == '1') return true;
  return defaultValue;
}

void LHashTable::LoadHTTPString(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::size_t pos = 0;
  while (pos < text.size()) {
    Pair pair;
    LStringAppender name(pair.key);
    pos += LURIDecodeToWriterDirect(name, text.substr(pos), "=&");
    if (pos < text.size() && text[pos] == '=') ++pos;
    LStringAppender value(pair.value);
    pos += LURIDecodeToWriterDirect(value, text.substr(pos), "&");
    if (pos < text.size() && text[pos] == '&') ++pos;
    if (!pair.key.empty()) pairs_.push_back(std::move(pair));
  }
}

void LHashTable::SaveHTTPString(LFormatWriter& writer) const {
  bool first = true;
  for (const Pair& pair : pairs_) {
    if (!first) writer.Put('&');
    first = false;
    LURIEncodeToWriterDirect(writer, pair.key);
    writer.Put('=');
    LURIEncodeToWriterDirect(writer, pair.value);
  }
}

void LHashTable::SaveHTTPString(std::string& out) const {
  LStringAppender writer(out);
  SaveHTTPString(writer);
}
