#include "web/http/request_parser.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "web/http/http_responses.h"

namespace {

// A parser whose machine address is fixed, counting how often it is asked.
class RequestParserTest : public ::testing::Test {
 protected:
  LHttpRequestParser MakeParser() {
    return LHttpRequestParser([this] {
      ++hostAsked_;
      return std::string("192.0.2.7");
    });
  }
  // Feeds a whole request; `used` receives the bytes consumed.
  LHttpRequestParser Parse(std::string_view raw, std::size_t* used = nullptr) {
    LHttpRequestParser parser = MakeParser();
    const std::size_t n = LHttpFeedRequest(parser, raw);
    if (used != nullptr) *used = n;
    return parser;
  }
  int hostAsked_ = 0;
};

}  // namespace

TEST_F(RequestParserTest, BareSlashIsTheEmptyPageName) {
  std::size_t used = 0;
  const std::string raw = "GET / HTTP/1.1\r\nHost: example\r\n\r\nGET /next";
  LHttpRequestParser p = Parse(raw, &used);
  ASSERT_EQ(p.Step(), LHttpStep::kReady);
  const LHttpRequest& r = p.Request();
  EXPECT_EQ(r.method, "GET");
  EXPECT_EQ(r.url, "/");
  EXPECT_EQ(r.protocol, "HTTP/1.1");
  EXPECT_EQ(r.versionMilli, 1100);
  EXPECT_EQ(r.path, "/");
  EXPECT_EQ(r.pageName, "");
  EXPECT_TRUE(r.keepAlive);
  EXPECT_STREQ(r.headers.GetParm("Host"), "example");
  EXPECT_EQ(used, raw.size() - 9);
  EXPECT_EQ(hostAsked_, 0);
}

TEST_F(RequestParserTest, QueryFieldsKeepTheirFirstValue) {
  LHttpRequestParser p = Parse("GET /viewhours?f=1&f=2&seluser=a%40b.c HTTP/1.1\r\n\r\n");
  ASSERT_EQ(p.Step(), LHttpStep::kReady);
  EXPECT_EQ(p.Request().pageName, "viewhours");
  EXPECT_STREQ(p.Request().params.GetParm("f"), "1");
  EXPECT_STREQ(p.Request().params.GetParm("seluser"), "a@b.c");
}

TEST_F(RequestParserTest, PostBodyFollowsTheQueryString) {
  const std::string raw =
      "POST /leaveform?f=query HTTP/1.1\r\nContent-Type: text/plain\r\nContent-Length: 18\r\n\r\n"
      "f=body&g=two+words&";
  std::size_t used = 0;
  LHttpRequestParser p = Parse(raw, &used);
  ASSERT_EQ(p.Step(), LHttpStep::kReady);
  EXPECT_EQ(used, raw.size() - 1);
  EXPECT_EQ(p.Request().contentLength, 18);
  EXPECT_STREQ(p.Request().params.GetParm("f"), "query");
  EXPECT_STREQ(p.Request().params.GetParm("g"), "two words");
  EXPECT_FALSE(p.Request().keepAlive);
}

TEST_F(RequestParserTest, OnlyGetAndPostInTheirExactSpelling) {
  for (const char* line : {"get / HTTP/1.1", "Get / HTTP/1.1", "PUT / HTTP/1.1", "HEAD / HTTP/1.1",
                           "GETX / HTTP/1.1", "", "   "}) {
    LHttpRequestParser p = MakeParser();
    EXPECT_EQ(p.OnRequestLine(line), LHttpStep::kReject) << line;
    EXPECT_STREQ(p.RejectText(), "HTTP/1.1 501 Not Implemented\r\nConnection: close\r\n"
                                 "X-Content-Type-Options: nosniff\r\n\r\n");
  }
}

TEST_F(RequestParserTest, DotDotAndPathsWithoutSlashAreNotFound) {
  for (const char* line : {"GET /a/../etc/passwd HTTP/1.1", "GET /%2e%2e/x HTTP/1.1",
                           "GET /%2E.%2F HTTP/1.1", "GET /a..b HTTP/1.1", "GET x HTTP/1.1",
                           "GET * HTTP/1.1", "GET", "GET ?a=/ HTTP/1.1",
                           "GET /.%00.x HTTP/1.1"}) {
    LHttpRequestParser p = MakeParser();
    EXPECT_EQ(p.OnRequestLine(line), LHttpStep::kReject) << line;
    EXPECT_STREQ(p.RejectText(), "HTTP/1.1 404 Not Found\r\nConnection: close\r\n"
                                 "X-Content-Type-Options: nosniff\r\n\r\n");
    // No header is read after a refusal.
    EXPECT_EQ(p.OnHeaderLine(""), LHttpStep::kReject);
  }
}

