#include "web/html_encoder.h"

#include <gtest/gtest.h>

TEST(HtmlEncoder, EscapesMarkupCharactersOnly) {
  EXPECT_EQ(LHTMLEncode("a<b>\"c\"&d'"), "a&lt;b&gt;&quot;c&quot;&amp;d'");
  EXPECT_EQ(LHTMLEncode("&amp;"), "&amp;amp;");
  EXPECT_EQ(LHTMLEncode("\xc3\xa9\xff\t"), "\xc3\xa9\xff\t");
  EXPECT_EQ(LHTMLEncode(std::string_view("a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(LHTMLEncode(""), "");
}

TEST(HtmlEncoder, SingleLineBreaksBecomeBr) {
  EXPECT_EQ(LHTMLEncode("one\ntwo"), "one<br>two");
  EXPECT_EQ(LHTMLEncode("one\rtwo"), "one<br>two");
  EXPECT_EQ(LHTMLEncode("one\r\ntwo"), "one<br>two");
  EXPECT_EQ(LHTMLEncode("one\n\rtwo"), "one<br>two");
  EXPECT_EQ(LHTMLEncode("ends\n"), "ends<br>");
  EXPECT_EQ(LHTMLEncode("\nstarts"), "<br>starts");
}

TEST(HtmlEncoder, RunsCountOnlyBytesEqualToTheirFirst) {
  EXPECT_EQ(LHTMLEncode("one\r\n\r\ntwo"), "one<p>two");
  EXPECT_EQ(LHTMLEncode("one\n\ntwo"), "one<p>two");
  EXPECT_EQ(LHTMLEncode("one\n\n\ntwo"), "one<br><p>two");
  EXPECT_EQ(LHTMLEncode("one\r\n\r\n\r\n\r\n\r\ntwo"), "one<br><br><br><p>two");
  EXPECT_EQ(LHTMLEncode("\r\r\n"), "<p>");
  EXPECT_EQ(LHTMLEncode("\n\r\n"), "<p>");
  EXPECT_EQ(LHTMLEncode("\r\n\n\n"), "<br>");  // one CR heads the run
  EXPECT_EQ(LHTMLEncode("a\n<\n\nb"), "a<br>&lt;<p>b");
}
