// Arbitrary bytes through everything a peer controls before a page handler
// runs: the line splitter, the request parser, the cookie parser, the URI
// decoder and the encoders. Besides crashes and undefined behaviour it checks
// the promises that the rest of the server relies on (cut texts, no ".." in
// served paths, lossless encodings) and stops on the first broken one.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "foundation/text_limits.h"
#include "web/http/cookie_parser.h"
#include "web/http/http_line_reader.h"
#include "web/http/http_responses.h"
#include "web/http/request_parser.h"
#include "web/text/format_language.h"
#include "web/text/hash_table.h"
#include "web/text/html_encoder.h"
#include "web/text/uri_codec.h"

namespace {

void Require(bool promise) {
  if (!promise) std::abort();
}

std::string WithoutNul(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c != '\0') out.push_back(c);
  }
  return out;
}

void CheckRequest(std::string_view bytes) {
  LHttpRequestParser parser([] { return std::string("192.0.2.1"); });
  const std::size_t used = LHttpFeedRequest(parser, bytes);
  Require(used <= bytes.size());
  const LHttpRequest& r = parser.Request();
  Require(r.method.size() <= kLMaxText && r.url.size() <= kLMaxText &&
          r.protocol.size() <= kLMaxText && r.path.size() <= kLMaxText);
  const LHttpStep step = parser.Step();
  if (step == LHttpStep::kReject) {
    // Only a request whose body length is unclear is refused without an
    // answer, and its head was accepted.
    Require(parser.RejectText()[0] != '\0' || LHttpPathAllowed(r.path));
    return;
  }
  if (step == LHttpStep::kRequestLine) return;
  Require(r.method == "GET" || r.method == "POST");
  Require(LHttpPathAllowed(r.path));
  if (step == LHttpStep::kHeaderLine) return;
  Require(r.pageName == r.path.substr(1));
  Require(r.headers.GetParm("Host")[0] != '\0');
  for (const LHashTable::Pair& pair : r.headers) {
    Require(pair.key.size() <= kLMaxText && pair.value.size() <= kLMaxText);
  }
  Require(r.headers.Size() <= kLMaxHeaderNames + 1);
  Require(!r.keepAlive || r.method == "GET");
  if (step == LHttpStep::kBody) Require(parser.BodyLength() <= kLMaxContentLength);
}

// Lines split at any piece size come out the same as fed whole.
void CheckLineReader(std::string_view bytes) {
  if (bytes.empty()) return;
  const std::size_t piece = static_cast<unsigned char>(bytes[0]) % 7 + 1;
  LHttpLineReader whole;
  LHttpLineReader pieces;
  const std::size_t usedWhole = whole.Feed(bytes);
  std::size_t usedPieces = 0;
  while (usedPieces < bytes.size() && !pieces.Complete()) {
    usedPieces += pieces.Feed(bytes.substr(usedPieces, piece));
  }
  Require(usedWhole == usedPieces && whole.Line() == pieces.Line());
  Require(whole.Line().size() <= kLMaxText && whole.Line().find('\r') == std::string_view::npos);
}

void CheckCodecs(std::string_view bytes) {
  LHashTable cookies;
  LWebletCookieData::LoadCookieData(bytes, cookies);
  for (const LHashTable::Pair& pair : cookies) {
    Require(!pair.key.empty() && pair.key.size() <= kLMaxText);
  }

  const std::string encoded = LURIEncode(bytes);
  Require(LURIDecode(encoded) == WithoutNul(bytes));

  std::string decoded;
  LStringAppender writer(decoded);
  Require(LURIDecodeToWriterDirect(writer, bytes, "=&;") <= bytes.size());

  // Apart from its own line-break markup, encoded text holds nothing that
  // could open a tag, close an attribute or break a line.
  std::string html = LHTMLEncode(bytes);
  for (const std::string_view markup : {"<br>", "<p>"}) {
    for (std::size_t at = html.find(markup); at != std::string::npos; at = html.find(markup, at)) {
      html.erase(at, markup.size());
    }
  }
  Require(html.find_first_of("<>\"\r\n") == std::string::npos);

  // A redirect has its three line ends and no more, whatever its URL.
  const std::string redirect = LHttpRedirectText(bytes);
  std::size_t lineEnds = 0;
  for (char c : redirect) lineEnds += (c == '\n' || c == '\r') ? 1 : 0;
  Require(lineEnds == 6);
}

// Whatever the form data, saving a table and loading it back gives the same
// pairs: the session files depend on it.
void CheckSessionFormat(std::string_view bytes) {
  LHashTable table;
  table.LoadHTTPString(bytes);
  std::string saved;
  table.SaveHTTPString(saved);
  LHashTable loaded;
  loaded.LoadHTTPString(saved);
  Require(loaded.Size() == table.Size());
  auto it = loaded.begin();
  for (const LHashTable::Pair& pair : table) {
    Require(it->key == pair.key && it->value == pair.value);
    ++it;
  }
}

void CheckFormatLanguage(std::string_view bytes) {
  const std::string format = WithoutNul(bytes.substr(0, 512));
  const LFormatArg args[] = {LFormatArg(-2147483647 - 1), LFormatArg("a<b c"), LFormatArg(7),
                             LFormatArg(static_cast<const char*>(nullptr))};
  LStringWriter out;
  Require(tplformatv(out, format.c_str(), args, 4) == out.Text().size());
  char buffer[16];
  LFixedBufferWriter fixed(buffer, sizeof buffer);
  tplformatv(fixed, format.c_str(), args, 4);
  Require(fixed.Length() < sizeof buffer && buffer[fixed.Length()] == '\0');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckRequest(bytes);
  CheckLineReader(bytes);
  CheckCodecs(bytes);
  CheckSessionFormat(bytes);
  CheckFormatLanguage(bytes);
  return 0;
}
