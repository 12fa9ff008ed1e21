// The simulator against the real station server, in process: a web server
// on a loopback port whose "connect" page hands the socket to the station
// protocol, and the command-line program printing a script's messages. What
// the server does with each message is the station tests'.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <thread>

#include "foundation/command_runner.h"
#include "model/users.h"
#include "sim_cli.h"
#include "sim_load.h"
#include "station/server_connection.h"
#include "station/station_pages.h"
#include "support/web_server_fixture.h"

namespace {

const LWebScriptEntry kStationTable[] = {{"connect", WLConnect, LWebAccess::kAnyone}};

class SimulatorTest : public WebServerTest {
 protected:
  void SetUp() override {
    WebServerTest::SetUp();
    ASSERT_TRUE(KXAddUser("bob@example.com", "Bob", false, false, "Sales", "", "pb"));
    StartServer(kStationTable);
  }
};

}  // namespace

TEST_F(SimulatorTest, CommandLinePrintsEachMessageOfAScript) {
  const std::string script = TempDir() + "/script";
  ASSERT_TRUE(KavrixWriteFile(script,
                              "# Bob at his desk\n"
                              "presence idle \"Desk 7\" mail.exe \"Inbox (3)\" 555\n"
                              "version\n"
                              "listen\n"));
  const std::string outPath = TempDir() + "/out";
  std::FILE* out = std::fopen(outPath.c_str(), "w");
  ASSERT_NE(out, nullptr);
  int status = -1;
  std::jthread cli([&] {
    status = KXSimMain({"--port", std::to_string(Port()), "--user", "bob@example.com", "--password", "pb", "--script",
                        script},
                       stdin, out, stderr);
  });
  const std::string own =
      "state email=\"bob@example.com\" name=\"Bob\" state=4 location=\"Desk 7\" application=\"mail.exe\" "
      "caption=\"Inbox (3)\" phone=\"555\"";
  ASSERT_TRUE(KavrixWaitUntil([&] {
    const std::string text = KavrixReadFile(outPath);
    return text.find("\n" + own + "\n") != std::string::npos &&
           text.find("\nversion text=\"1.61\"\n") != std::string::npos;
  }));
  DestroyServer();  // ends "listen"
  cli.join();
  std::fclose(out);
  EXPECT_EQ(status, 0);
  // Its own presence and the version answer, which the wait saw, may come in
  // either order between the logon and the end.
  const std::string text = KavrixReadFile(outPath);
  const std::string logon = "hello challenge=" + std::to_string(LKXStationChallenge()) +
                            " features=0\nlogon result=0 session=\"";
  EXPECT_TRUE(text.starts_with(logon) && text.ends_with("\nclosed\n") && std::ranges::count(text, '\n') == 5)
      << text;
}

// A load run with a station that never reads: every presence change still
// reaches each team mate, and the deaf one holds nobody up.
TEST_F(SimulatorTest, LoadRunCountsEveryPresenceDelivered) {
  ASSERT_TRUE(KXAddUser("ann@example.com", "Ann", false, false, "Sales", "", "pa"));
  ASSERT_TRUE(KXAddUser("cy@example.com", "Cy", false, false, "Admin", "", "pc"));
  ASSERT_TRUE(KXAddUser("dan@example.com", "Dan", false, false, "Sales", "", "pd"));
  KXSimLoadOptions options;
  options.port = Port();
  options.accounts = {{"dan@example.com", "pd", "Sales"}, {"ann@example.com", "pa", "Sales"},
                      {"bob@example.com", "pb", "Sales"}, {"cy@example.com", "pc", "Admin"}};
  options.deafStations = 1;
  options.durationSeconds = 2;
  options.activityEveryMs = 250;
  options.presenceEveryMs = 500;
  KXSimLoadResult result;
  std::string error;
  ASSERT_TRUE(KXSimRunLoad(options, result, error)) << error;
  EXPECT_EQ(std::to_string(result.loggedOn) + " logged on, " + std::to_string(result.deaf) + " deaf, " +
                std::to_string(result.deafDropped) + " dropped, " + std::to_string(result.sendFailures) + " failed",
            "4 logged on, 1 deaf, 0 dropped, 0 failed");
  // Ann's changes to Bob and Bob's to Ann; Cy has no team mate.
  EXPECT_EQ(result.deliveriesExpected, result.presenceSent * 2 / 3);
  EXPECT_EQ(result.deliveriesArrived, result.deliveriesExpected);
}

TEST(SimulatorProgram, BadArgumentsGiveTheUsageAndStatusTwo) {
  const std::string command = std::string(KAVRIX_TEST_BUILD_DIR) + "/kavrixstation-sim --port 2>&1";
  LCommandOutcome outcome;
  ASSERT_EQ(LRunCommand(nullptr, command, 60000, &outcome), kLProcessDone);
  EXPECT_TRUE(WIFEXITED(outcome.wait_status) && WEXITSTATUS(outcome.wait_status) == 2);
  EXPECT_NE(outcome.output.find("usage:\n  kavrixstation-sim --port P --user EMAIL"), std::string::npos)
      << outcome.output;
}
