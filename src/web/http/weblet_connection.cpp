#include "web/http/weblet_connection.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "engine/send_pace.h"
#include "engine/socket_ops.h"
#include "engine/socket_wait.h"
#include "engine/tls_transport.h"
#include "engine/wait_budget.h"
#include "foundation/paths.h"
#include "foundation/text_limits.h"
#include "web/http/http_responses.h"
#include "web/http/https_redirect.h"
#include "web/http/request_body.h"
#include "web/http/request_parser.h"
#include "web/http/same_origin.h"
#include "web/http/static_file.h"
#include "web/http/static_file_path.h"
#include "web/http/weblet_form.h"

namespace {

constexpr int kRejectSendTimeoutMs = 20000;
constexpr std::string_view kHelpPrefix = "help/";
constexpr std::string_view kStationConnectPath = "connect";

}  // namespace

std::string LWebletHelpFolder() {
  const std::string root = LFile::GetInstallRoot();
  LFile::CreateFolder(root);
  LFile::CreateFolder(LFile::FilePathCat(root, "kavrixserver"));
  return LFile::GetHelpFolder();
}

LWebletConnection::LWebletConnection(LIPSocketTCP& socket, LWebScriptTable table,
                                     LWebAccessCheck checkAccess,
                                     std::string rootFolder, const LIPv4Peer& peer,
                                     LWebletSecurity security, LAddressSlot slot)
    : socket_(std::move(socket)),
      table_(table),
      checkAccess_(checkAccess),
      rootFolder_(std::move(rootFolder)),
      peer_(peer),
      security_(std::move(security)),
      slot_(std::move(slot)) {}

LWebletConnection::~LWebletConnection() = default;

std::unique_ptr<LByteTransport> LWebletConnection::OpenTransport() {
  if (!security_.tls) return std::make_unique<LPlainTransport>(socket_.Get());
  // The client's hello is awaited like a request line; from its first byte
  // the handshake must end within the head deadline, so that a client that
  // stalls half way is cut off like a slow request head.
  if (ProcessWaitReadable(this, socket_.Get(), kRequestLineTimeoutMs) != kLProcessDone) return nullptr;
  auto tls = std::make_unique<LTlsTransport>(*security_.tls, socket_.Get());
  const LRecvDeadline deadline = LRecvDeadline::InMs(HeadDeadlineMs(), headClock_.load());
  if (tls->Handshake(this, kHeaderLineTimeoutMs, deadline) != kLProcessDone) {
    return nullptr;
  }
  return tls;
}

void LWebletConnection::ThreadFunction() {
  const std::unique_ptr<LByteTransport> transport = OpenTransport();
  if (!transport) return;
  transport_ = transport.get();
  Next next = Next::kKeepOpen;
  while (next == Next::kKeepOpen) next = ServeRequest();
  if (next == Next::kCloseGracefully) CloseGracefully();
}

std::optional<LWebletConnection::Next> LWebletConnection::ReceiveHead(LHttpRequestParser& parser, LHttpStep& step) {
  LByteTransport& in = *transport_;
  // An idle connection may wait for its next request; the head's deadline
  // starts with the request's first byte.
  if (in.WaitReadable(this, kRequestLineTimeoutMs) != kLProcessDone) return Next::kDrop;
  const LRecvDeadline headDeadline = LRecvDeadline::InMs(HeadDeadlineMs(), headClock_.load());
  std::string line;
  if (in.RecvLine(this, line, kLMaxText, kRequestLineTimeoutMs, headDeadline) !=
      kLProcessDone) {
    return Next::kDrop;
  }
  step = parser.OnRequestLine(line);
  while (step == LHttpStep::kHeaderLine) {
    if (in.RecvLine(this, line, kLMaxText, kHeaderLineTimeoutMs, headDeadline) !=
        kLProcessDone) {
      return Next::kDrop;
    }
    step = parser.OnHeaderLine(line);
  }
  if (step == LHttpStep::kHeadersDone) step = parser.BeginBody();
  return std::nullopt;
}

