// Requests against a real server on a loopback port: dispatch, form fields,
// cookies, headers, and the requests the server refuses.

#include <gtest/gtest.h>
#include <sys/socket.h>

#include "web/http_responses.h"
#include "web/machine_address.h"
#include "web_server_fixture.h"

namespace {

class HttpRequestTest : public WebServerTest {
 protected:
  void SetUp() override {
    WebServerTest::SetUp();
    StartServer(TestTable());
  }
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

TEST_F(HttpRequestTest, BarePathDispatchesToTheEmptyEntryAndCloses) {
  EXPECT_EQ(Exchange("GET / HTTP/1.1\r\nHost: x\r\n\r\n"), "HTTP/1.0 200 OK\r\n\r\nroot page");
}

TEST_F(HttpRequestTest, PageNamesCompareExactly) {
  // "Echo" is not "echo": it falls through to the static files.
  EXPECT_EQ(Exchange("GET /Echo HTTP/1.0\r\n\r\n"), kLHttpNotFoundEmpty);
  EXPECT_TRUE(Contains(Exchange("GET /echo HTTP/1.0\r\n\r\n"), "page=echo\n"));
}

TEST_F(HttpRequestTest, FirstOfTwoQueryValuesWins) {
  const std::string reply = Exchange("GET /echo?f=1&f=2 HTTP/1.0\r\n\r\n");
  EXPECT_TRUE(Contains(reply, "param f=1\nparam f=2\n"));
}

TEST_F(HttpRequestTest, PostBodyFollowsTheQueryString) {
  const std::string reply =
      Exchange("POST /echo?f=query HTTP/1.1\r\nContent-Length: 15\r\n\r\nf=body&g=a+b%21");
  EXPECT_TRUE(Contains(reply, "method=POST\nparam f=query\nparam f=body\nparam g=a b!\n"));
}

TEST_F(HttpRequestTest, BodyOfExactlyTheLimitIsAcceptedOneMoreIsRefused) {
  std::string body = "big=";
  body.resize(1000000, 'x');
  const std::string accepted =
      Exchange("POST /echo HTTP/1.1\r\nContent-Length: 1000000\r\n\r\n" + body);
  EXPECT_TRUE(Contains(accepted, "param big=" + std::string(999996, 'x') + "\n"));

  LUniqueFd client = KavrixConnectLoopback(Port());
  ASSERT_TRUE(
      KavrixSendAll(client.Get(), "POST /echo HTTP/1.1\r\nContent-Length: 1000001\r\n\r\n"));
  EXPECT_EQ(KavrixRecvUntilClose(client.Get()), kLHttpContentTooLong);
  EXPECT_EQ(std::string(kLHttpContentTooLong),
            "HTTP/1.1 500 Content Length Too Long\r\nConnection: close\r\n\r\n");
}

TEST_F(HttpRequestTest, MethodsOtherThanGetAndPostGet501) {
  const std::string expected = "HTTP/1.1 501 Not Implemented\r\nConnection: close\r\n\r\n";
  EXPECT_EQ(Exchange("get / HTTP/1.1\r\nHost: x\r\n\r\n"), expected);
  EXPECT_EQ(Exchange("HEAD / HTTP/1.1\r\n\r\n"), expected);
  EXPECT_EQ(Exchange("\r\n"), expected);
}

TEST_F(HttpRequestTest, TwoDotsInThePathGet404AndClose) {
  const std::string expected = "HTTP/1.1 404 Not Found\r\nConnection: close\r\n\r\n";
  KavrixWriteFile(SharedFolder() + "/secret", "secret");
  EXPECT_EQ(Exchange("GET /../secret HTTP/1.1\r\nHost: x\r\n\r\n"), expected);
  EXPECT_EQ(Exchange("GET /%2e%2e/secret HTTP/1.1\r\nHost: x\r\n\r\n"), expected);
  EXPECT_EQ(Exchange("GET /%2E.%2fsecret HTTP/1.1\r\n\r\n"), expected);
  EXPECT_EQ(Exchange("GET /a..b HTTP/1.1\r\n\r\n"), expected);
  EXPECT_EQ(Exchange("GET echo HTTP/1.1\r\n\r\n"), expected);  // no leading "/"
}

TEST_F(HttpRequestTest, OverlongRequestLineIsCutAndStillServed) {
  const std::string start = "GET /echo?x=";
  std::string line = start + std::string(400 - start.size() - 9, 'v') + " HTTP/1.1";
  ASSERT_EQ(line.size(), 400u);
  const std::string reply = Exchange(line + "\r\nHost: x\r\n\r\n");
  // The line keeps 259 bytes: the URL is cut, the protocol lost.
  EXPECT_TRUE(Contains(reply, "param x=" + std::string(259 - start.size(), 'v') + "\n"));
}

TEST_F(HttpRequestTest, CookieHeaderNameIsCaseSensitive) {
  const std::string lower = Exchange("GET /echo HTTP/1.0\r\ncookie: sess=abc\r\n\r\n");
  EXPECT_FALSE(Contains(lower, "cookie sess"));
  EXPECT_TRUE(Contains(lower, "header cookie=sess=abc\n"));

  const std::string proper =
      Exchange("GET /echo HTTP/1.0\r\nCookie: sess=abc; theme=two+words\r\n\r\n");
  EXPECT_TRUE(Contains(proper, "cookie theme=two words\ncookie sess=abc\n"));
}

TEST_F(HttpRequestTest, RepeatedHeaderKeepsItsLastValue) {
  const std::string reply = Exchange("GET /echo HTTP/1.0\r\nX-A: 1\r\nX-A:  2\r\nHost: h\r\n\r\n");
  EXPECT_TRUE(Contains(reply, "header X-A=2\n"));
}

TEST_F(HttpRequestTest, MissingHostIsThisMachinesAddress) {
  const std::string reply = Exchange("GET /echo HTTP/1.0\r\n\r\n");
  EXPECT_TRUE(Contains(reply, "header Host=" + LMachineIPv4Text() + "\n"));
  const std::string empty = Exchange("GET /echo HTTP/1.0\r\nHost:\r\n\r\n");
  EXPECT_TRUE(Contains(empty, "header Host=" + LMachineIPv4Text() + "\n"));
}

TEST_F(HttpRequestTest, RemoteAddressIsThePeer) {
  LUniqueFd client = KavrixConnectLoopback(Port());
  sockaddr_in local{};
  socklen_t size = sizeof local;
  ::getsockname(client.Get(), reinterpret_cast<sockaddr*>(&local), &size);
  KavrixSendAll(client.Get(), "GET /echo HTTP/1.0\r\n\r\n");
  const std::string reply = KavrixRecvUntilClose(client.Get());
  EXPECT_TRUE(Contains(reply, "remote=127.0.0.1:" + std::to_string(ntohs(local.sin_port)) + "\n"));
}

TEST_F(HttpRequestTest, RedirectLocationCannotCarryLineBreaks) {
  EXPECT_EQ(Exchange("GET /redirect?to=logon HTTP/1.0\r\n\r\n"),
            "HTTP/1.0 302 OK\r\nLocation: logon\r\n\r\n");
  EXPECT_EQ(Exchange("GET /redirect?to=a%0d%0aSet-Cookie:+sess=x HTTP/1.0\r\n\r\n"),
            "HTTP/1.0 302 OK\r\nLocation: aSet-Cookie: sess=x\r\n\r\n");
}

TEST_F(HttpRequestTest, DynamicPagesCloseEvenOnKeepAlive) {
  LUniqueFd client = KavrixConnectLoopback(Port());
  KavrixSendAll(client.Get(), "GET / HTTP/1.1\r\nHost: x\r\n\r\nGET / HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_EQ(KavrixRecvUntilClose(client.Get()), "HTTP/1.0 200 OK\r\n\r\nroot page");
}

TEST_F(HttpRequestTest, ClientClosingMidRequestEndsItsThread) {
  {
    LUniqueFd client = KavrixConnectLoopback(Port());
    KavrixSendAll(client.Get(), "GET /echo HT");
    ASSERT_TRUE(KavrixWaitUntil([&] { return Server().GetThreadCount() == 1; }));
  }
  EXPECT_TRUE(KavrixWaitUntil([&] { return Server().GetThreadCount() == 0; }));
  {
    LUniqueFd client = KavrixConnectLoopback(Port());
    KavrixSendAll(client.Get(), "POST /echo HTTP/1.1\r\nContent-Length: 50\r\n\r\nf=1");
    ASSERT_TRUE(KavrixWaitUntil([&] { return Server().GetThreadCount() == 1; }));
  }
  EXPECT_TRUE(KavrixWaitUntil([&] { return Server().GetThreadCount() == 0; }));
  // The server still answers.
  EXPECT_EQ(Exchange("GET / HTTP/1.0\r\n\r\n"), "HTTP/1.0 200 OK\r\n\r\nroot page");
}

TEST_F(HttpRequestTest, SilentClientEndsWhenTheServerStops) {
  LUniqueFd client = KavrixConnectLoopback(Port());
  ASSERT_TRUE(KavrixWaitUntil([&] { return Server().GetThreadCount() == 1; }));
  Server().StopListener();
  Server().StopConnectionsNow();
  EXPECT_EQ(Server().GetThreadCount(), 0u);
  EXPECT_TRUE(KavrixPeerClosed(client.Get()));
}
