#include "web/http/request_parser.h"

#include <algorithm>
#include <utility>

#include "foundation/settings_parse.h"
#include "foundation/text_limits.h"
#include "web/http/cookie_parser.h"
#include "web/http/http_line_reader.h"
#include "web/http/http_responses.h"
#include "web/http/machine_address.h"
#include "web/text/uri_codec.h"

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) < 33; }

std::string_view AsCString(std::string_view line) { return line.substr(0, line.find('\0')); }

std::string_view NextToken(std::string_view line, std::size_t& pos) {
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  const std::size_t start = pos;
  while (pos < line.size() && !IsBlank(line[pos])) ++pos;
  return line.substr(start, pos - start);
}

constexpr std::int64_t kMaxVersionWhole = 1000000000;  // keeps thousandths far from overflow

}  // namespace

void LSplitRequestLine(std::string_view line, std::string& method, std::string& url,
                       std::string& protocol) {
  std::size_t pos = 0;
  method = LCutText(NextToken(line, pos));
  url = LCutText(NextToken(line, pos));
  protocol = LCutText(NextToken(line, pos));
}

std::int64_t LHttpVersionMilli(std::string_view protocol) {
  const std::size_t slash = protocol.find('/');
  if (slash == std::string_view::npos) return 0;
  std::string_view text = protocol.substr(slash + 1);
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t whole = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    whole = std::min(whole * 10 + (text[i] - '0'), kMaxVersionWhole);
  }
  std::int64_t milli = 0;
  if (i < text.size() && text[i] == '.') {
    ++i;
    for (std::int64_t scale = 100; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      milli += (text[i] - '0') * scale;
      scale /= 10;
    }
  }
  const std::int64_t value = whole * 1000 + milli;
  return negative ? -value : value;
}

bool LHttpPathAllowed(std::string_view path) {
  return !path.empty() && path[0] == '/' && path.find("..") == std::string_view::npos;
}

bool LSplitHeaderLine(std::string_view line, std::string& name, std::string& value) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return false;
  name = LCutText(line.substr(0, colon));
  std::size_t start = colon + 1;
  while (start < line.size() && IsBlank(line[start])) ++start;
  const std::size_t end = std::min(line.size(), line.find_first_of("\r\n", start));
  value = LCutText(line.substr(start, end - start));
  return true;
}

std::int64_t LHttpContentLengthValue(std::string_view value) {
  std::size_t begin = 0;
  std::size_t end = value.size();
  while (begin < end && IsBlank(value[begin])) ++begin;
  while (end > begin && IsBlank(value[end - 1])) --end;
  if (begin == end) return -1;
  std::int64_t length = 0;
  for (std::size_t i = begin; i < end; ++i) {
    if (value[i] < '0' || value[i] > '9') return -1;
    length = std::min<std::int64_t>(length * 10 + (value[i] - '0'), kLMaxContentLength + 1);
  }
  return length;
}

bool LHttpKeepAlive(std::string_view method, std::int64_t versionMilli,
                    std::string_view connectionHeader) {
  if (method != "GET" || versionMilli < 1100) return false;
  std::size_t pos = 0;
  while (pos < connectionHeader.size()) {
    std::size_t end = connectionHeader.find(',', pos);
    if (end == std::string_view::npos) end = connectionHeader.size();
    std::string_view token = connectionHeader.substr(pos, end - pos);
    while (!token.empty() && IsBlank(token.front())) token.remove_prefix(1);
    while (!token.empty() && IsBlank(token.back())) token.remove_suffix(1);
    if (LSettingsEqualNoCase(token, "close")) return false;
    pos = end + 1;
  }
  return true;
}

LHttpRequestParser::LHttpRequestParser(std::function<std::string()> machineAddress)
    : machineAddress_(std::move(machineAddress)) {}

LHttpRequestParser::LHttpRequestParser() : LHttpRequestParser(LMachineIPv4Text) {}

LHttpStep LHttpRequestParser::Reject(const char* text) {
  rejectText_ = text;
  step_ = LHttpStep::kReject;
  return step_;
}

