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

// Integers with a minimum of digits, strings as they are, HTML-escaped or
// URI-encoded (a null one is empty, a precision ignored); unknown
// conversions write their letter, a "%" at the end nothing.
TEST(FormatLanguage, Conversions) {
  EXPECT_EQ(Printf("%d %d|%.2d:%.4d|%.3d", INT_MIN, INT_MAX, 5, 123456, -5), "-2147483648 2147483647|05:123456|-005");
  EXPECT_EQ(Printf("<%s>%H|%.5H|%U", "a<b", "x<y\"z&w\nb", "<", "c/d e"), "<a<b>x&lt;y&quot;z&amp;w<br>b|&lt;|c%2Fd%20e");
  EXPECT_EQ(Printf("[%s%H%U]", static_cast<const char*>(nullptr), static_cast<const char*>(nullptr),
                   static_cast<const char*>(nullptr)),
            "[]");
  EXPECT_EQ(Printf("100%%|%x%c%5|%.x|abc%.2"), "100%|xc5|.x|abc");
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
}

TEST(FormatLanguage, CheckedFormatTakesStdStringsAndViewsAndSkipsMismatchedArguments) {
  LStringWriter out;
  const std::string name = "O'Neil & Sons";
  const std::string_view tail = std::string_view("a b c").substr(0, 3);
  short minutes = 7;
  const std::size_t n = tplformat(out, "%H|%U|%.2d|%s|%s", name, tail, minutes,
                                  static_cast<const char*>(nullptr), "lit");
  EXPECT_EQ(out.Text(), "O'Neil &amp; Sons|a%20b|07||lit");
  EXPECT_EQ(n, out.Text().size());
  // An argument array: text for %d, int for %s, none for the last.
  LStringWriter array;
  const LFormatArg args[] = {LFormatArg("text"), LFormatArg(5)};
  tplformatv(array, "[%d][%s][%d]", args, 2);
  EXPECT_EQ(array.Text(), "[][][]");
}
