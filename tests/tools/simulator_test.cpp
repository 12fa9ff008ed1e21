// The simulator against the real station server, in process: a web server
// on a loopback port whose "connect" page hands the socket to the station
// protocol, users in the registry of the test's data root, and simulated
// stations that log on, share presence, send activity and popups, watch a
// screen, and the command-line program printing a script's messages.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <thread>

#include "model/users.h"
#include "sim_cli.h"
#include "sim_load.h"
#include "sim_script.h"
#include "sim_station.h"
#include "station/server_connection.h"
#include "station/station_pages.h"
#include "support/web_server_fixture.h"
#include "web/pages/hours/search_list_page.h"

namespace {

// Reads until a message matches `want` (at most 10 s); every message read
// is appended to `seen` in the printed form.
bool ReceiveUntil(KXSimStation& station, const std::function<bool(const KXSimMessage&)>& want,
                  std::vector<std::string>* seen = nullptr) {
  for (int round = 0; round < 50; ++round) {
    KXSimMessage message;
    const KXSimReceive got = station.Receive(message, 200);
    if (got == KXSimReceive::kClosed) return false;
    if (got != KXSimReceive::kMessage) continue;
    if (seen) seen->push_back(KXSimFormatMessage(message));
    if (want(message)) return true;
  }
  return false;
}

const LWebScriptEntry kStationTable[] = {{"connect", WLConnect, LWebAccess::kAnyone}};

class SimulatorTest : public WebServerTest {
 protected:
  void SetUp() override {
    WebServerTest::SetUp();
    // Ann and Bob share a team, Cy is alone; Ann manages Bob.
    ASSERT_TRUE(KXAddUser("ann@example.com", "Ann", false, false, "Sales", "", "pa"));
    ASSERT_TRUE(KXAddUser("bob@example.com", "Bob", false, false, "sales, Support", "ann@example.com", "pb"));
    ASSERT_TRUE(KXAddUser("cy@example.com", "Cy", false, false, "Admin", "", "pc"));
    StartServer(kStationTable);
  }

  std::unique_ptr<KXSimStation> LogOn(const std::string& user, const std::string& password) {
    auto station = std::make_unique<KXSimStation>("127.0.0.1", Port());
    std::string error;
    EXPECT_TRUE(station->LogOn(user, password, kLKXStationMainSession, 0, error)) << error;
    EXPECT_EQ(station->Reply().result, kLKXLogonAccepted);
    // The server registers the session after its reply; the answer to a
    // version request shows that the session loop runs.
    EXPECT_TRUE(station->SendVersionRequest());
    EXPECT_TRUE(ReceiveUntil(*station, [](const KXSimMessage& m) { return m.type == kLKXMsgStationVersion; }));
    return station;
  }
};

}  // namespace

// Who may log on is the station tests' (station_logon_hardening_test.cpp);
// here the simulator's reading of a refusal and of a port that is no
// station server.
TEST_F(SimulatorTest, LogOnReadsARefusalAndFailsCleanlyOnAPortThatIsNoStationServer) {
  std::string error;
  KXSimStation refused("127.0.0.1", Port());
  ASSERT_TRUE(refused.LogOn("ann@example.com", "pb", kLKXStationMainSession, 0, error)) << error;
  EXPECT_EQ(refused.Reply().result, kLKXLogonRefused);
  EXPECT_EQ(refused.Reply().sessionId, "");
  EXPECT_FALSE(refused.IsConnected());

  static const LWebScriptEntry plain[] = {
      {"connect", [](LWebletForm& form) { WLSearchListPost(form); }, LWebAccess::kAnyone}};
  DestroyServer();
  StartServer(plain);
  KXSimStation station("127.0.0.1", Port());
  EXPECT_FALSE(station.LogOn("ann@example.com", "pa", kLKXStationMainSession, 0, error));
  EXPECT_EQ(error.rfind("unexpected answer to the connect request: ", 0), 0u) << error;
  EXPECT_FALSE(station.IsConnected());
}