TEST_F(RequestParserTest, PathIsDecodedAndCut) {
  LHttpRequestParser p = MakeParser();
  ASSERT_EQ(p.OnRequestLine("GET  /help/a+b%2Fc%00d.html?x=1  HTTP/1.0 extra"),
            LHttpStep::kHeaderLine);
  EXPECT_EQ(p.Request().path, "/help/a b/cd.html");
  EXPECT_EQ(p.Request().url, "/help/a+b%2Fc%00d.html?x=1");
  EXPECT_EQ(p.Request().protocol, "HTTP/1.0");
  p.OnHeaderLine("");
  EXPECT_EQ(p.Request().pageName, "help/a b/cd.html");
}

TEST_F(RequestParserTest, LongRequestLineStillWorks) {
  // Received through the line reader, the line itself is cut at 259 bytes,
  // which takes the protocol with it.
  const std::string url = "/" + std::string(395, 'a');
  LHttpRequestParser received = Parse("GET " + url + " HTTP/1.1\r\n\r\n");
  ASSERT_EQ(received.Step(), LHttpStep::kReady);
  EXPECT_EQ(received.Request().url, url.substr(0, 255));
  EXPECT_EQ(received.Request().protocol, "");
  EXPECT_FALSE(received.Request().keepAlive);

  // Handed over whole, each token is cut at 259 bytes.
  LHttpRequestParser direct = MakeParser();
  ASSERT_EQ(direct.OnRequestLine("GET " + url + " HTTP/1.1"), LHttpStep::kHeaderLine);
  EXPECT_EQ(direct.Request().url, url.substr(0, 259));
  EXPECT_EQ(direct.Request().pageName.size(), 0u);  // set with the headers
  direct.OnHeaderLine("");
  EXPECT_EQ(direct.Request().pageName, std::string(258, 'a'));

  // A query string longer than the token keeps only what fits.
  LHttpRequestParser query = MakeParser();
  query.OnRequestLine("GET /?v=" + std::string(300, 'q') + " HTTP/1.1");
  EXPECT_EQ(std::string(query.Request().params.GetParm("v")), std::string(259 - 4, 'q'));
}

TEST_F(RequestParserTest, HttpVersionIsAnExactDecimalFraction) {
  const std::pair<const char*, long long> cases[] = {
      {"HTTP/1.1", 1100},  {"HTTP/1.10", 1100}, {"HTTP/1.0999", 1099}, {"HTTP/1.05", 1050},
      {"HTTP/1.0", 1000},  {"HTTP/2", 2000},    {"HTTP/.5", 500},      {"X/1.1/2.0", 1100},
      {"HTTP/-1.1", -1100}, {"HTTP/", 0},       {"HTTP/x", 0},         {"HTTP1.1", 0},
      {"HTTP/99999999999999999999.9", 1000000000000 + 900}};
  for (const auto& [protocol, milli] : cases) EXPECT_EQ(LHttpVersionMilli(protocol), milli) << protocol;
}

TEST_F(RequestParserTest, KeepAliveOnlyForGetOfHttp11WithoutClose) {
  const auto keep = [this](const std::string& requestLine, const std::string& headers) {
    LHttpRequestParser p = Parse(requestLine + "\r\n" + headers + "\r\n");
    EXPECT_EQ(p.Step(), LHttpStep::kReady) << requestLine;
    return p.Request().keepAlive;
  };
  const struct {
    const char* line;
    const char* headers;
    bool keep;
  } cases[] = {{"GET /s.css HTTP/1.1", "", true},
               {"GET /s.css HTTP/1.1", "Connection: keep-alive\r\n", true},
               {"GET /s.css HTTP/1.10", "", true},
               {"GET /s.css HTTP/2.0", "", true},
               {"GET /s.css HTTP/1.1", "Connection: Close\r\n", false},
               {"GET /s.css HTTP/1.1", "connection: CLOSE\r\n", false},
               {"GET /s.css HTTP/1.1", "CONNECTION: Keep-Alive ,  close \r\n", false},
               {"GET /s.css HTTP/1.1", "Connection: Keep-Alive\r\n", true},
               {"GET /s.css HTTP/1.1", "Connection: closed, unclose\r\n", true},  // tokens, not text
               {"GET /s.css HTTP/1.1", "Connection: close\r\n", false},
               {"GET /s.css HTTP/1.1", "Connection: keep-alive, close\r\n", false},
               {"GET /s.css HTTP/1.0", "", false},
               {"GET /s.css HTTP/1.09", "", false},
               {"GET /s.css", "", false},
               {"POST /s.css HTTP/1.1", "", false}};
  for (const auto& c : cases) EXPECT_EQ(keep(c.line, c.headers), c.keep) << c.line << " " << c.headers;
}

