#include "web/text/format_language.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

template <class... Args>
std::string Printf(const char* format, Args... args) {
  LStringWriter out;
  const std::size_t n = tplprintf(out, format, args...);
  EXPECT_EQ(n, out.Text().size());
  return out.Take();
}

}  // namespace

TEST(FormatLanguage, Integers) {
  EXPECT_EQ(Printf("%d|%d|%d", 0, -42, 1234567), "0|-42|1234567");
  EXPECT_EQ(Printf("%d %d", INT_MIN, INT_MAX), "-2147483648 2147483647");
  EXPECT_EQ(Printf("%.2d:%.2d", 5, 10), "05:10");
  EXPECT_EQ(Printf("%.4d", 123456), "123456");
  EXPECT_EQ(Printf("%.3d", -5), "-005");
  EXPECT_EQ(Printf("[%.0d][%.1d][%.9d]", 0, 7, 1), "[0][7][000000001]");
}

TEST(FormatLanguage, StringsAndTheirEncodings) {
  EXPECT_EQ(Printf("<%s>", "a<b"), "<a<b>");
  EXPECT_EQ(Printf("%H", "x<y\"z&w"), "x&lt;y&quot;z&amp;w");
  EXPECT_EQ(Printf("%H", "a\nb"), "a<br>b");
  EXPECT_EQ(Printf("%U|%U", "a b", "c/d"), "a%20b|c%2Fd");
  EXPECT_EQ(Printf("[%s%H%U]", static_cast<const char*>(nullptr),
                   static_cast<const char*>(nullptr), static_cast<const char*>(nullptr)),
            "[]");
  EXPECT_EQ(Printf("%.2s|%.5H|%.3U", "ab", "<", " "), "ab|&lt;|%20");  // precision ignored
}

TEST(FormatLanguage, PercentRules) {
  EXPECT_EQ(Printf("100%%"), "100%");
  EXPECT_EQ(Printf("%x%c%f%5"), "xcf5");
  EXPECT_EQ(Printf("%.x"), ".x");
  EXPECT_EQ(Printf("abc%"), "abc");
  EXPECT_EQ(Printf("abc%.2"), "abc");
  EXPECT_EQ(Printf(""), "");
  LStringWriter out;
  EXPECT_EQ(tplprintf(out, nullptr), 0u);
}

TEST(FormatLanguage, FixedWritersDropWhatDoesNotFitButCountIt) {
  char buffer[6];
  LFixedBufferWriter fixed(buffer, sizeof buffer);
  EXPECT_EQ(tplprintf(fixed, "%s-%d", "hello", 42), 8u);
  EXPECT_STREQ(buffer, "hello");
  EXPECT_EQ(tplprintf(fixed, "more"), 4u);
  EXPECT_STREQ(buffer, "hello");

  std::string text = "ab";
  LStringAppender limited(text, 5);
  tplprintf(limited, "%d", 12345);
  EXPECT_EQ(text, "ab123");

  LFixedBufferWriter none(buffer, 0);
  EXPECT_EQ(tplprintf(none, "x"), 1u);
}

TEST(FormatLanguage, CheckedFormatTakesStdStringsAndViews) {
  LStringWriter out;
  const std::string name = "O'Neil & Sons";
  const std::string_view tail = std::string_view("a b c").substr(0, 3);
  short minutes = 7;
  const std::size_t n = tplformat(out, "%H|%U|%.2d|%s|%s", name, tail, minutes,
                                  static_cast<const char*>(nullptr), "lit");
  EXPECT_EQ(out.Text(), "O'Neil &amp; Sons|a%20b|07||lit");
  EXPECT_EQ(n, out.Text().size());
}

TEST(FormatLanguage, ArgumentArraySkipsMissingAndMismatchedArguments) {
  LStringWriter out;
  const LFormatArg args[] = {LFormatArg("text"), LFormatArg(5)};
  tplformatv(out, "[%d][%s][%d]", args, 2);  // text for %d, int for %s, none for the last
  EXPECT_EQ(out.Text(), "[][][]");
}
