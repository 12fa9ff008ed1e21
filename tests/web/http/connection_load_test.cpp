// Many connections at once: concurrent clients, thousands of idle sockets,
// a stop with everything open, and no descriptor left behind.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <thread>
#include <vector>

#include "support/web_server_fixture.h"
#include "web/http/http_responses.h"

namespace {

class ConnectionLoadTest : public WebServerTest {
 protected:
  // Lets this process hold `count` descriptors (as far as the hard limit
  // allows); false when it cannot.
  static bool RaiseDescriptorLimit(rlim_t count) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return false;
    if (limit.rlim_cur >= count) return true;
    if (limit.rlim_max < count) return false;
    limit.rlim_cur = count;
    return ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
  }
};

}  // namespace

TEST_F(ConnectionLoadTest, ManySimultaneousClientsAllGetTheirAnswers) {
  StartServer(TestTable());
  ASSERT_TRUE(KavrixWriteFile(WebRoot() + "/t.txt", "hello"));
  constexpr int kClients = 40;
  constexpr int kRequests = 25;
  std::atomic<int> good{0};
  std::vector<std::thread> clients;
  for (int c = 0; c < kClients; ++c) {
    clients.emplace_back([&, c] {
      LUniqueFd client = KavrixConnectLoopback(Port());
      for (int r = 0; r < kRequests; ++r) {
        if (!KavrixSendAll(client.Get(), "GET /t.txt HTTP/1.1\r\nHost: x\r\n\r\n")) return;
        const std::string reply = KavrixRecvHttpResponse(client.Get());
        if (reply.rfind("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Type: text/plain\r\n", 0) == 0 && reply.size() > 5 &&
            reply.compare(reply.size() - 5, 5, "hello") == 0) {
          ++good;
        }
      }
      // And one dynamic page per client on a connection of its own.
      const std::string echo = Exchange("GET /echo?c=" + std::to_string(c) + " HTTP/1.0\r\n\r\n");
      if (echo.find("param c=" + std::to_string(c) + "\n") != std::string::npos) ++good;
    });
  }
  for (std::thread& client : clients) client.join();
  EXPECT_EQ(good.load(), kClients * (kRequests + 1));
}

// Two thousand connections, idle, in the middle of a request or on a page
// that waits for the stop, leave the server answering; StopConnectionsNow
// returns with every thread gone and every connection closed.
TEST_F(ConnectionLoadTest, ThousandsOfOpenConnectionsLeaveTheServerAnsweringAndAStopReapsThemAll) {
  constexpr int kOpen = 2000;
  ASSERT_TRUE(RaiseDescriptorLimit(2 * kOpen + 200)) << "descriptor hard limit too low";
  StartServer(TestTable());
  const std::string waiting = "HTTP/1.0 200 OK\r\nX-Content-Type-Options: nosniff\r\n\r\nwaiting";
  std::vector<LUniqueFd> clients;
  clients.reserve(kOpen);
  for (int i = 0; i < kOpen; ++i) {
    clients.push_back(KavrixConnectLoopback(Port()));
    ASSERT_TRUE(clients.back()) << "connection " << i;
    if (i % 100 == 1) KavrixSendAll(clients.back().Get(), "GET /echo HTTP/1.1\r\nHost:");
    if (i % 100 == 2) {
      KavrixSendAll(clients.back().Get(), "GET /wait HTTP/1.0\r\n\r\n");
      ASSERT_EQ(KavrixRecvExact(clients.back().Get(), waiting.size()), waiting);  // the page has begun
    }
    // The listen backlog holds 50: a client that outruns the accepting
    // thread has its next connect dropped and retried a second later, and
    // the first idle sockets would reach their 30-second limit meanwhile.
    if (i % 40 == 39) {
      ASSERT_TRUE(KavrixWaitUntil([&] { return Server().GetThreadCount() == clients.size(); }));
    }
  }
  ASSERT_TRUE(KavrixWaitUntil([&] { return Server().GetThreadCount() == kOpen; }));
  EXPECT_EQ(Exchange("GET / HTTP/1.0\r\n\r\n"), "HTTP/1.0 200 OK\r\nX-Content-Type-Options: nosniff\r\n\r\nroot page");

  Server().StopListener();
  Server().StopConnectionsNow();
  EXPECT_EQ(Server().GetThreadCount(), 0u);
  for (LUniqueFd& client : clients) EXPECT_TRUE(KavrixPeerClosed(client.Get()));
}

TEST_F(ConnectionLoadTest, NoDescriptorOutlivesTheServer) {
  ASSERT_TRUE(KavrixWriteFile(WebRoot() + "/t.txt", "hello"));
  const int before = KavrixCountOpenFds();
  StartServer(TestTable());
  // A file, a refusal and a page each end their connection.
  EXPECT_NE(Exchange("GET /t.txt HTTP/1.0\r\n\r\n"), "");
  EXPECT_EQ(Exchange("get / HTTP/1.0\r\n\r\n"), kLHttpNotImplemented);
  EXPECT_NE(Exchange("GET /echo HTTP/1.0\r\n\r\n"), "");
  {
    LUniqueFd keepAlive = KavrixConnectLoopback(Port());
    KavrixSendAll(keepAlive.Get(), "GET /t.txt HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_NE(KavrixRecvHttpResponse(keepAlive.Get()), "");
    LUniqueFd halfway = KavrixConnectLoopback(Port());
    KavrixSendAll(halfway.Get(), "GET /t.t");
    ASSERT_TRUE(KavrixWaitUntil([&] { return Server().GetThreadCount() >= 2; }));
    DestroyServer();
  }
  EXPECT_EQ(KavrixCountOpenFds(), before);
}
