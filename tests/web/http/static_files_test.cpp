// Static files over real connections: exact response bytes, entity tags,
// content types, keep-alive, and what is not a servable file.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>

#include "foundation/date_time.h"
#include "support/web_server_fixture.h"
#include "web/http/http_responses.h"

namespace {

constexpr std::int32_t kFakeNow = 1262304000;  // Fri, 01 Jan 2010 00:00:00 GMT
constexpr char kNowText[] = "Fri, 01 Jan 2010 00:00:00 GMT";
constexpr time_t kFileTime = 1234567890;

class StaticFileTest : public WebServerTest {
 protected:
  void SetUp() override {
    WebServerTest::SetUp();
    LDateTime::SetFakeNow(kFakeNow);
    StartServer(TestTable());
  }

  // Writes a file into the web root with a known modification time.
  std::string PutFile(const std::string& name, const std::string& bytes) {
    const std::string path = WebRoot() + "/" + name;
    EXPECT_TRUE(KavrixWriteFile(path, bytes));
    const timeval times[2] = {{kFileTime, 0}, {kFileTime, 0}};
    ::utimes(path.c_str(), times);
    return path;
  }

  static std::string Header(std::size_t size, const std::string& type, const std::string& tag) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size) +
           "\r\nContent-Type: " + type + "\r\nLast-Modified: " + kNowText + "\r\nETag: \"" + tag +
           "\"\r\nX-Content-Type-Options: nosniff\r\n" +
           (type.rfind("text/html", 0) == 0
                ? "X-Frame-Options: DENY\r\nContent-Security-Policy: frame-ancestors 'none'\r\n\r\n"
                : "\r\n");
  }
};

}  // namespace

// The tag is the file's modification time and size.
TEST_F(StaticFileTest, MatchingEntityTagOrTimeGets304) {
  PutFile("s.css", "body{}");
  EXPECT_EQ(Exchange("GET /s.css HTTP/1.0\r\nIf-None-Match: \"1234567890-6\"\r\n\r\n"),
            "HTTP/1.1 304 Not Modified\r\nX-Content-Type-Options: nosniff\r\n\r\n");
  EXPECT_EQ(Exchange(std::string("GET /s.css HTTP/1.0\r\nIf-Modified-Since: ") + kNowText + "\r\n\r\n"),
            kLHttpNotModified);
}

// A body that a GET carries is read and dropped, so a request hidden in it is
// never answered; Content-Length headers that disagree end the connection
// without an answer, a length beyond the limit with the refusal.
TEST_F(StaticFileTest, BodiesOfGetsAreDroppedAndUnclearLengthsCloseTheConnection) {
  PutFile("t.txt", "hello");
  const std::string response = Header(5, "text/plain", std::to_string(kFileTime) + "-5") + "hello";
  const std::string hidden = "GET /t.txt HTTP/1.1\r\nHost: x\r\n\r\n";
  const std::string length = std::to_string(hidden.size());
  const std::pair<std::string, std::string> cases[] = {
      {"GET /t.txt HTTP/1.1\r\nHost: x\r\nContent-Length: " + length + "\r\n\r\n" + hidden, response},
      {"GET /t.txt HTTP/1.1\r\nContent-Length: 0\r\nContent-Length: " + length + "\r\n\r\n" + hidden, ""},
      {"GET /t.txt HTTP/1.1\r\nContent-Length: 1000001\r\n\r\n", kLHttpContentTooLong},
  };
  for (const auto& [request, answer] : cases) {
    LUniqueFd client = KavrixConnectLoopback(Port());
    ASSERT_TRUE(KavrixSendAll(client.Get(), request));
    // The client sends nothing more: whatever the server answers to the
    // bytes above comes before it closes.
    ::shutdown(client.Get(), SHUT_WR);
    EXPECT_EQ(KavrixRecvUntilClose(client.Get()), answer) << request;
  }
}

// Exact header and content of regular files of the web root and its folders
// (the type follows the extension; a large file arrives whole), help
// pages from the help folder, and files that handlers serve by path; nothing
// else.
TEST_F(StaticFileTest, OnlyRegularFilesAreServedWithExactHeaders) {
  std::string big(300000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i % 253);
  PutFile("big.gif", big);
  ASSERT_EQ(::mkdir((WebRoot() + "/sub").c_str(), 0777), 0);
  PutFile("sub/in.txt", "inner");
  ASSERT_EQ(::mkfifo((WebRoot() + "/pipe").c_str(), 0666), 0);
  const std::string shot = PutFile("shot.jpg", "JPEGDATA");
  const std::string help = InstallRoot() + "/kavrixserver/share/help/login.html";
  ASSERT_TRUE(KavrixWriteFile(help, "<p>help</p>"));
  const timeval times[2] = {{kFileTime, 0}, {kFileTime, 0}};
  ::utimes(help.c_str(), times);
  const std::pair<std::string, std::string> cases[] = {
      {"/big.gif", Header(big.size(), "image/gif", "1234567890-300000") + big},
      {"/sub/in.txt", Header(5, "text/plain", "1234567890-5") + "inner"},
      {"/sub", kLHttpNotFoundEmpty},
      {"/pipe", kLHttpNotFoundEmpty},
      {"/help/login.html", Header(11, "text/html", "1234567890-11") + "<p>help</p>"},
      {"/serve?path=" + shot, Header(8, "image/jpeg", "1234567890-8") + "JPEGDATA"},
  };
  for (const auto& [path, answer] : cases) EXPECT_EQ(Exchange("GET " + path + " HTTP/1.0\r\n\r\n"), answer) << path;
}
