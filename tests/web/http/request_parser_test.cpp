#include "web/http/request_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "web/http/http_responses.h"

namespace {

// A parser whose machine address is fixed.
class RequestParserTest : public ::testing::Test {
 protected:
  static LHttpRequestParser MakeParser() {
    return LHttpRequestParser([] { return std::string("192.0.2.7"); });
  }
  // Feeds a whole request; `used` receives the bytes consumed.
  LHttpRequestParser Parse(std::string_view raw, std::size_t* used = nullptr) {
    LHttpRequestParser parser = MakeParser();
    const std::size_t n = LHttpFeedRequest(parser, raw);
    if (used != nullptr) *used = n;
    return parser;
  }
  // The step reached and what the request carries, as one line: the status
  // line of the refusal, or the bytes used, path, page, keep-alive, body
  // length, fields, headers and cookies.
  std::string Summary(std::string_view raw) {
    std::size_t used = 0;
    const LHttpRequestParser p = Parse(raw, &used);
    const char* const steps[] = {"request-line", "header-line", "headers-done", "body", "ready", "reject"};
    std::string out = steps[static_cast<int>(p.Step())];
    if (p.Step() == LHttpStep::kReject) {
      const std::string_view answer = p.RejectText();
      return answer.empty() ? out : out + " " + std::string(answer.substr(0, answer.find('\r')));
    }
    const LHttpRequest& r = p.Request();
    out += " used=" + std::to_string(used) + " " + r.path + " page=" + r.pageName + (r.keepAlive ? " keep" : "") +
           " body=" + std::to_string(r.contentLength);
    for (const auto& pair : r.params) out += " " + pair.key + "=" + pair.value;
    for (const auto& pair : r.headers) out += " [" + pair.key + ": " + pair.value + "]";
    for (const auto& pair : r.cookies) out += " cookie " + pair.key + "=" + pair.value;
    return out;
  }
};

}  // namespace

// Whole requests fed as they arrive, each summed up in one line. Query fields
// keep their first value and come before the body's; a GET's body is consumed
// (a request hidden in it is not the next one) but gives no fields; lines are
// C strings, a NUL ends them; header names are found in any case; a missing or
// empty Host is this machine; a peer that closed within the head leaves the
// parser waiting. Only GET and POST in their exact spelling are served (501);
// a path that climbs or does not start with "/" is not found (404). The body's
// end must be certain: every Content-Length, in any case of its name, a plain
// number, all agreeing, and no Transfer-Encoding; otherwise the request is
// refused without an answer. Beyond the limit it is refused with a 500.
TEST_F(RequestParserTest, WhatWholeRequestsCarry) {
  const std::string hidden = "GET /admin HTTP/1.1\r\nHost: x\r\n\r\n";
  const std::pair<std::string, std::string> cases[] = {
      {"GET / HTTP/1.1\r\nHost: example\r\n\r\nGET /next", "ready used=33 / page= keep body=0 [Host: example]"},
      {"GET /viewhours?f=1&f=2&u=a%40b.c HTTP/1.1\r\nhost:   \r\n\r\n",
       "ready used=55 /viewhours page=viewhours keep body=0 f=1 f=2 u=a@b.c [host: 192.0.2.7]"},
      {"POST /leaveform?f=query HTTP/1.1\r\nContent-Length: 18\r\n\r\nf=body&g=two+words&",
       "ready used=74 /leaveform page=leaveform body=18 f=query f=body g=two words [Host: 192.0.2.7] "
       "[Content-Length: 18]"},
      {"GET /x?q=1 HTTP/1.1\r\nContent-Length: " + std::to_string(hidden.size()) + "\r\n\r\n" + hidden,
       "ready used=75 /x page=x keep body=32 q=1 [Host: 192.0.2.7] [Content-Length: 32]"},
      {"GET /\xff\x80 HTTP/1.1\r\nX-B: \xc3\xa9\x01z\r\nCOOKIE: sess=AbC; theme=two+words\r\n\r\n",
       "ready used=66 /\xff\x80 page=\xff\x80 keep body=0 [Host: 192.0.2.7] [COOKIE: sess=AbC; theme=two+words] "
       "[X-B: \xc3\xa9\x01z] cookie theme=two words cookie sess=AbC"},
      {std::string("GET /a\0b HTTP/1.1\r\nA: 1\0B: 2\r\n\r\n", 32),
       "ready used=32 /a page=a body=0 [Host: 192.0.2.7] [A: 1]"},
      {"GET /x HTTP/1.1\r\nHost: a\r\nCook", "header-line used=30 /x page= body=0 [Host: a]"},
      {"GET  /help/a+b%2Fc%00d.html?x=1  HTTP/1.0 extra\r\n\r\n",
       "ready used=51 /help/a b/cd.html page=help/a b/cd.html body=0 x=1 [Host: 192.0.2.7]"},
      {"GET /" + std::string(395, 'a') + " HTTP/1.1\r\n\r\n",
       "ready used=413 /" + std::string(254, 'a') + " page=" + std::string(254, 'a') + " body=0 [Host: 192.0.2.7]"},
      {"GET / HTTP/1.1\r\nAccept:  \t text/html\r\nX Y : a:b\r\nEmpty:\r\nno colon\r\nR: 1\r\nr: 2\r\n"
       ":nameless\r\n\r\n",
       "ready used=92 / page= keep body=0 [Host: 192.0.2.7] [: nameless] [R: 2] [Empty: ] [X Y : a:b] "
       "[Accept: text/html]"},
      {"GET / HTTP/1.1\r\nN: " + std::string(300, 'v') + "\r\n\r\n",
       "ready used=323 / page= keep body=0 [Host: 192.0.2.7] [N: " + std::string(256, 'v') + "]"},
      {"get / HTTP/1.1\r\n\r\n", "reject HTTP/1.1 501 Not Implemented"},
      {"GET /a/../etc/passwd HTTP/1.1\r\n\r\n", "reject HTTP/1.1 404 Not Found"},
      {"GET /%2E.%2F HTTP/1.1\r\n\r\n", "reject HTTP/1.1 404 Not Found"},
      {"GET x HTTP/1.1\r\n\r\n", "reject HTTP/1.1 404 Not Found"},
      {"GET / HTTP/1.09\r\n\r\n", "ready used=19 / page= body=0 [Host: 192.0.2.7]"},
      {"GET / HTTP/1.1\r\nconnection: CLOSE\r\n\r\n",
       "ready used=37 / page= body=0 [Host: 192.0.2.7] [connection: CLOSE]"},
      {"GET / HTTP/1.1\r\nConnection: Keep-Alive ,  close \r\n\r\n",
       "ready used=52 / page= body=0 [Host: 192.0.2.7] [Connection: Keep-Alive ,  close ]"},
      {"GET / HTTP/1.1\r\nConnection: closed, unclose\r\n\r\n",
       "ready used=47 / page= keep body=0 [Host: 192.0.2.7] [Connection: closed, unclose]"},
      {"POST / HTTP/1.1\r\n\r\n", "ready used=19 / page= body=0 [Host: 192.0.2.7]"},
      {"POST /x HTTP/1.1\r\nContent-Length:\t007 \t\r\n\r\n",
       "body used=43 /x page=x body=7 [Host: 192.0.2.7] [Content-Length: 007 \t]"},
      {"POST /x HTTP/1.1\r\nContent-Length: 7\r\nCONTENT-LENGTH: 7\r\n\r\n",
       "body used=58 /x page=x body=7 [Host: 192.0.2.7] [Content-Length: 7]"},
      {"POST /x HTTP/1.1\r\nContent-Length: 7\r\ncontent-length: 0\r\n\r\n", "reject"},
      {"POST /x HTTP/1.1\r\nContent-Length: +5\r\n\r\n", "reject"},
      {"POST /x HTTP/1.1\r\nContent-Length : 7\r\n\r\n",
       "ready used=40 /x page=x body=0 [Host: 192.0.2.7] [Content-Length : 7]"},
      {"POST /x HTTP/1.1\r\ntransfer-encoding: chunked\r\n\r\n", "reject"},
      {"POST /x HTTP/1.1\r\nContent-Length: 1000000\r\n\r\n",
       "body used=45 /x page=x body=1000000 [Host: 192.0.2.7] [Content-Length: 1000000]"},
      {"POST /x HTTP/1.1\r\nContent-Length: 1000001\r\n\r\n", "reject HTTP/1.1 500 Content Length Too Long"},
      {"GET /x HTTP/1.1\r\nContent-Length: 99999999999999999999999\r\n\r\n",
       "reject HTTP/1.1 500 Content Length Too Long"},
  };
  for (const auto& [raw, summary] : cases) EXPECT_EQ(Summary(raw), summary) << raw.substr(0, 60);
}

