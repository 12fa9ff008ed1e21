// Host texts and the walk through a DNS answer, with answers built here
// byte for byte (no resolver is asked).

#include "mail/mail_host_address.h"


#include <gtest/gtest.h>

#include <string>


namespace {

// A name in DNS label form.
std::string Name(const std::string& dotted) {
  std::string out;
  std::size_t at = 0;
  while (at <= dotted.size()) {
    const std::size_t dot = std::min(dotted.find('.', at), dotted.size());
    out.push_back(static_cast<char>(dot - at));
    out += dotted.substr(at, dot - at);
    at = dot + 1;
  }
  return out + '\0';
}

std::string U16(unsigned value) { return {static_cast<char>(value >> 8), static_cast<char>(value & 0xff)}; }

std::string Record(const std::string& owner, unsigned type, const std::string& data) {
  return owner + U16(type) + U16(1) + std::string("\0\0\x0e\x10", 4) + U16(data.size()) + data;
}

// A reply to "example.com MX" holding a CNAME, then two MX records (the
// second with the lower preference, whose exchange is compressed).
std::string Answer() {
  std::string out = U16(0x1234) + U16(0x8180) + U16(1) + U16(3) + U16(0) + U16(0);
  out += Name("example.com") + U16(15) + U16(1);
  const std::string at_question = std::string("\xc0\x0c", 2);
  out += Record(at_question, 5, Name("alias.example.net"));
  out += Record(at_question, 15, U16(20) + Name("mx2.example.com"));
  out += Record(at_question, 15, U16(10) + std::string("\x03mx1\xc0\x0c", 6));
  return out;
}

const unsigned char* Bytes(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); }

TEST(MailHostAddressTest, HostTextsSplitIntoHostAndPort) {
  const std::pair<std::string, std::pair<std::string, int>> cases[] = {
      {"smtp.example.com", {"smtp.example.com", 25}}, {"smtp.example.com:2525", {"smtp.example.com", 2525}},
      {"10.0.0.1:", {"10.0.0.1", 25}}, {"h:99999", {"h", 25}}, {"h:25x", {"h", 25}}};
  for (const auto& [text, expected] : cases) {
    const LMailHostText split = LSplitMailHost(text);
    EXPECT_EQ(split.host + "|" + std::to_string(split.port), expected.first + "|" + std::to_string(expected.second));
  }
  // A domain with a port names its server without a query.
  const LMailHostText direct = LIPAddressWithPort::EmailMXHost("127.0.0.1:2526");
  EXPECT_EQ(direct.host + "|" + std::to_string(direct.port), "127.0.0.1|2526");
  EXPECT_FALSE(LIPAddressWithPort::Resolve({"", 25}).IsResolved());
}

TEST(MailHostAddressTest, FirstMXRecordInAnswerOrderWinsWhateverItsPreference) {
  const std::string answer = Answer();
  EXPECT_EQ(LFirstMXExchange(Bytes(answer), answer.size()), "mx2.example.com");
}

TEST(MailHostAddressTest, MalformedAnswersGiveNoExchange) {
  const std::string answer = Answer();
  // Every cut of the answer before its first MX record's end finds nothing.
  const std::size_t first_mx_end = answer.size() - (2 + 2 + 2 + 4 + 2 + 2 + 6);
  for (std::size_t length = 0; length < first_mx_end; ++length) {
    EXPECT_EQ(LFirstMXExchange(Bytes(answer), length), "") << length;
  }
  std::string looping = answer;
  looping[12] = '\xc0';  // the question's name points at itself
  looping[13] = '\x0c';
  EXPECT_EQ(LFirstMXExchange(Bytes(looping), looping.size()), "");
  std::string overlong = answer;
  overlong[6] = '\x7f';  // far more answers than present
  EXPECT_EQ(LFirstMXExchange(Bytes(overlong), overlong.size()), "mx2.example.com");
  std::string cname_only = answer;
  cname_only[7] = '\x01';  // only the CNAME counts as an answer
  EXPECT_EQ(LFirstMXExchange(Bytes(cname_only), cname_only.size()), "");
  EXPECT_EQ(LFirstMXExchange(nullptr, 10), "");
  // A null MX: the domain takes no mail.
  std::string null_mx = U16(1) + U16(0x8180) + U16(1) + U16(1) + U16(0) + U16(0) + Name("example.com") +
                        U16(15) + U16(1) + Record(std::string("\xc0\x0c", 2), 15, U16(0) + std::string(1, '\0'));
  EXPECT_EQ(LFirstMXExchange(Bytes(null_mx), null_mx.size()), ".");
}

}  // namespace