TEST_F(RequestParserTest, HeaderLinesSplitAtTheFirstColon) {
  LHttpRequestParser p = MakeParser();
  p.OnRequestLine("GET / HTTP/1.1");
  for (const char* line : {"Accept:  \t text/html", "X Y : a:b", "Empty:", "no colon here",
                           "Repeated: 1", "Repeated: 2", "Cr: one\rtwo", ":nameless"}) {
    EXPECT_EQ(p.OnHeaderLine(line), LHttpStep::kHeaderLine);
  }
  const LHashTable& h = p.Request().headers;
  EXPECT_STREQ(h.GetParm("Accept"), "text/html");
  EXPECT_STREQ(h.GetParm("X Y "), "a:b");
  EXPECT_TRUE(h.TestExists("Empty"));
  EXPECT_STREQ(h.GetParm("Repeated"), "2");
  EXPECT_STREQ(h.GetParm("Cr"), "one");
  EXPECT_STREQ(h.GetParm(""), "nameless");
  EXPECT_FALSE(h.TestExists("no colon here"));
  EXPECT_EQ(h.Size(), 6u);
}

TEST_F(RequestParserTest, LongHeaderValuesAreCut) {
  std::string name;
  std::string value;
  ASSERT_TRUE(LSplitHeaderLine("N: " + std::string(300, 'v'), name, value));
  EXPECT_EQ(value, std::string(259, 'v'));
  ASSERT_TRUE(LSplitHeaderLine(std::string(300, 'n') + ":v", name, value));
  EXPECT_EQ(name, std::string(259, 'n'));

  LHttpRequestParser p = Parse("GET / HTTP/1.1\r\nReferer: " + std::string(400, 'r') +
                               "\r\nHost: h\r\n\r\n");
  ASSERT_EQ(p.Step(), LHttpStep::kReady);
  EXPECT_EQ(std::string(p.Request().headers.GetParm("Referer")), std::string(250, 'r'));
  EXPECT_STREQ(p.Request().headers.GetParm("Host"), "h");
}

// Every header the server reads is found whatever the case of its name, as
// proxies and HTTP/2 front ends send them; values keep their case. A missing
// or empty Host is this machine.
TEST_F(RequestParserTest, HeaderNamesInAnyCaseAndMissingHostIsThisMachine) {
  const char* const names[] = {"Host", "Cookie", "Content-Length", "Connection", "Origin", "Referer",
                               "If-None-Match", "If-Modified-Since", "Accept-Encoding", "X-Other"};
  const auto spellings = [](std::string name) {
    std::string lower = name;
    std::string upper = name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return std::vector<std::string>{name, lower, upper};
  };
  for (const char* name : names) {
    for (const std::string& sent : spellings(name)) {
      const std::string value = std::string(name) == "Content-Length" ? "3"
                                : std::string(name) == "Connection" ? "Close"
                                : std::string(name) == "Cookie"     ? "sess=AbC"
                                                                     : "Va=Lue";
      LHttpRequestParser p = Parse("GET /x HTTP/1.1\r\n" + sent + ": " + value + "\r\n\r\nabc");
      ASSERT_EQ(p.Step(), LHttpStep::kReady) << sent;
      const LHttpRequest& r = p.Request();
      for (const std::string& asked : spellings(name)) {
        EXPECT_EQ(r.headers.GetParm(asked), value) << sent << " asked as " << asked;
      }
      EXPECT_EQ(r.contentLength, std::string(name) == "Content-Length" ? 3 : 0) << sent;
      EXPECT_EQ(r.keepAlive, std::string(name) != "Connection") << sent;
      EXPECT_EQ(std::string(r.cookies.GetParm("sess")), std::string(name) == "Cookie" ? "AbC" : "") << sent;
    }
  }
  for (const char* framing : {"transfer-encoding: chunked", "TRANSFER-ENCODING: chunked",
                              "content-length: 3\r\nContent-Length: 4"}) {
    EXPECT_EQ(Parse(std::string("POST /x HTTP/1.1\r\n") + framing + "\r\n\r\n").Step(), LHttpStep::kReject)
        << framing;
  }
  // One header however it is spelt: the last line wins, as for a repeat.
  LHttpRequestParser twice = Parse("GET / HTTP/1.1\r\nhost: first\r\nHOST: second\r\n\r\n");
  EXPECT_STREQ(twice.Request().headers.GetParm("Host"), "second");
  EXPECT_EQ(twice.Request().headers.Size(), 1u);

  LHttpRequestParser proper =
      Parse("GET / HTTP/1.1\r\nCookie: sess=abc; theme=two+words\r\n\r\n");
  EXPECT_STREQ(proper.Request().cookies.GetParm("sess"), "abc");
  EXPECT_STREQ(proper.Request().cookies.GetParm("theme"), "two words");
  LHttpRequestParser missing = Parse("GET / HTTP/1.1\r\n\r\n");
  EXPECT_STREQ(missing.Request().headers.GetParm("Host"), "192.0.2.7");
  LHttpRequestParser empty = Parse("GET / HTTP/1.1\r\nHost:   \r\n\r\n");
  EXPECT_STREQ(empty.Request().headers.GetParm("Host"), "192.0.2.7");
  EXPECT_EQ(hostAsked_, 3 * 9 + 3 + 3);

  LHttpRequestParser none{std::function<std::string()>()};
  LHttpFeedRequest(none, "GET / HTTP/1.1\r\n\r\n");
  EXPECT_STREQ(none.Request().headers.GetParm("Host"), "0.0.0.0");
}

