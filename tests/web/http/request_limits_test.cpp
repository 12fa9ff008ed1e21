// What clients that send or read slowly, or announce large bodies, can make
// the server hold: body bytes, time, and connections per address. Paces
// are shrunk to nothing where a test needs a deadline that has passed; none
// waits for a clock.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ip_socket_tcp.h"
#include "station/station_pages.h"
#include "support/log_reader.h"
#include "support/web_server_fixture.h"
#include "web/http/http_responses.h"
#include "web/http/request_body.h"
#include "web/http/weblet_connection.h"

namespace {

constexpr LTransferPace kAlreadyLate{0, SIZE_MAX};
// Another loopback address than the machine's own 127.0.0.1, which is not
// limited.
constexpr std::uint32_t kClientAddress = 0x7f000002;

// A connection from `from` that has sent `bytes`; it stays open.
LUniqueFd Open(std::uint16_t port, const std::string& bytes, std::uint32_t from = INADDR_LOOPBACK) {
  LUniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const sockaddr_in here = LMakeSockaddrIPv4(from, 0);
  const sockaddr_in to = LMakeSockaddrIPv4(INADDR_LOOPBACK, port);
  if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&here), sizeof here) != 0 ||
      ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0 ||
      !KavrixSendAll(fd.Get(), bytes)) {
    return LUniqueFd();
  }
  return fd;
}

class RequestLimitsTest : public WebServerTest {
 protected:
  void SetUp() override {
    WebServerTest::SetUp();
    StartServer(TestTable());
  }
  void TearDown() override {
    WebServerTest::TearDown();
    LWebletConnection::SetBodyPace({LWebletConnection::kBodyDeadlineBaseMs, LWebletConnection::kBodyMinBytesPerSecond});
    LWebletConnection::SetAnswerPace(
        {LWebletConnection::kAnswerDeadlineBaseMs, LWebletConnection::kAnswerMinBytesPerSecond});
    LRequestBodyBudget().SetCapacity(kLBodyBytesInFlightCap);
  }
};

std::string PostOf(std::size_t declared, const std::string& sent) {
  return "POST /echo HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(declared) + "\r\n\r\n" + sent;
}

// 300 bodies that announce 1,000,000 bytes and send one hold one first piece
// each, not their declared length; with the budget just full, the next body
// gets the complete 503, and every share comes back when its request ends.
TEST_F(RequestLimitsTest, AnnouncedBodiesCostWhatArrivedAndTheBudgetRefusesBeyond) {
  constexpr std::size_t kStalled = 300;
  LRequestBodyBudget().SetCapacity(kStalled * kLBodyFirstPieceBytes);
  std::vector<LUniqueFd> stalled;
  for (std::size_t i = 0; i < kStalled; ++i) stalled.push_back(Open(Port(), PostOf(1000000, "x")));
  ASSERT_TRUE(KavrixWaitUntil([] { return LRequestBodyBudget().InFlight() == kStalled * kLBodyFirstPieceBytes; }))
      << LRequestBodyBudget().InFlight();

  LUniqueFd refused = Open(Port(), PostOf(10, "x"));
  EXPECT_EQ(KavrixRecvUntilClose(refused.Get()),
            "HTTP/1.1 503 Service Unavailable\r\nConnection: close\r\nRetry-After: 10\r\nContent-Length: 0\r\n"
            "X-Content-Type-Options: nosniff\r\n\r\n");

  stalled.clear();
  EXPECT_TRUE(KavrixWaitUntil([] { return LRequestBodyBudget().InFlight() == 0; }));
  const std::string answered = Exchange(PostOf(5, "a=1&b"));
  EXPECT_NE(answered.find("param a=1\n"), std::string::npos) << answered;
  EXPECT_EQ(LRequestBodyBudget().InFlight(), 0u);
}

// A body that is not all in by its deadline ends the connection unanswered
// and gives its share of the budget back.
TEST_F(RequestLimitsTest, ABodyPastItsDeadlineEndsTheConnection) {
  LWebletConnection::SetBodyPace(kAlreadyLate);
  LUniqueFd client = Open(Port(), PostOf(1000, "a=1"));
  EXPECT_EQ(KavrixRecvUntilClose(client.Get()), "");
  EXPECT_TRUE(KavrixWaitUntil([] { return LRequestBodyBudget().InFlight() == 0; }));
}

