#pragma once
// LHashTable: the ordered table of string pairs that holds request
// parameters, headers, cookies and session data. Despite its name there is no
// hashing: lookups walk the pairs in order and compare keys exactly (case
// and bytes), except in a table of header fields, whose names HTTP compares
// without regard to ASCII case. The table may hold a key twice (only the
// loader appends without checking); lookups always find the first.
//
// Values returned by GetParm point into the table and stay valid until that
// pair is changed or deleted or the table is cleared; changing other pairs
// does not move them.

#include <list>
#include <string>
#include <string_view>

#include "web/text/format_writer.h"

class LHashTable {
 public:
  struct Pair {
    std::string key;
    std::string value;
  };
  using const_iterator = std::list<Pair>::const_iterator;
  enum class KeyCase { kExact, kIgnored };

  explicit LHashTable(KeyCase keyCase = KeyCase::kExact) : keyCase_(keyCase) {}

  // The first value stored under `key`, else `defaultValue` itself.
  const char* GetParm(std::string_view key, const char* defaultValue = "") const;
  // Replaces the value of the first pair with `key`, else inserts a new pair
  // at the head.
  void SetParm(std::string_view key, std::string_view value);
  // Removes the first pair with `key`; false when there was none.
  bool DeleteParm(std::string_view key);
  bool TestExists(std::string_view key) const;
  // Decimal value (see LDecimalToInt); absent or empty gives the default.
  int GetInt(std::string_view key, int defaultValue) const;
  // A value beginning with "0" is false, with "1" true; anything else,
  // absence included, gives the default.
  bool GetBool(std::string_view key, bool defaultValue) const;

  // Appends the URL-encoded pairs "name=value&name=value" of `text` at the
  // end, in text order and without looking for existing keys. Pairs whose
  // decoded name is empty are ignored. The text ends at its first NUL.
  void LoadHTTPString(std::string_view text);
  // The same: bytes are kept as they are, UTF-8 or not.
  void LoadHTTPStringUTF8(std::string_view text) { LoadHTTPString(text); }
  // Every pair in order as URI-encoded name "=" URI-encoded value, joined by
  // "&" (the format of the session files).
  void SaveHTTPString(LFormatWriter& writer) const;
  void SaveHTTPString(std::string& out) const;

  void Clear() { pairs_.clear(); }
  bool Empty() const { return pairs_.empty(); }
  std::size_t Size() const { return pairs_.size(); }
  const_iterator begin() const { return pairs_.begin(); }
  const_iterator end() const { return pairs_.end(); }

 private:
  const Pair* Find(std::string_view key) const;
  bool SameKey(std::string_view stored, std::string_view key) const;

  // A list, not a vector: pointers handed out by GetParm must survive
  // insertions at the head.
  std::list<Pair> pairs_;
  KeyCase keyCase_;
};
