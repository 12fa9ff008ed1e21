#include "model/random_password.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

// Six lower-case letters; a generator stuck on a letter or a range of letters
// would leave some of the 26 unseen in 2000 passwords.
TEST(RandomPasswordTest, SixLowerCaseLettersFromTheWholeAlphabet) {
  std::set<char> seen;
  for (int i = 0; i < 2000; ++i) {
    std::string password = "leftover";
    ASSERT_TRUE(LGenRandomPassword(password));
    ASSERT_EQ(password.size(), 6u);
    seen.insert(password.begin(), password.end());
  }
  EXPECT_EQ(seen.size(), 26u);
  EXPECT_TRUE(*seen.begin() == 'a' && *seen.rbegin() == 'z');
}
