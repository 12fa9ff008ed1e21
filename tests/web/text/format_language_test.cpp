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