// The simulator sends through the station's own message builders, tested
// with the server in the station tests (station_wire_test.cpp,
// station_messages_test.cpp for the stored records, presence_test.cpp and
// popup_monitor_test.cpp for who receives what); the printed state line is
// CommandLinePrintsEachMessageOfAScript's. Here the popup's printed form.
TEST_F(SimulatorTest, APopupIsPrintedWhole) {
  auto ann = LogOn("ann@example.com", "pa");
  auto bob = LogOn("bob@example.com", "pb");
  ASSERT_TRUE(ann->SendPopup({"bob@example.com", "Lunch at 1?"}));
  std::vector<std::string> seen;
  ASSERT_TRUE(ReceiveUntil(*bob, [](const KXSimMessage& m) { return m.type == kLKXMsgPopupMessage; }, &seen));
  EXPECT_EQ(seen.back(), "popup from=\"Ann\" text=\"Lunch at 1?\"");
}

TEST_F(SimulatorTest, AManagerWatchesTheScreenTheStationAnswersWithAPicture) {
  std::string jpeg;
  ASSERT_TRUE(KXSimReadFile(std::string(KAVRIX_TEST_SOURCE_DIR) + "/tests/fuzz/corpus_screenshot/jpeg_baseline", jpeg));
  jpeg.erase(0, 1);  // the fuzz seed's first byte is its JPEG switch
  auto bob = LogOn("bob@example.com", "pb");
  std::vector<std::string> bobLines;
  KXSimScriptRunner bobRunner(*bob, [&bobLines](const std::string& line) { bobLines.push_back(line); }, jpeg);
  std::jthread bobThread([&bobRunner] { bobRunner.Pump(-1); });

  KXSimStation watcher("127.0.0.1", Port());
  std::string error;
  ASSERT_TRUE(watcher.LogOn("ann@example.com", "pa", 0, 0, error)) << error;
  ASSERT_TRUE(watcher.SendScreenMonitorRequest("BOB@example.com"));
  std::vector<std::string> seen;
  ASSERT_TRUE(ReceiveUntil(watcher, [](const KXSimMessage& m) { return m.type == kLKXMsgScreenshot; }, &seen));
  EXPECT_EQ(seen.front(), "reply result=0 session=\"\" recording=0");
  EXPECT_EQ(seen.back(), "screenshot time=0 flags=1 bytes=" + std::to_string(jpeg.size()));
  watcher.Close();
  DestroyServer();
  bobThread.join();
  ASSERT_FALSE(bobLines.empty());
  EXPECT_EQ(bobLines.front(), "screen-request");
  EXPECT_EQ(bobLines.back(), "closed");
}

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
    return text.find(own) != std::string::npos && text.find("version text=\"1.61\"") != std::string::npos;
  }));
  DestroyServer();  // ends "listen"
  cli.join();
  std::fclose(out);
  EXPECT_EQ(status, 0);
  std::vector<std::string> lines;
  std::istringstream text(KavrixReadFile(outPath));
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 5u) << text.str();
  EXPECT_EQ(lines[0], "hello challenge=" + std::to_string(LKXStationChallenge()) + " features=0");
  EXPECT_EQ(lines[1].rfind("logon result=0 session=\"", 0), 0u) << lines[1];
  // Its own presence and the version answer may come in either order.
  EXPECT_EQ(std::set<std::string>(lines.begin() + 2, lines.begin() + 4),
            (std::set<std::string>{own, "version text=\"1.61\""})) << text.str();
  EXPECT_EQ(lines[4], "closed");
}

// Dan's station, a team mate of Ann and Bob, never reads: the others' figures
// leave it out and the run goes on as without it. That the server stores
// every record under load is the station tests'.
TEST_F(SimulatorTest, LoadRunCountsEveryPresenceDelivered) {
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
  EXPECT_GE(result.activitySent, 3u * 7u);
  // Ann's changes to Bob and Bob's to Ann; Cy has no team mate.
  EXPECT_EQ(result.deliveriesExpected, result.presenceSent * 2 / 3);
  EXPECT_EQ(result.deliveriesArrived, result.deliveriesExpected);
  EXPECT_EQ(result.deliveryMs.size(), result.deliveriesArrived);
}

TEST(SimulatorProgram, BadArgumentsGiveTheUsageAndStatusTwo) {
  // Which arguments are refused is SimOptions' (sim_text_test.cpp).
  const std::string command = std::string(KAVRIX_TEST_BUILD_DIR) + "/kavrixstation-sim --port 2>&1";
  std::FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string text;
  char buffer[512];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  const int status = pclose(pipe);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
  EXPECT_NE(text.find("usage:\n  kavrixstation-sim --port P --user EMAIL"), std::string::npos) << text;
}
