#include "web/text/html_encoder.h"

#include <gtest/gtest.h>

#include <string>

// Markup characters only are escaped; a single line break (CR, LF, CR LF or
// LF CR) becomes <br>; a run of two equal to its first byte becomes <p>.
TEST(HtmlEncoder, EscapesMarkupAndTurnsLineBreaksIntoBrAndP) {
  const std::pair<std::string, std::string> cases[] = {
      {"a<b>\"c\"&d'", "a&lt;b&gt;&quot;c&quot;&amp;d'"},
      {std::string("\xc3\xa9\xff\t\0", 5), std::string("\xc3\xa9\xff\t\0", 5)},
      {"one\rtwo", "one<br>two"},
      {"one\n\rtwo", "one<br>two"},
      {"one\r\n\r\ntwo", "one<p>two"},
      {"one\n\n\ntwo", "one<br><p>two"},
      {"\r\r\n", "<p>"},
      {"\r\n\n\n", "<br>"},  // one CR heads the run
  };
  for (const auto& [text, html] : cases) EXPECT_EQ(LHTMLEncode(text), html) << text;
}
