#include "web/weblet_connection.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "engine/send_pace.h"
#include "engine/socket_ops.h"
#include "engine/socket_wait.h"
#include "engine/wait_budget.h"
#include "foundation/paths.h"
#include "foundation/text_limits.h"
#include "web/http_responses.h"
#include "web/request_body.h"
#include "web/request_parser.h"
#include "web/same_origin.h"
#include "web/static_file.h"
#include "web/static_file_path.h"
#include "web/weblet_form.h"

namespace {

constexpr int kRejectSendTimeoutMs = 20000;
constexpr std::string_view kHelpPrefix = "help/";

}  // namespace

std::string LWebletHelpFolder() {
  const std::string root = LFile::GetInstallRoot();
  LFile::CreateFolder(root);
  LFile::CreateFolder(LFile::FilePathCat(root, "kavrixserver"));
  return LFile::GetHelpFolder();
}

LWebletConnection::LWebletConnection(LIPSocketTCP& socket, LWebScriptTable table,
                                     std::string rootFolder, const LIPv4Peer& peer, LAddressSlot slot)
    : socket_(std::move(socket)),
      table_(table),
      rootFolder_(std::move(rootFolder)),
      peer_(peer),
      slot_(std::move(slot)) {}

LWebletConnection::~LWebletConnection() = default;

void LWebletConnection::ThreadFunction() {
  Next next = Next::kKeepOpen;
  while (next == Next::kKeepOpen) next = ServeRequest();
  if (next == Next::kCloseGracefully) CloseGracefully();
}

LWebletConnection::Next LWebletConnection::ServeRequest() {
  const int fd = socket_.Get();
  // An idle connection may wait for its next request; the head's deadline
  // starts with the request's first byte.
  if (ProcessWaitReadable(this, fd, kRequestLineTimeoutMs) != kLProcessDone) return Next::kDrop;
  const LRecvDeadline headDeadline = LRecvDeadline::InMs(HeadDeadlineMs());
  std::string line;
  if (ProcessRecvLine(this, fd, line, kLMaxText, kRequestLineTimeoutMs, headDeadline) !=
      kLProcessDone) {
    return Next::kDrop;
  }
  LHttpRequestParser parser;
  LHttpStep step = parser.OnRequestLine(line);
  while (step == LHttpStep::kHeaderLine) {
    if (ProcessRecvLine(this, fd, line, kLMaxText, kHeaderLineTimeoutMs, headDeadline) !=
        kLProcessDone) {
      return Next::kDrop;
    }
    step = parser.OnHeaderLine(line);
  }
  if (step == LHttpStep::kHeadersDone) step = parser.BeginBody();
  // Held until the request is answered: the body's bytes live as long.
  LBytesInFlightShare bodyShare(LRequestBodyBudget());
  if (step == LHttpStep::kBody) {
    const std::size_t length = parser.BodyLength();
    std::string body;
    switch (LReceiveRequestBody(this, fd, length, kBodyTimeoutExtraMs,
                                BodyPace().DeadlineFor(length), bodyShare, body)) {
      case LBodyOutcome::kReceived:
        break;
      case LBodyOutcome::kFailed:
        return Next::kDrop;
      case LBodyOutcome::kOverBudget:
        (void)ProcessSend(this, fd, kLHttpBodiesBusy, sizeof kLHttpBodiesBusy - 1, kRejectSendTimeoutMs);
        return Next::kCloseGracefully;
    }
    step = parser.OnBody(body);
  }
  if (step != LHttpStep::kReady) {
    const char* reject = parser.RejectText();
    if (*reject != '\0') (void)ProcessSend(this, fd, reject, std::strlen(reject), kRejectSendTimeoutMs);
    return Next::kCloseGracefully;
  }

  const LSendPaceScope answerPace(AnswerPace());
  const bool keepAlive = parser.Request().keepAlive;
  LWebletForm form(*this, socket_, std::move(parser.Request()), peer_.ToText());
  if (const LWebScriptEntry* entry = LFindWebScript(table_, form.PageName())) {
    // Dynamic pages have no Content-Length: the end of the connection ends
    // the page, so it never stays open.
    if (WLCheckSameOrigin(form)) entry->handler(form);
    (void)form.FinishResponse();
    return answerPace.Missed() ? Next::kDrop : Next::kCloseGracefully;
  }
  const LStaticFileOutcome outcome =
      LServeStaticFile(this, socket_, StaticFilePath(form.PageName()), form.FileConditions());
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
  // The FIN goes out behind the response; then the peer has a moment to
  // read it and close first, so that closing with its last bytes unread
  // does not reset the connection under a response still in flight.
  ::shutdown(fd, SHUT_WR);
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
