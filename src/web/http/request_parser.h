#pragma once
// The socket-free half of reading a request. The connection thread receives
// lines and bytes and hands them over in order; the parser says what it needs
// next and, when the request must be refused, which text to send:
//
//   OnRequestLine(line)          -> kHeaderLine, or kReject (501 or 404)
//   OnHeaderLine(line) ...       -> kHeaderLine until the empty line, then
//                                   kHeadersDone (Host, keep-alive, cookies
//                                   and page name are set; load the session)
//   BeginBody()                  -> kReady, kBody (BodyLength() bytes), or
//                                   kReject (500, or no answer at all)
//   OnBody(bytes)                -> kReady: dispatch Request()
//
// A body is read whatever the method, so that the bytes of a GET's body are
// never taken for the next request of the connection; only a POST's body
// becomes form fields. A request must say its length once, or several times
// alike: Content-Length headers (their names compared without regard to case,
// as a proxy in front compares them) that disagree, or that are not plain
// decimal numbers, leave the body's end unknown, as does any
// Transfer-Encoding header (chunked bodies are not read here); such a
// request is refused without an answer.
//
// A call that does not fit the current step changes nothing. Lines are taken
// as C strings (up to their first NUL), as the fixed buffers of the receive
// side hold them.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "web/text/hash_table.h"

// The largest POST body that is read; one byte more is refused.
inline constexpr int kLMaxContentLength = 1000000;
// At most this many different header names are kept per request; further
// new names are dropped (known ones are still updated), so that a peer
// cannot grow a connection's memory without bound.
inline constexpr std::size_t kLMaxHeaderNames = 256;

enum class LHttpStep { kRequestLine, kHeaderLine, kHeadersDone, kBody, kReady, kReject };

struct LHttpRequest {
  std::string method;    // "GET" or "POST" once accepted
  std::string url;       // as sent, query string included (259 bytes at most)
  std::string protocol;  // for example "HTTP/1.1"
  std::int64_t versionMilli = 0;  // the HTTP version in thousandths: 1100 for 1.1
  std::string path;      // decoded path with its leading "/", 259 bytes at most
  std::string pageName;  // the path without its leading "/"
  LHashTable params;     // query-string fields, then body fields
  LHashTable headers{LHashTable::KeyCase::kIgnored};  // names in any case
  LHashTable cookies;
  bool keepAlive = false;
  int contentLength = 0;  // the body's length, whatever the method
};

class LHttpRequestParser {
 public:
  // `machineAddress` gives the Host text for requests without one; it is
  // asked only then.
  explicit LHttpRequestParser(std::function<std::string()> machineAddress);
  LHttpRequestParser();  // this machine's address (LMachineIPv4Text)

  LHttpStep Step() const { return step_; }
  LHttpStep OnRequestLine(std::string_view line);
  LHttpStep OnHeaderLine(std::string_view line);
  LHttpStep BeginBody();
  LHttpStep OnBody(std::string_view body);

  // The number of body bytes to receive in step kBody.
  std::size_t BodyLength() const;
  // The response to send in step kReject before closing; empty otherwise,
  // and empty for a request that is refused without an answer.
  const char* RejectText() const { return rejectText_; }

  const LHttpRequest& Request() const { return request_; }
  LHttpRequest& Request() { return request_; }

 private:
  LHttpStep Reject(const char* text);
  void CompleteHeaders();

  void NoteContentLength(std::string_view value);

  std::function<std::string()> machineAddress_;
  LHttpStep step_ = LHttpStep::kRequestLine;
  // The body length the Content-Length headers agree on (-1: none given),
  // and whether they disagreed, one was not a number, or a Transfer-Encoding
  // header came.
  std::int64_t framedLength_ = -1;
  bool framingBroken_ = false;
  const char* rejectText_ = "";
  LHttpRequest request_;
};

// Runs a request held whole in memory through `parser` the way the
// connection receives it (lines through an LHttpLineReader, then the body),
// for tools, benchmarks and the fuzz target; the session is not loaded.
// Stops where the parser wants more than `bytes` holds. Returns the number of
// bytes used: what follows belongs to the next request of the connection.
std::size_t LHttpFeedRequest(LHttpRequestParser& parser, std::string_view bytes);

// ---- the single rules, for callers and tests ----

// Three tokens separated by blanks (bytes below 33), each cut to 259 bytes;
// missing ones are empty.
void LSplitRequestLine(std::string_view line, std::string& method, std::string& url,
                       std::string& protocol);
// The decimal fraction after the first "/" of the protocol, in thousandths
// (digits beyond the third decimal are ignored, which keeps every comparison
// with 1.1 exact); no "/" or no number gives 0.
std::int64_t LHttpVersionMilli(std::string_view protocol);
// A decoded path is served only when it starts with "/" and holds no "..".
bool LHttpPathAllowed(std::string_view path);
// Splits at the first ":": the name keeps its blanks, the value starts after
// the bytes below 33 and ends before a CR or LF; both cut to 259 bytes.
// False for a line without ":".
bool LSplitHeaderLine(std::string_view line, std::string& name, std::string& value);
// The value of a Content-Length header: decimal digits only, with blanks
// around them; values above kLMaxContentLength come back as
// kLMaxContentLength + 1. -1 for anything else (empty, a sign, other bytes).
std::int64_t LHttpContentLengthValue(std::string_view value);
// The connection stays open only for a GET of HTTP/1.1 or later whose
// "Connection" header holds no "close" token (in any case).
bool LHttpKeepAlive(std::string_view method, std::int64_t versionMilli,
                    std::string_view connectionHeader);
