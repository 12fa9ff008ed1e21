#include "service/stop_semaphore.h"

#include <cstdint>

#include "support/test_helpers.h"

// 0xE539B227 was worked out by hand from the rule (11223, then *32 + byte);
// bytes above 0x7F count signed (0xE9 is -23), and a key that wraps to zero
// becomes one.
TEST(StopSemaphoreKey, KeysOfNamesIncludingSignedBytesAndWrapToZero) {
  const std::pair<std::string, uint32_t> cases[] = {
      {"kavrixserverd.stopping", 0xE539B227u},
      {"\xE9", 11223u * 32 - 23},
      {std::string("\x9c}d\x80\xfd`", 6), 1u},
  };
  for (const auto& [name, key] : cases) EXPECT_EQ(LServiceSemaphoreKey(name), key) << name;
}