LHttpStep LHttpRequestParser::OnRequestLine(std::string_view line) {
  if (step_ != LHttpStep::kRequestLine) return step_;
  LHttpRequest& r = request_;
  LSplitRequestLine(AsCString(line), r.method, r.url, r.protocol);
  r.versionMilli = LHttpVersionMilli(r.protocol);
  if (r.method != "GET" && r.method != "POST") return Reject(kLHttpNotImplemented);

  std::string_view target = r.url;
  const std::size_t question = target.find('?');
  if (question != std::string_view::npos) {
    r.params.LoadHTTPString(target.substr(question + 1));
    target = target.substr(0, question);
  }
  LStringAppender path(r.path, kLMaxText);
  LURIDecodeToWriterDirect(path, target, nullptr);
  if (!LHttpPathAllowed(r.path)) return Reject(kLHttpNotFoundClose);
  step_ = LHttpStep::kHeaderLine;
  return step_;
}

LHttpStep LHttpRequestParser::OnHeaderLine(std::string_view line) {
  if (step_ != LHttpStep::kHeaderLine) return step_;
  line = AsCString(line);
  if (line.empty()) {
    CompleteHeaders();
    step_ = LHttpStep::kHeadersDone;
    return step_;
  }
  std::string name;
  std::string value;
  if (!LSplitHeaderLine(line, name, value)) return step_;
  if (LSettingsEqualNoCase(name, "Content-Length")) NoteContentLength(value);
  // Chunked bodies are not understood here, but a proxy in front would
  // follow them: the body's end would be unknown.
  if (LSettingsEqualNoCase(name, "Transfer-Encoding")) framingBroken_ = true;
  LHashTable& headers = request_.headers;
  if (headers.Size() < kLMaxHeaderNames || headers.TestExists(name)) headers.SetParm(name, value);
  return step_;
}

void LHttpRequestParser::NoteContentLength(std::string_view value) {
  const std::int64_t length = LHttpContentLengthValue(value);
  if (length < 0 || (framedLength_ >= 0 && framedLength_ != length)) framingBroken_ = true;
  framedLength_ = length;
}

void LHttpRequestParser::CompleteHeaders() {
  LHttpRequest& r = request_;
  if (r.headers.GetParm("Host")[0] == '\0') {
    r.headers.SetParm("Host", machineAddress_ ? machineAddress_() : std::string("0.0.0.0"));
  }
  r.keepAlive = LHttpKeepAlive(r.method, r.versionMilli, r.headers.GetParm("Connection"));
  LWebletCookieData::LoadCookieData(r.headers.GetParm("Cookie"), r.cookies);
  r.pageName = r.path.substr(1);
}

LHttpStep LHttpRequestParser::BeginBody() {
  if (step_ != LHttpStep::kHeadersDone) return step_;
  if (framingBroken_) return Reject("");
  if (framedLength_ > kLMaxContentLength) return Reject(kLHttpContentTooLong);
  request_.contentLength = framedLength_ > 0 ? static_cast<int>(framedLength_) : 0;
  step_ = request_.contentLength > 0 ? LHttpStep::kBody : LHttpStep::kReady;
  return step_;
}

LHttpStep LHttpRequestParser::OnBody(std::string_view body) {
  if (step_ != LHttpStep::kBody) return step_;
  if (request_.method == "POST") request_.params.LoadHTTPString(body);
  step_ = LHttpStep::kReady;
  return step_;
}

std::size_t LHttpRequestParser::BodyLength() const {
  return step_ == LHttpStep::kBody ? static_cast<std::size_t>(request_.contentLength) : 0;
}

std::size_t LHttpFeedRequest(LHttpRequestParser& parser, std::string_view bytes) {
  std::size_t used = 0;
  LHttpLineReader reader;
  const auto nextLine = [&]() {
    reader.Reset();
    used += reader.Feed(bytes.substr(used));
    return reader.Complete() || reader.EndOfInput();
  };
  if (parser.Step() == LHttpStep::kRequestLine && nextLine()) parser.OnRequestLine(reader.Line());
  while (parser.Step() == LHttpStep::kHeaderLine && nextLine()) parser.OnHeaderLine(reader.Line());
  if (parser.BeginBody() == LHttpStep::kBody && bytes.size() - used >= parser.BodyLength()) {
    const std::size_t length = parser.BodyLength();
    parser.OnBody(bytes.substr(used, length));
    used += length;
  }
  return used;
}
