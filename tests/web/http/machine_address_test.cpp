#include "web/http/machine_address.h"

#include <gtest/gtest.h>

namespace {

LIPv4Class Classify(std::uint8_t a, std::uint8_t b) {
  const std::uint8_t address[4] = {a, b, 1, 2};
  return LClassifyIPv4(address);
}

LInterfaceAddress Interface(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d,
                            bool up = true, bool loopback = false, bool pointToPoint = false) {
  LInterfaceAddress entry;
  entry.up = up;
  entry.loopback = loopback;
  entry.pointToPoint = pointToPoint;
  entry.address[0] = a;
  entry.address[1] = b;
  entry.address[2] = c;
  entry.address[3] = d;
  return entry;
}

}  // namespace

// 172.x is private for any second byte with bit 16 (172.48 too).
TEST(MachineAddress, ClassifiesPrivatePublicAndNeither) {
  const struct {
    std::uint8_t a, b;
    LIPv4Class kind;
  } cases[] = {{10, 200, LIPv4Class::kPrivate}, {192, 168, LIPv4Class::kPrivate}, {169, 254, LIPv4Class::kPrivate},
               {172, 48, LIPv4Class::kPrivate}, {172, 15, LIPv4Class::kPublic},   {192, 169, LIPv4Class::kPublic},
               {127, 0, LIPv4Class::kNeither},  {0, 10, LIPv4Class::kNeither}};
  for (const auto& c : cases) EXPECT_EQ(Classify(c.a, c.b), c.kind) << int(c.a) << "." << int(c.b);
}

TEST(MachineAddress, PrefersTheFirstPublicThenTheFirstPrivate) {
  EXPECT_EQ(LPickMachineIPv4({Interface(8, 8, 8, 8, false), Interface(127, 0, 0, 1),
                              Interface(9, 9, 9, 9, true, true), Interface(7, 7, 7, 7, true, false, true),
                              Interface(10, 1, 2, 3), Interface(203, 0, 113, 5),
                              Interface(198, 51, 100, 1)}),
            "203.0.113.5");
  EXPECT_EQ(LPickMachineIPv4({Interface(127, 0, 0, 1), Interface(192, 168, 0, 10),
                              Interface(10, 0, 0, 1)}),
            "192.168.0.10");
  EXPECT_EQ(LPickMachineIPv4({Interface(127, 0, 0, 1, true, true), Interface(0, 0, 0, 0),
                              Interface(8, 8, 8, 8, false)}),
            "0.0.0.0");
}

TEST(MachineAddress, ARemotePeerAsText) {
  const std::uint8_t address[4] = {192, 168, 1, 254};
  EXPECT_EQ(LIPv4PortText(address, 65535), "192.168.1.254:65535");
}