TEST_F(RequestParserTest, ContentLengthLimit) {
  LHttpRequestParser max = Parse("POST /x HTTP/1.1\r\nContent-Length: 1000000\r\n\r\n");
  EXPECT_EQ(max.Step(), LHttpStep::kBody);
  EXPECT_EQ(max.BodyLength(), 1000000u);
  for (const char* tooLong : {"POST /x HTTP/1.1\r\nContent-Length: 1000001\r\n\r\n",
                              "POST /x HTTP/1.1\r\nContent-Length: 99999999999999999999999\r\n\r\n",
                              "GET / HTTP/1.1\r\nContent-Length: 5000000\r\n\r\n"}) {
    LHttpRequestParser p = Parse(tooLong);
    EXPECT_EQ(p.Step(), LHttpStep::kReject) << tooLong;
    EXPECT_STREQ(p.RejectText(), "HTTP/1.1 500 Content Length Too Long\r\nConnection: close\r\n"
                                 "X-Content-Type-Options: nosniff\r\n\r\n");
  }
}

// The body's end must be certain: every Content-Length header, in any case of
// its name, must be a plain number and all must agree, and no
// Transfer-Encoding may come; otherwise the request is refused without an
// answer, and the connection ends.
TEST_F(RequestParserTest, ContentLengthsMustBeNumbersThatAgree) {
  const std::pair<const char*, int> cases[] = {  // headers, body length (-1: refused)
      {"", 0},
      {"Content-Length: 0\r\n", 0},
      {"Content-Length: 7\r\n", 7},
      {"Content-Length:\t007 \t\r\n", 7},
      {"content-length: 7\r\n", 7},
      {"Content-Length: 7\r\nCONTENT-LENGTH: 7\r\n", 7},
      {"Content-Length: 7\r\nContent-Length: 8\r\n", -1},
      {"Content-Length: 7\r\ncontent-length: 0\r\n", -1},
      {"Content-Length: 0\r\nContent-Length: 7\r\n", -1},
      {"Content-Length: 7\r\nContent-Length: \r\n", -1},
      {"Content-Length:\r\n", -1},
      {"Content-Length: -5\r\n", -1},
      {"Content-Length: +5\r\n", -1},
      {"Content-Length: abc\r\n", -1},
      {"Content-Length: 5abc\r\n", -1},
      {"Content-Length: 0x10\r\n", -1},
      {"Content-Length: 1 2\r\n", -1},
      {"Content-Length: 7, 7\r\n", -1},
      {"Content-Length : 7\r\n", 0},  // another header's name, kept as it is
      {"Transfer-Encoding: chunked\r\n", -1},
      {"Content-Length: 7\r\ntransfer-encoding: identity\r\n", -1},
  };
  for (const char* method : {"POST", "GET"}) {
    for (const auto& [headers, length] : cases) {
      const std::string raw = std::string(method) + " /x HTTP/1.1\r\n" + headers + "\r\n";
      LHttpRequestParser p = Parse(raw);
      if (length < 0) {
        EXPECT_EQ(p.Step(), LHttpStep::kReject) << raw;
        EXPECT_STREQ(p.RejectText(), "") << raw;
      } else {
        EXPECT_EQ(p.Step(), length > 0 ? LHttpStep::kBody : LHttpStep::kReady) << raw;
        EXPECT_EQ(p.BodyLength(), static_cast<std::size_t>(length)) << raw;
      }
    }
  }
}

