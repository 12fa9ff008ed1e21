// The simulator's printed form and its input: quoting, script words, the
// command line and the users file.

#include <gtest/gtest.h>

#include <tuple>

#include "sim_load.h"
#include "sim_options.h"
#include "sim_text.h"
#include "sim_users.h"
#include "support/temp_root.h"

TEST(SimText, QuotesEveryByteThatIsNotPlainPrintable) {
  EXPECT_EQ(KXSimQuote(std::string("q\"\\\r\n\0\x7f\xc3\xa9", 9)), "\"q\\\"\\\\\\x0d\\x0a\\x00\\x7f\\xc3\\xa9\"");
}

TEST(SimText, SplitsWordsQuotesAndComments) {
  using Words = std::vector<std::string>;
  Words words;
  std::string error;
  const std::pair<const char*, Words> cases[] = {
      {"  popup \"a@x, b@x\"\t\"say \\\"hi\\\" \\\\ \\n\" last\r", {"popup", "a@x, b@x", "say \"hi\" \\ \\n", "last"}},
      {"activity \"\" x", {"activity", "", "x"}}, {"   # presence idle", {}}, {"wait #1", {"wait", "#1"}}};
  for (const auto& [line, expected] : cases) {
    ASSERT_TRUE(KXSimSplitWords(line, words, error)) << line;
    EXPECT_EQ(words, expected) << line;
  }
  EXPECT_FALSE(KXSimSplitWords("popup \"a@x TEXT", words, error));
  EXPECT_EQ(error, "unterminated quote");
  EXPECT_TRUE(words.empty());
}

TEST(SimOptions, ModesAndValues) {
  KXSimCliOptions o;
  std::string error;
  ASSERT_TRUE(KXSimParseOptions({"--port", "8089", "--user", "a@x", "--password", "p", "--tz", "-300", "--flags",
                                 "0", "--command", "version", "--command", "wait 1"},
                                o, error))
      << error;
  EXPECT_TRUE(o.mode == KXSimMode::kStation && o.port == 8089 && o.timeZone == -300 && o.flags == 0);
  EXPECT_EQ(o.commands, (std::vector<std::string>{"version", "wait 1"}));

  KXSimCliOptions load;
  ASSERT_TRUE(KXSimParseOptions({"--port", "1", "--stations", "500", "--users-file", "u"}, load, error));
  EXPECT_EQ(load.mode, KXSimMode::kLoad);
  KXSimCliOptions make;
  ASSERT_TRUE(KXSimParseOptions({"--make-users", "500", "--teams", "50", "--users-file", "u"}, make, error));
  EXPECT_EQ(make.mode, KXSimMode::kMakeUsers);
}

TEST(SimOptions, RefusesWhatMakesNoSense) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--port", "65536", "--user", "a"}, "--port: not a number from 1 to 65535: 65536"},
      {{"--port", "80x", "--user", "a"}, "--port: not a number from 1 to 65535: 80x"},
      {{"--port", "80"}, "--user is required"},
      {{"--user", "a"}, "--port is required"},
      {{"--port", "80", "--stations", "5"}, "--stations needs --users-file"},
      {{"--port", "80", "--stations", "5", "--users-file", "u", "--deaf", "5"},
       "--deaf must leave some of the --stations reading"},
      {{"--make-users", "5"}, "--make-users needs --users-file"},
      {{"--port", "80", "--user"}, "--user needs a value"},
      {{"--port", "80", "--verbose", "1"}, "unknown option --verbose"},
      {{"stray"}, "unexpected argument stray"},
  };
  for (const auto& [args, expected] : cases) {
    KXSimCliOptions o;
    std::string error;
    EXPECT_FALSE(KXSimParseOptions(args, o, error)) << expected;
    EXPECT_EQ(error, expected);
  }
}

TEST(SimLoadFigures, NearestRankPercentiles) {
  std::vector<double> hundred;
  for (int i = 100; i >= 1; --i) hundred.push_back(i);
  const std::tuple<std::vector<double>, double, double> cases[] = {
      {{}, 50, 0}, {{7}, 99, 7}, {hundred, 99, 99}, {hundred, 100, 100}, {{1, 2, 3}, 50, 2}};
  for (const auto& [values, rank, expected] : cases) EXPECT_EQ(KXSimPercentile(values, rank), expected) << rank;
}

class SimUsersFile : public KavrixTempRoot {};

TEST_F(SimUsersFile, MakeUsersWritesRegistryAndFileThatReadsBack) {
  const std::string file = TempDir() + "/users";
  std::string error;
  const std::string expected =
      "sim0001@example.com pw0001 Team01\nsim0002@example.com pw0002 Team02\n"
      "sim0003@example.com pw0003 Team03\nsim0004@example.com pw0004 Team01\n"
      "sim0005@example.com pw0005 Team02\nsim0006@example.com pw0006 Team03\n";
  // A second run keeps the users it finds and writes the same file.
  for (int run = 0; run < 2; ++run) {
    ASSERT_TRUE(KXSimMakeUsers(6, 3, file, error)) << error;
    EXPECT_EQ(KavrixReadFile(file), expected);
  }
}

TEST_F(SimUsersFile, ReadsCommentsQuotesAndRefusesBadLines) {
  const std::string file = TempDir() + "/users";
  ASSERT_TRUE(KavrixWriteFile(file, "# list\r\n\r\na@x \"p w\"\r\nb@x q \"Team A\"\n"));
  std::vector<KXSimAccount> accounts;
  std::string error;
  ASSERT_TRUE(KXSimReadUsersFile(file, accounts, error)) << error;
  std::string read;
  for (const KXSimAccount& a : accounts) read += a.email + "|" + a.password + "|" + a.team + ";";
  EXPECT_EQ(read, "a@x|p w|;b@x|q|Team A;");

  ASSERT_TRUE(KavrixWriteFile(file, "a@x p\nonlyone\n"));
  EXPECT_FALSE(KXSimReadUsersFile(file, accounts, error));
  EXPECT_EQ(error, file + ":2: expected: email password [team]");
  EXPECT_FALSE(KXSimReadUsersFile(TempDir() + "/missing", accounts, error));
}
