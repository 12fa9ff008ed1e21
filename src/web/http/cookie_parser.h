#pragma once
// The "Cookie" request header, read into a table of cookies.

#include <string_view>

#include "web/text/hash_table.h"

struct LWebletCookieData {
  // Repeats until the end of the header: the name is the bytes up to "=" or
  // ";" (259 kept), a "=" is skipped, the value is the bytes up to ";" (259
  // kept, the rest dropped); the ";" and the bytes below 33 after it are
  // skipped. The value is URI-decoded and stored with SetParm, so a repeated
  // cookie keeps its last value; an empty name stores nothing. Names are not
  // trimmed except for the blanks after a ";".
  static void LoadCookieData(std::string_view header, LHashTable& table);
};
