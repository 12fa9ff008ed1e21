// The encoders of outgoing mail, byte for byte.

#include "mail/mail_encoders.h"

#include <gtest/gtest.h>

#include <ctime>

#include "mail/smtp_data_lines.h"

namespace {

TEST(MailEncodersTest, SubjectsAreEncodedOnlyWhenTheyHoldNonAsciiBytes) {
  std::string out;
  LRFC2047Encode(out, "Logon Details: a=b? c_d");
  EXPECT_EQ(out, "Logon Details: a=b? c_d");
  LRFC2047Encode(out, "Caf\xc3\xa9 ok?_=\x01");
  EXPECT_EQ(out, "=?utf-8?q?Caf=C3=A9=20ok=3F=5F=3D=01?=");
  LRFC2047Encode(out, std::string(300, 'a'));
  EXPECT_EQ(out.size(), 259u);
  LRFC2047Encode(out, "\xc3\xa9" + std::string(300, 'a'));
  EXPECT_EQ(out, "=?utf-8?q?=C3=A9" + std::string(259 - 16, 'a'));
}

TEST(MailEncodersTest, Base64FollowsTheStandardVectorsAndBreaksEvery57Bytes) {
  const std::pair<std::string, std::string> vectors[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foob", "Zm9vYg=="}, {std::string("\xff\xfe\x00", 3), "//4A"}};
  for (const auto& [plain, encoded] : vectors) {
    std::string out = "x";
    LBase64Encode(plain.data(), plain.size(), out);
    EXPECT_EQ(out, "x" + encoded) << plain;
  }
  std::string line;
  for (int i = 0; i < 19; ++i) line += "QUFB";  // 57 bytes "A" make 76 characters
  EXPECT_EQ(LBase64Lines(std::string(58, 'A')), line + "\r\nQQ==\r\n");
}

TEST(MailEncodersTest, BoundaryIsTheFirstCandidateNotInTheBody) {
  EXPECT_EQ(LEmailFindBoundary("gc0p4Jq0M2Yt08jU534c0 gc0p4Jq0M2Yt08jU534c1"), "gc0p4Jq0M2Yt08jU534c2");
  std::string all;
  for (int n = 0; n < 100; ++n) all += "gc0p4Jq0M2Yt08jU534c" + std::to_string(n) + "\n";
  EXPECT_EQ(LEmailFindBoundary(all), "gc0p4Jq0M2Yt08jU534c99");
}

TEST(MailEncodersTest, DateCarriesTheOffsetWithItsSign) {
  const struct tm local{.tm_sec = 9, .tm_min = 5, .tm_hour = 8, .tm_mday = 1, .tm_mon = 5, .tm_year = 109, .tm_wday = 1};
  EXPECT_EQ(LEmailDateText(local, 3600), "Mon, 01 Jun 2009 08:05:09 +0100");
  EXPECT_EQ(LEmailDateText(local, -(5 * 3600 + 30 * 60)), "Mon, 01 Jun 2009 08:05:09 -0530");
}

TEST(MailEncodersTest, HeaderTextAndLineEndsLeaveNoLoneLineBreak) {
  EXPECT_EQ(LEmailHeaderText("a\r\nBcc: x\ty\x7f"), "a  Bcc: x y ");
  EXPECT_EQ(LEmailNormalizeLineEnds("a\nb\r\nc\rd\r\r\n."), "a\r\nb\r\nc\r\nd\r\n\r\n.");
}

TEST(MailEncodersTest, DataLinesAreBrokenAt700AndDotStuffed) {
  const std::string x800(800, 'x');
  EXPECT_EQ(LSMTPDataLines(x800 + "\r\n"), std::string(700, 'x') + "\r\n" + std::string(100, 'x') + "\r\n");
  const std::string spaced = std::string(650, 'a') + " " + std::string(200, 'b') + "\r\n";
  EXPECT_EQ(LSMTPDataLines(spaced), std::string(650, 'a') + " \r\n" + std::string(200, 'b') + "\r\n");
  // A space at the very first position does not count as a break.
  EXPECT_EQ(LSMTPDataLines(" " + std::string(750, 'c')),
            " " + std::string(699, 'c') + "\r\n" + std::string(51, 'c'));
  // The rest of a broken line is stuffed like any line.
  EXPECT_EQ(LSMTPDataLines(std::string(700, 'd') + ".e\r\n"), std::string(700, 'd') + "\r\n..e\r\n");
  EXPECT_EQ(LSMTPDataLines(".a\r\n.\r\nb.\r\n\r\nlast"), "..a\r\n..\r\nb.\r\n\r\nlast");
  EXPECT_EQ(LSMTPDataLines(std::string(700, 'f') + "\r\n"), std::string(700, 'f') + "\r\n");
}

}  // namespace
