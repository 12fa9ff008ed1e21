#include "model/random_password.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

TEST(RandomPasswordTest, SixLowerCaseLettersEachAboutEquallyLikely) {
  constexpr int kPasswords = 5000;
  std::array<int, 26> counts{};
  for (int i = 0; i < kPasswords; ++i) {
    std::string password = "leftover";
    ASSERT_TRUE(LGenRandomPassword(password));
    ASSERT_EQ(password.size(), 6u);
    for (char c : password) {
      ASSERT_TRUE(c >= 'a' && c <= 'z') << password;
      ++counts[c - 'a'];
    }
  }
  // 30000 letters, 1154 expected per letter, standard deviation about 33:
  // a generator reduced modulo 26 without rejection would not be caught
  // here, but one stuck on a letter or a range of letters would.
  for (int count : counts) {
    EXPECT_GT(count, 950);
    EXPECT_LT(count, 1350);
  }
}
