#include "web/http/machine_address.h"

#include <gtest/gtest.h>

namespace {

LIPv4Class Classify(std::uint8_t a, std::uint8_t b) {
  const std::uint8_t address[4] = {a, b, 1, 2};
  return LClassifyIPv4(address);
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

// Only interfaces that are up, not loopback and not point-to-point count.
TEST(MachineAddress, PrefersTheFirstPublicThenTheFirstPrivate) {
  const LInterfaceAddress down{false, false, false, {8, 8, 8, 8}};
  const LInterfaceAddress loopback{true, true, false, {9, 9, 9, 9}};
  const LInterfaceAddress pointToPoint{true, false, true, {7, 7, 7, 7}};
  const LInterfaceAddress neither{true, false, false, {127, 0, 0, 1}};
  const LInterfaceAddress private1{true, false, false, {10, 1, 2, 3}};
  const LInterfaceAddress private2{true, false, false, {192, 168, 0, 10}};
  const LInterfaceAddress public1{true, false, false, {203, 0, 113, 5}};
  const LInterfaceAddress public2{true, false, false, {198, 51, 100, 1}};
  EXPECT_EQ(LPickMachineIPv4({down, loopback, pointToPoint, neither, private1, public1, public2}), "203.0.113.5");
  EXPECT_EQ(LPickMachineIPv4({neither, private2, private1}), "192.168.0.10");
  EXPECT_EQ(LPickMachineIPv4({loopback, neither, down}), "0.0.0.0");
}

TEST(MachineAddress, ARemotePeerAsText) {
  const std::uint8_t address[4] = {192, 168, 1, 254};
  EXPECT_EQ(LIPv4PortText(address, 65535), "192.168.1.254:65535");
}