// A GET's body is consumed, so that it cannot pass for the next request, but
// it never becomes form fields.
TEST_F(RequestParserTest, BodyOfAGetIsReadButNotParsed) {
  const std::string smuggled = "GET /admin HTTP/1.1\r\nHost: x\r\n\r\n";
  const std::string raw = "GET /x?q=1 HTTP/1.1\r\nContent-Length: " + std::to_string(smuggled.size()) +
                          "\r\n\r\n" + smuggled;
  std::size_t used = 0;
  LHttpRequestParser p = Parse(raw, &used);
  ASSERT_EQ(p.Step(), LHttpStep::kReady);
  EXPECT_EQ(used, raw.size());
  EXPECT_EQ(p.Request().params.Size(), 1u);
  EXPECT_STREQ(p.Request().params.GetParm("q"), "1");
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

TEST_F(RequestParserTest, CallsOutOfOrderChangeNothing) {
  LHttpRequestParser p = MakeParser();
  EXPECT_EQ(p.OnHeaderLine("Host: x"), LHttpStep::kRequestLine);
  EXPECT_EQ(p.BeginBody(), LHttpStep::kRequestLine);
  EXPECT_EQ(p.OnBody("a=1"), LHttpStep::kRequestLine);
  EXPECT_STREQ(p.RejectText(), "");
  EXPECT_EQ(p.OnRequestLine("GET / HTTP/1.1"), LHttpStep::kHeaderLine);
  EXPECT_EQ(p.OnRequestLine("POST /y HTTP/1.1"), LHttpStep::kHeaderLine);
  EXPECT_EQ(p.BeginBody(), LHttpStep::kHeaderLine);
  EXPECT_EQ(p.Request().method, "GET");
  EXPECT_TRUE(p.Request().headers.Empty());
}

TEST_F(RequestParserTest, BinaryBytesAndNulInLines) {
  LHttpRequestParser binary = Parse("GET /\xff\xfe\x80 HTTP/1.1\r\nX-B: \xc3\xa9\x01z\r\n\r\n");
  ASSERT_EQ(binary.Step(), LHttpStep::kReady);
  EXPECT_EQ(binary.Request().pageName, "\xff\xfe\x80");
  EXPECT_STREQ(binary.Request().headers.GetParm("X-B"), "\xc3\xa9\x01z");

  // Lines are C strings: a NUL ends them.
  static const char kNul[] = "GET /a\0b HTTP/1.1\r\nA: 1\0B: 2\r\n\r\n";
  LHttpRequestParser nul = Parse(std::string_view(kNul, sizeof kNul - 1));
  ASSERT_EQ(nul.Step(), LHttpStep::kReady);
  EXPECT_EQ(nul.Request().path, "/a");
  EXPECT_EQ(nul.Request().versionMilli, 0);
  EXPECT_STREQ(nul.Request().headers.GetParm("A"), "1");
  EXPECT_FALSE(nul.Request().headers.TestExists("B"));
}

TEST_F(RequestParserTest, TruncatedRequests) {
  // The peer closed within the request line: what arrived is the line.
  LHttpRequestParser line = Parse("GET /x HT");
  EXPECT_EQ(line.Step(), LHttpStep::kHeaderLine);
  EXPECT_EQ(line.Request().protocol, "HT");
  // Closed within the headers: the last partial header still counts, but the
  // end of the headers never came.
  LHttpRequestParser headers = Parse("GET /x HTTP/1.1\r\nHost: a\r\nCook");
  EXPECT_EQ(headers.Step(), LHttpStep::kHeaderLine);
  EXPECT_FALSE(headers.Request().headers.TestExists("Cook"));
  EXPECT_EQ(Parse("").Step(), LHttpStep::kRequestLine);
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
