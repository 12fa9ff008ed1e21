// gzip on the wire: which requests and responses get it, and that a
// compressed page or file unpacks to exactly the bytes an uncompressed answer
// carries.

#include <gtest/gtest.h>
#include <sys/time.h>

#include <string>

#include "foundation/date_time.h"
#include "support/web_server_fixture.h"
#include "web/http/content_coding.h"
#include "web/http/gzip_deflater.h"
#include "web/http/weblet_response.h"
#include "web/http/weblet_send.h"

namespace {

// A page of many small writes, as the list pages write theirs.
void ListPage(LWebletForm& form) {
  WLSendRaw(form, "HTTP/1.1 200 OK\r\nConnection: close\r\nCache-Control: no-cache\r\nContent-Type: text/html; "
                  "charset=utf-8\r\n\r\n<html><body><table>");
  for (int row = 0; row < 20000; ++row) {
    wfformat(form, "<tr><td>%d</td><td>%H</td></tr>\n", row, std::string(row % 37, "<&>\"x"[row % 5]));
  }
  WLSendRaw(form, "</table></body></html>");
}

// The head's blank line split over three writes.
void SplitHead(LWebletForm& form) {
  WLSendRaw(form, "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r");
  WLSendRaw(form, "\n\r");
  WLSendRaw(form, "\nsplit body");
}

const LWebScriptEntry kCodingTable[] = {
    {"list", ListPage, LWebAccess::kAnyone},
    {"split", SplitHead, LWebAccess::kAnyone},
};

class ContentCodingTest : public WebServerTest {
 protected:
  void SetUp() override {
    WebServerTest::SetUp();
    LDateTime::SetFakeNow(1262304000);
    StartServer(kCodingTable);
  }
};

}  // namespace

TEST(ContentCodingRulesTest, WhoAsksAndWhatIsText) {
  const std::pair<const char*, bool> accepts[] = {
      {"br;q=1.0, GZip;q=0.5", true}, {"x-gzip", true},    {"*", true},           {"deflate, br", false},
      {"gzip; Q=0.000", false},       {"gzipped", false},  {" gzip ;q=0.001", true}};
  for (const auto& [value, gzip] : accepts) EXPECT_EQ(LHttpAcceptsGzip(value), gzip) << value;
  const std::pair<const char*, bool> types[] = {
      {"text/csv; charset=utf-8", true}, {" Text/Calendar", true}, {"image/jpeg", false}, {"", false}};
  for (const auto& [type, text] : types) EXPECT_EQ(LHttpCompressibleType(type), text) << type;
  const std::pair<const char*, bool> heads[] = {
      {"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n", true},
      {"HTTP/1.0 200 OK\r\ncontent-type: text/plain\r\n\r\n", true},
      {"HTTP/1.1 200 OK\r\n\r\n", false},
      {"HTTP/1.0 403 Forbidden\r\nContent-Type: text/html\r\n\r\n", false},
      {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Type: text/html\r\n\r\n", false},
      {"HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Type: text/html\r\n\r\n", false},
      {"HTTP/1.1 2000 OK\r\nContent-Type: text/html\r\n\r\n", false}};
  for (const auto& [head, compressible] : heads) EXPECT_EQ(LHttpHeadCompressible(head), compressible) << head;
  EXPECT_EQ(LHttpChunkHead(0x1a2b), "1a2b\r\n");
  EXPECT_EQ(LGzipDecompress("not gzip"), "");
}

TEST_F(ContentCodingTest, CompressedPageUnpacksToExactlyThePlainBytes) {
  const std::string plain = Exchange("GET /list HTTP/1.1\r\n\r\n");
  ASSERT_GT(plain.size(), 500000u);
  const std::string packed = Exchange("GET /list HTTP/1.1\r\naccept-encoding: gzip, br\r\n\r\n");
  const std::string head = HeadOf(plain);
  EXPECT_EQ(HeadOf(packed), head.substr(0, head.size() - 2) + "Content-Encoding: gzip\r\nVary: Accept-Encoding\r\n\r\n");
  EXPECT_EQ(LGzipDecompress(BodyOf(packed)), BodyOf(plain));
  // A head whose blank line comes in pieces.
  EXPECT_EQ(HeadOf(Exchange("GET /split HTTP/1.0\r\nAccept-Encoding: gzip\r\n\r\n")),
            "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nX-Content-Type-Options: nosniff\r\nContent-Encoding: "
            "gzip\r\nVary: Accept-Encoding\r\n\r\n");
  EXPECT_EQ(LGzipDecompress(BodyOf(Exchange("GET /split HTTP/1.0\r\nAccept-Encoding: gzip\r\n\r\n"))), "split body");
}

// What a file's compressed chunks carry is a step of curl's test.
TEST_F(ContentCodingTest, TextFilesGoOutChunkedOnlyOverHttp11) {
  std::string css;
  for (int i = 0; i < 30000; ++i) css += ".c" + std::to_string(i) + " { color: #" + std::to_string(i % 999) + "; }\n";
  ASSERT_TRUE(KavrixWriteFile(WebRoot() + "/big.css", css));
  const std::string answer = Exchange("GET /big.css HTTP/1.1\r\nAccept-Encoding: gzip\r\nConnection: close\r\n\r\n");
  const std::string head = HeadOf(answer);
  EXPECT_TRUE(head.rfind("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Type: text/css\r\n", 0) == 0)
      << head;
  EXPECT_TRUE(head.find("ETag: \"") != std::string::npos &&
              head.find("\r\nContent-Encoding: gzip\r\nVary: Accept-Encoding\r\n\r\n") != std::string::npos)
      << head;
  // HTTP/1.0 knows no chunks: the file as it is.
  const std::string old = Exchange("GET /big.css HTTP/1.0\r\nAccept-Encoding: gzip\r\n\r\n");
  EXPECT_EQ(BodyOf(old), css);
  EXPECT_EQ(old.find("Content-Encoding"), std::string::npos);
}
