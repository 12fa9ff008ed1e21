// The JSON encoder: every string a name, caption or reason can hold comes out
// as valid JSON that reads back as the same text.

#include <gtest/gtest.h>

#include <string>

#include "web/text/json_writer.h"

namespace {

TEST(JsonStringTest, EscapesQuotesBackslashesAndControlsAndPassesUtf8) {
  const struct {
    std::string text;
    std::string json;
  } cases[] = {
      {"Doe, \"JJ\" \\ /", "\"Doe, \\\"JJ\\\" \\\\ /\""},
      {"a\nb\rc\td\be\ff", "\"a\\nb\\rc\\td\\be\\ff\""},
      {std::string("\x00\x01\x1f\x7f", 4), "\"\\u0000\\u0001\\u001f\x7f\""},
      {"Zo\xC3\xAB \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80", "\"Zo\xC3\xAB \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80\""},
      // Bytes that start no valid sequence each become U+FFFD.
      {"a\xFF" "b", "\"a\xEF\xBF\xBD" "b\""},
      {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                // overlong "/"
      {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // a surrogate
      {"\xF4\x90\x80\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // above U+10FFFF
  };
  for (const auto& c : cases) EXPECT_EQ(LJsonString(c.text), c.json) << c.json;
}

}  // namespace