// Without a way to learn the machine address a request without a Host names
// none.
TEST_F(RequestParserTest, WithoutTheMachineAddressAMissingHostIsNone) {
  LHttpRequestParser none{std::function<std::string()>()};
  LHttpFeedRequest(none, "GET / HTTP/1.1\r\n\r\n");
  EXPECT_STREQ(none.Request().headers.GetParm("Host"), "0.0.0.0");
}

TEST_F(RequestParserTest, HttpVersionIsAnExactDecimalFraction) {
  const std::pair<const char*, long long> cases[] = {
      {"HTTP/1.0999", 1099}, {"HTTP/.5", 500}, {"X/1.1/2.0", 1100}, {"HTTP/-1.1", -1100}, {"HTTP1.1", 0},
      {"HTTP/99999999999999999999.9", 1000000000000 + 900}};
  for (const auto& [protocol, milli] : cases) EXPECT_EQ(LHttpVersionMilli(protocol), milli) << protocol;
}

TEST_F(RequestParserTest, ABodyThatHasNotArrivedLeavesTheParserWaiting) {
  std::size_t used = 0;
  const std::string head = "POST /x HTTP/1.1\r\nContent-Length: 10\r\n\r\n";
  LHttpRequestParser p = Parse(head + "a=1", &used);
  EXPECT_EQ(p.Step(), LHttpStep::kBody);
  EXPECT_EQ(used, head.size());
  EXPECT_EQ(p.OnBody(std::string_view("a=1&b=2\0c=", 10)), LHttpStep::kReady);
  EXPECT_STREQ(p.Request().params.GetParm("b"), "2");
  EXPECT_FALSE(p.Request().params.TestExists("c"));
}

TEST_F(RequestParserTest, HeaderNamesAreLimitedButKnownOnesStillUpdate) {
  std::string raw = "GET / HTTP/1.1\r\nFirst: 1\r\n";
  for (int i = 0; i < 400; ++i) raw += "X-" + std::to_string(i) + ": v\r\n";
  raw += "First: 2\r\nCookie: sess=abc\r\n\r\n";
  LHttpRequestParser p = Parse(raw);
  ASSERT_EQ(p.Step(), LHttpStep::kReady);
  EXPECT_EQ(p.Request().headers.Size(), kLMaxHeaderNames + 1);  // + the Host of this machine
  EXPECT_STREQ(p.Request().headers.GetParm("First"), "2");
  EXPECT_TRUE(p.Request().cookies.Empty());
}
