// Requests against a real server on a loopback port: dispatch, form fields,
// cookies, headers, the requests the server refuses, and what a stop leaves.

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <vector>

#include "support/web_server_fixture.h"
#include "web/http/http_responses.h"
#include "web/http/weblet_connection.h"

namespace {

class HttpRequestTest : public WebServerTest {
 protected:
  void SetUp() override {
    WebServerTest::SetUp();
    StartServer(TestTable());
  }
};

const std::string kRootPage = "HTTP/1.0 200 OK\r\nX-Content-Type-Options: nosniff\r\n\r\nroot page";

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

// Dispatch by exact page name (closing even on keep-alive), and a body of
// the largest length reaches the handler whole.
TEST_F(HttpRequestTest, DispatchAndTheLargestBody) {
  EXPECT_EQ(Exchange("GET / HTTP/1.1\r\nHost: x\r\n\r\nGET / HTTP/1.1\r\nHost: x\r\n\r\n"), kRootPage);
  EXPECT_EQ(Exchange("GET /Echo HTTP/1.0\r\n\r\n"), kLHttpNotFoundEmpty);  // not "echo": a static file
  const std::string value(999996, 'x');
  const std::string reply = Exchange("POST /echo HTTP/1.1\r\nContent-Length: 1000000\r\n\r\nbig=" + value);
  EXPECT_TRUE(Contains(reply, "method=POST\nparam big=" + value + "\n")) << reply.substr(0, 400);
}

// A query's button fields never reach a handler, but for a search; a
// posted form keeps its buttons.
TEST_F(HttpRequestTest, AQueryPressesNoButtonButASearch) {
  const std::pair<std::string, std::string> cases[] = {
      {"GET /echo?submit=++OK++&submitdef=++OK++&a=1", "param a=1\n"},
      {"GET /echo?submit_pwdresend=Resend&check0=x", "param check0=x\n"},
      {"GET /echo?submit=++Search++&edit=true", "param submit=  Search  \nparam edit=true\n"},
      {"GET /echo?submit=++search++&submit=Delete", ""},
      {"GET /echo?submitted=1&xsubmit=2", "param submitted=1\nparam xsubmit=2\n"},
      {"POST /echo?submit=OK", "param submit=OK\nparam submitdef=OK\n"},
  };
  for (const auto& [start, params] : cases) {
    const bool post = start.starts_with("POST");
    const std::string reply =
        Exchange(start + " HTTP/1.0\r\n" + (post ? "Content-Length: 12\r\n\r\nsubmitdef=OK" : "\r\n"));
    // The fields come between the method's line and the headers'.
    const std::size_t from = reply.find('\n', reply.find("\nmethod=") + 1) + 1;
    EXPECT_EQ(reply.substr(from, reply.find("header ", from) - from), params) << start;
  }
}

// A client closing within the head or within the body ends its thread.
TEST_F(HttpRequestTest, ClientClosingMidRequestEndsItsThread) {
  for (const char* sent : {"GET /echo HT", "POST /echo HTTP/1.1\r\nContent-Length: 50\r\n\r\nf=1"}) {
    {
      LUniqueFd client = KavrixConnectLoopback(Port());
      KavrixSendAll(client.Get(), sent);
      ASSERT_TRUE(KavrixWaitUntil([&] { return Server().GetThreadCount() == 1; }));
    }
    EXPECT_TRUE(KavrixWaitUntil([&] { return Server().GetThreadCount() == 0; })) << sent;
  }
}

// The head deadline runs from the request's first byte however steadily the
// head comes in: a head whose time is up between two lines is cut unanswered,
// one that ends a moment before it is answered. A line in between does not
// start the deadline again.
TEST_F(HttpRequestTest, TheHeadDeadlineRunsFromTheFirstByte) {
  LWebletConnection::SetHeadDeadlineMs(1000);
  for (const bool late : {true, false}) {
    SetHeadClockMs(0);
    LUniqueFd client = KavrixConnectLoopback(Port());
    ASSERT_TRUE(KavrixSendAll(client.Get(), "GET / HTTP/1.0\r\n"));
    ASSERT_TRUE(KavrixWaitUntil([] { return HeadClockReads() > 0; }));  // the deadline is set
    SetHeadClockMs(600);
    ASSERT_TRUE(KavrixSendAll(client.Get(), "Host: x\r\n"));
    ASSERT_TRUE(KavrixWaitUntil([] { return HeadClockReads() > 0; }));  // the line is being read
    SetHeadClockMs(late ? 1000 : 999);
    // Late, the server may have closed already.
    EXPECT_TRUE(KavrixSendAll(client.Get(), "\r\n") || late);
    EXPECT_EQ(KavrixRecvUntilClose(client.Get()), late ? "" : kRootPage) << late;
  }
}

// Connections idle, in the middle of a request or on a page that waits for
// the stop leave the server answering; StopConnectionsNow returns with every
// thread gone and every connection closed.
TEST_F(HttpRequestTest, AStopReapsEveryOpenConnection) {
  const std::string waiting = "HTTP/1.0 200 OK\r\nX-Content-Type-Options: nosniff\r\n\r\nwaiting";
  std::vector<LUniqueFd> clients;
  for (const char* sent : {"", "GET /echo HTTP/1.1\r\nHost:", "GET /wait HTTP/1.0\r\n\r\n"}) {
    clients.push_back(KavrixConnectLoopback(Port()));
    ASSERT_TRUE(KavrixSendAll(clients.back().Get(), sent));
  }
  ASSERT_EQ(KavrixRecvExact(clients.back().Get(), waiting.size()), waiting);  // the page has begun
  ASSERT_TRUE(KavrixWaitUntil([&] { return Server().GetThreadCount() == clients.size(); }));
  EXPECT_EQ(Exchange("GET / HTTP/1.0\r\n\r\n"), kRootPage);
  Server().StopListener();
  Server().StopConnectionsNow();
  EXPECT_EQ(Server().GetThreadCount(), 0u);
  for (LUniqueFd& client : clients) EXPECT_TRUE(KavrixPeerClosed(client.Get()));
}

// A file, a refusal and a page each end their connection; a connection kept
// alive and one halfway through a request end with the server.
TEST_F(HttpRequestTest, NoDescriptorOutlivesTheServer) {
  ASSERT_TRUE(KavrixWriteFile(WebRoot() + "/t.txt", "hello"));
  DestroyServer();
  const int before = KavrixCountOpenFds();
  StartServer(TestTable());
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
