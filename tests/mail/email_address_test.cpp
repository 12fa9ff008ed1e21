#include "mail/email_address.h"

#include <gtest/gtest.h>

#include <string>

TEST(EmailAddressTest, AcceptsOrdinaryAddressesAndRefusesMalformedOnes) {
  // 254 bytes in all with "a@": three 63-byte labels and their dots, then a last label.
  const std::string label63(63, 'd');
  std::string domain = label63 + "." + label63 + "." + label63 + ".";
  domain += std::string(254 - 2 - domain.size(), 'x');
  const struct {
    std::string address;
    const char* why;
    bool valid = false;
  } cases[] = {
      {"anna@example.com", "plain", true},
      {"Anna.Berg@Mail.ex-ample.co.uk", "dots in the local part, letter case, an inner hyphen", true},
      {"x!#$%&'*+-/=?^_`{|}~y@example.com", "every special byte of an unquoted local part", true},
      {"1234@123.example.com4", "digits, last label not all digits", true},
      {std::string(64, 'l') + "@example.com", "longest local part", true},
      {"a@" + label63 + ".com", "longest label", true},
      {"a@" + domain, "longest address", true},
      {"", "empty"},
      {"annaexample.com", "no at sign"},
      {"an@na@example.com", "two at signs"},
      {"@example.com", "empty local part"},
      {"anna@localhost", "domain without a dot"},
      {"anna@.example.com", "empty first label"},
      {".anna@example.com", "leading full stop in the local part"},
      {"an..na@example.com", "two full stops in the local part"},
      {"=anna@example.com", "leading equals sign, dropped by the settings store"},
      {"anna@-example.com", "label beginning with a hyphen"},
      {"anna@exa_mple.com", "underscore in the domain"},
      {"anna@10.0.0.1", "numeric last label"},
      {std::string(65, 'l') + "@example.com", "local part too long"},
      {"a@" + label63 + "d.com", "label too long"},
      {"ab@" + domain, "address too long"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LEmail::ValidateAddress(c.address), c.valid) << c.address << ": " << c.why;
  }
}

TEST(EmailAddressTest, RefusesBlanksControlAndListBytesAnywhere) {
  // Each of these bytes, put into the local part or into the domain, must be
  // refused: they would split comma lists, break pages or SMTP lines, or
  // (above 127) need an SMTP extension the delivery does not speak.
  const std::string hostile =
      std::string(" \t\r\n\x01\x7f,;:<>\"()[]\\", 17) + std::string(1, '\0') + "\xc3\xa9";
  for (char byte : hostile) {
    const std::string b(1, byte);
    EXPECT_FALSE(LEmail::ValidateAddress("an" + b + "na@example.com")) << static_cast<int>(byte);
    EXPECT_FALSE(LEmail::ValidateAddress("anna@exa" + b + "mple.com")) << static_cast<int>(byte);
  }
}