// A client that never reads the file a page sends is cut off once the
// answer's pace is missed, and its thread ends.
TEST_F(RequestLimitsTest, AnAnswerTheClientDoesNotReadIsCutOff) {
  const std::string big(32 * 1024 * 1024, 'b');
  ASSERT_TRUE(KavrixWriteFile(WebRoot() + "/big.txt", big));
  LWebletConnection::SetAnswerPace(kAlreadyLate);
  LUniqueFd client = Open(Port(), "GET /serve?path=" + WebRoot() + "/big.txt HTTP/1.0\r\n\r\n");
  // The answer has begun (its thread runs) before the thread is awaited.
  ASSERT_TRUE(KavrixWaitUntil([&] {
    char byte;
    return ::recv(client.Get(), &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 1;
  }));
  EXPECT_TRUE(KavrixWaitUntil([&] { return Server().GetThreadCount() == 0; }));
}

// Beyond the per-address limit a connection is closed at once, logged once
// however many follow; a slot given back lets the next one in; the
// machine's own address is not limited.
TEST_F(RequestLimitsTest, ConnectionsBeyondTheAddressLimitAreClosedAtOnce) {
  constexpr int kLimit = 3;
  Server().AddressSlots().SetLimit(kLimit);
  std::vector<LUniqueFd> held;
  for (int i = 0; i < kLimit; ++i) held.push_back(Open(Port(), "GET / HT", kClientAddress));
  ASSERT_TRUE(KavrixWaitUntil([&] { return Server().AddressSlots().OpenCount(kClientAddress) == kLimit; }));
  for (int i = 0; i < 2; ++i) {
    LUniqueFd extra = Open(Port(), "GET / HTTP/1.0\r\n\r\n", kClientAddress);
    EXPECT_EQ(KavrixRecvUntilClose(extra.Get()), "") << i;
  }
  std::vector<LUniqueFd> own;
  for (int i = 0; i < kLimit + 1; ++i) own.push_back(Open(Port(), "GET / HT"));
  EXPECT_EQ(Exchange("GET / HTTP/1.0\r\n\r\n"), "HTTP/1.0 200 OK\r\nX-Content-Type-Options: nosniff\r\n\r\nroot page");
  int lines = 0;
  for (const std::string& message : KavrixLogMessages()) {
    lines += message == "Connections from 127.0.0.2 are refused: 3 of its connections are open already.";
  }
  EXPECT_EQ(lines, 1) << KavrixReadLogText();
  held.pop_back();
  ASSERT_TRUE(KavrixWaitUntil([&] { return Server().AddressSlots().OpenCount(kClientAddress) == kLimit - 1; }));
  LUniqueFd next = Open(Port(), "GET / HTTP/1.0\r\n\r\n", kClientAddress);
  EXPECT_EQ(KavrixRecvUntilClose(next.Get()), "HTTP/1.0 200 OK\r\nX-Content-Type-Options: nosniff\r\n\r\nroot page");
}

// Stations behind one router share its address and stay for hours: once a
// connection is handed over to the station protocol it no longer counts.
class StationAddressLimitTest : public WebServerTest {};

// "connect" with a station that stays until the server stops.
void StayingStation(LWebletForm& form) {
  WLHandOverConnection(
      form, [](LThread& thread, LIPSocketTCP&, const std::string&) { thread.GetStopSignal().WaitSignalForever(); });
}

TEST_F(StationAddressLimitTest, HandedOverStationsDoNotCount) {
  static const LWebScriptEntry kStationTable[] = {{"connect", StayingStation, LWebAccess::kAnyone}};
  StartServer(kStationTable);
  Server().AddressSlots().SetLimit(2);
  const std::string head(kLHttpStationConnect);
  std::vector<LUniqueFd> stations;
  for (int i = 0; i < 5; ++i) {
    stations.push_back(Open(Port(), "GET /connect HTTP/1.0\r\n\r\n", kClientAddress));
    EXPECT_EQ(KavrixRecvExact(stations.back().Get(), head.size()), head) << i;
  }
  EXPECT_EQ(Server().AddressSlots().OpenCount(kClientAddress), 0);
}

}  // namespace