std::optional<LWebletConnection::Next> LWebletConnection::ReceiveBody(LHttpRequestParser& parser,
                                                                      LBytesInFlightShare& bodyShare,
                                                                      LHttpStep& step) {
  LByteTransport& in = *transport_;
  const std::size_t length = parser.BodyLength();
  std::string body;
  switch (LReceiveRequestBody(this, in, length, kBodyTimeoutExtraMs,
                              BodyPace().DeadlineFor(length), bodyShare, body)) {
    case LBodyOutcome::kReceived:
      break;
    case LBodyOutcome::kFailed:
      return Next::kDrop;
    case LBodyOutcome::kOverBudget:
      (void)in.Send(this, kLHttpBodiesBusy, sizeof kLHttpBodiesBusy - 1, kRejectSendTimeoutMs);
      return Next::kCloseGracefully;
  }
  step = parser.OnBody(body);
  return std::nullopt;
}

LWebletConnection::Next LWebletConnection::ServeRequest() {
  LByteTransport& in = *transport_;
  LHttpRequestParser parser;
  LHttpStep step = LHttpStep::kRequestLine;
  if (const std::optional<Next> failed = ReceiveHead(parser, step)) return *failed;
  // Held until the request is answered: the body's bytes live as long.
  LBytesInFlightShare bodyShare(LRequestBodyBudget());
  if (step == LHttpStep::kBody) {
    if (const std::optional<Next> failed = ReceiveBody(parser, bodyShare, step)) return *failed;
  }
  if (step != LHttpStep::kReady) {
    const char* reject = parser.RejectText();
    if (*reject != '\0') (void)in.Send(this, reject, std::strlen(reject), kRejectSendTimeoutMs);
    return Next::kCloseGracefully;
  }

  if (security_.httpsPort != 0 && parser.Request().pageName != kStationConnectPath) {
    const std::string redirect = LHttpsRedirectText(parser.Request().headers.GetParm("Host"),
                                                    security_.httpsPort, parser.Request().url);
    (void)in.Send(this, redirect.data(), redirect.size(), kRejectSendTimeoutMs);
    return Next::kCloseGracefully;
  }
  const LSendPaceScope answerPace(AnswerPace());
  const bool keepAlive = parser.Request().keepAlive;
  LWebletForm form(*this, socket_, in, std::move(parser.Request()), peer_.ToText());
  if (const LWebScriptEntry* entry = LFindWebScript(table_, form.PageName())) {
    // Dynamic pages have no Content-Length: the end of the connection ends
    // the page, so it never stays open.
    // A station's session lasts for hours and the stations of a branch
    // office share its router's address: the per-address limit is for
    // browsers, and a station connection leaves it when it is handed over.
    if (form.PageName() == kStationConnectPath && !form.IsSecure()) slot_.Release();
    if (WLCheckSameOrigin(form) && checkAccess_(form, entry->access)) entry->handler(form);
    (void)form.FinishResponse();
    return answerPace.Missed() ? Next::kDrop : Next::kCloseGracefully;
  }
  const LStaticFileOutcome outcome =
      LServeStaticFile(this, in, StaticFilePath(form.PageName()), form.FileConditions());
  // A response cut short leaves the peer waiting for bytes that never come;
  // a next request on the same connection would be read out of step.
  if (outcome == LStaticFileOutcome::kSendFailed) return Next::kDrop;
  return keepAlive ? Next::kKeepOpen : Next::kCloseGracefully;
}

std::string LWebletConnection::StaticFilePath(const std::string& pageName) const {
  // The help folder is made on the way only when a help page is asked for.
  const bool help = pageName.compare(0, kHelpPrefix.size(), kHelpPrefix) == 0;
  return LWebletStaticFilePath(pageName, rootFolder_, help ? LWebletHelpFolder() : std::string());
}

void LWebletConnection::CloseGracefully() {
  const int fd = socket_.Get();
  transport_->ShutdownSend(this);
  // The FIN goes out behind the response; then the peer has a moment to
  // read it and close first, so that closing with its last bytes unread
  // does not reset the connection under a response still in flight.
  char drain[kCloseDrainBytes];
  LWaitBudget budget(kCloseWaitMs);
  for (;;) {
    const ssize_t got = ::recv(fd, drain, sizeof drain, 0);
    if (got >= 0) return;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return;
    const LSocketSlice slice = LWaitSocketSlice(this, fd, POLLIN);
    if (slice == LSocketSlice::kEmpty && budget.ChargeEmptySlice()) continue;
    if (slice != LSocketSlice::kReady) return;
  }
}
