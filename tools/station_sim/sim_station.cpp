#include "sim_station.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <memory>

#include "engine/socket_ops.h"
#include "station/md5.h"
#include "sim_text.h"

namespace {

// The server's fixed answer to "GET /connect"; anything else means the port
// is not a station server (or a proxy in the way changed it).
constexpr std::string_view kConnectAnswer =
    "HTTP/1.0 200 OK\r\nCache-Control: no-cache\r\nContent-Type: application/octet-stream\r\n\r\n";
constexpr int kSendTimeoutMs = 20000;
constexpr int kSilenceTimeoutMs = 20000;

bool ResolveIPv4(const std::string& host, std::uint16_t port, sockaddr_in& out) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
  const std::unique_ptr<addrinfo, void (*)(addrinfo*)> owner(found, freeaddrinfo);
  out = *reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  out.sin_port = htons(port);
  return true;
}

std::string Field(const char* name, unsigned long value) {
  return std::string(" ") + name + "=" + std::to_string(value);
}

std::string Field(const char* name, std::string_view text) {
  return std::string(" ") + name + "=" + KXSimQuote(text);
}

}  // namespace

std::string KXSimLogonDigest(std::uint32_t challenge, std::string_view password) {
  // "%d": the challenge travels as u32 but is printed as the server's int.
  return LMD5::GetMD5(std::to_string(static_cast<std::int32_t>(challenge)) + std::string(password));
}

std::string KXSimFormatMessage(const KXSimMessage& m) {
  switch (m.type) {
    case kLKXMsgHello:
      return "hello" + Field("challenge", m.hello.challenge) + Field("features", m.hello.features);
    case kLKXMsgLogonReply:
      return "reply" + Field("result", m.reply.result) + Field("session", m.reply.sessionId) +
             Field("recording", m.reply.recordingFlags);
    case kLKXMsgScreenRequest:
      return "screen-request";
    case kLKXMsgScreenshot:
      return "screenshot" + Field("time", m.screenshot.time) + Field("flags", m.screenshot.flags) +
             Field("bytes", m.screenshot.image.size());
    case kLKXMsgUserState:
      return "state" + Field("email", m.state.email) + Field("name", m.state.name) +
             Field("state", m.state.state) + Field("location", m.state.location) +
             Field("application", m.state.application) + Field("caption", m.state.caption) +
             Field("phone", m.state.phone);
    case kLKXMsgPopupMessage:
      return "popup" + Field("from", m.popup.senderName) + Field("text", m.popup.message);
    case kLKXMsgStationVersion:
      return "version" + Field("text", m.text);
    case kLKXMsgBusinessPrograms:
      return "programs" + Field("text", m.text);
    default:
      return "message" + Field("type", m.type);
  }
}

KXSimStation::KXSimStation(std::string host, std::uint16_t port) : host_(std::move(host)), port_(port) {}

bool KXSimStation::Connect(std::string& error) {
  sockaddr_in address{};
  if (!ResolveIPv4(host_, port_, address)) {
    error = "cannot resolve " + host_;
    return false;
  }
  if (ProcessConnect(nullptr, socket_, address, 10000) != kLProcessDone) {
    error = "cannot connect to " + host_ + ":" + std::to_string(port_);
    return false;
  }
  if (!SendBytes("GET /connect HTTP/1.0\r\n\r\n", kSendTimeoutMs)) {
    error = "cannot send the connect request";
    return false;
  }
  std::string answer;
  if (!RecvBytes(answer, kConnectAnswer.size(), kSilenceTimeoutMs) || answer != kConnectAnswer) {
    error = "unexpected answer to the connect request: " + KXSimQuote(answer);
    return false;
  }
  return true;
}

bool KXSimStation::LogOn(const std::string& user, const std::string& password, std::uint16_t stationFlags,
                         std::int16_t timeZone, std::string& error) {
  socket_.Close();
  if (!Connect(error)) {
    socket_.Close();
    return false;
  }
  std::string bytes;
  bool nothing = false;
  if (!ReadMessageBytes(bytes, kSilenceTimeoutMs, nothing) || LKXParseHello(bytes, hello_) != LKXWireStatus::kOk) {
    error = "no hello from the server";
    socket_.Close();
    return false;
  }
  LKXLogonRequest request;
  request.stationFlags = stationFlags;
  request.timeZone = timeZone;
  request.userName = user;
  request.digest = KXSimLogonDigest(hello_.challenge, password);
  if (!SendBytes(LKXBuildLogonRequest(request), kSendTimeoutMs)) {
    error = "cannot send the logon request";
    socket_.Close();
    return false;
  }
  if (!ReadMessageBytes(bytes, kSilenceTimeoutMs, nothing) ||
      LKXParseLogonReply(bytes, reply_) != LKXWireStatus::kOk) {
    error = "no logon reply from the server";
    socket_.Close();
    return false;
  }
  // A refused station is disconnected by the server; so is this end.
  if (reply_.result != kLKXLogonAccepted) socket_.Close();
  return true;
}

bool KXSimStation::SendBytes(std::string_view bytes, int timeoutMs) {
  if (!socket_.IsValid()) return false;
  return ProcessSend(nullptr, socket_.Get(), bytes.data(), bytes.size(), timeoutMs) == kLProcessDone;
}

bool KXSimStation::RecvBytes(std::string& into, std::size_t length, int timeoutMs) {
  const std::size_t at = into.size();
  into.resize(at + length);
  if (length == 0) return true;
  return ProcessRecvBytes(nullptr, socket_.Get(), into.data() + at, length, timeoutMs) == kLProcessDone;
}

bool KXSimStation::ReadMessageBytes(std::string& bytes, int firstByteTimeoutMs, bool& nothing) {
  bytes.clear();
  nothing = false;
  if (!socket_.IsValid()) return false;
  // Waits in pieces of at most 200 ms, to the millisecond, so that a load
  // run's sends keep their schedule while it reads.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(firstByteTimeoutMs);
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) {
      nothing = true;
      return false;
    }
    pollfd waitFor{socket_.Get(), POLLIN, 0};
    const int ready = poll(&waitFor, 1, static_cast<int>(std::min<long long>(left, 200)));
    if (ready > 0) break;
    if (ready < 0 && errno != EINTR) return false;
  }
  LKXWireHeader header;
  if (!RecvBytes(bytes, kLKXHeaderBytes, kSilenceTimeoutMs) || LKXDecodeHeader(bytes, header) != LKXWireStatus::kOk ||
      header.magic != kLKXWireMagic) {
    return false;
  }
  const std::size_t fixed = LKXFixedPartBytes(header.type);
  std::size_t whole = 0;
  if (fixed == 0 || !RecvBytes(bytes, fixed - kLKXHeaderBytes, kSilenceTimeoutMs) || !LKXWireBytes(bytes, whole)) {
    return false;
  }
  // As a station reads: the total length, except that the logon reply's
  // total is 16 and its session id follows by the length in the fixed part.
  if (whole > kLKXMaxScreenshotMessage) return false;
  return RecvBytes(bytes, whole - fixed, kSilenceTimeoutMs);
}

KXSimReceive KXSimStation::Receive(KXSimMessage& message, int timeoutMs) {
  std::string bytes;
  bool nothing = false;
  if (!ReadMessageBytes(bytes, timeoutMs, nothing)) {
    if (nothing) return KXSimReceive::kNothing;
    socket_.Close();
    return KXSimReceive::kClosed;
  }
  message = KXSimMessage();
  message.type = LKXGetU16(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 2);
  LKXWireStatus status = LKXWireStatus::kOk;
  switch (message.type) {
    case kLKXMsgHello: status = LKXParseHello(bytes, message.hello); break;
    case kLKXMsgLogonReply: status = LKXParseLogonReply(bytes, message.reply); break;
    case kLKXMsgScreenRequest: status = LKXParseScreenRequest(bytes); break;
    case kLKXMsgScreenshot: status = LKXParseScreenshot(bytes, message.screenshot); break;
    case kLKXMsgUserState: status = LKXParseUserState(bytes, message.state); break;
    case kLKXMsgPopupMessage: status = LKXParsePopupMessage(bytes, message.popup); break;
    case kLKXMsgStationVersion: status = LKXParseStationVersion(bytes, message.text); break;
    case kLKXMsgBusinessPrograms: status = LKXParseBusinessPrograms(bytes, message.text); break;
    default: status = LKXWireStatus::kWrongType; break;  // a station-to-server type
  }
  if (status != LKXWireStatus::kOk) {
    socket_.Close();
    return KXSimReceive::kClosed;
  }
  return KXSimReceive::kMessage;
}

bool KXSimStation::ShrinkReceiveBuffer(int bytes) {
  return socket_.IsValid() && setsockopt(socket_.Get(), SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes) == 0;
}

bool KXSimStation::SendActivity(const LKXActivityRecord& record) {
  return SendBytes(LKXBuildActivity(record), kSendTimeoutMs);
}
bool KXSimStation::SendManualHours(const LKXManualHours& record) {
  return SendBytes(LKXBuildManualHours(record), kSendTimeoutMs);
}
bool KXSimStation::SendPresence(const LKXPresence& presence) {
  return SendBytes(LKXBuildPresence(presence), kSendTimeoutMs);
}
bool KXSimStation::SendScreenshot(const LKXScreenshot& screenshot) {
  return SendBytes(LKXBuildScreenshot(screenshot), 250000);
}
bool KXSimStation::SendPopup(const LKXPopupRequest& popup) {
  return SendBytes(LKXBuildPopupRequest(popup), kSendTimeoutMs);
}
bool KXSimStation::SendScreenMonitorRequest(std::string_view user) {
  LKXScreenMonitorRequest request;
  request.userName = std::string(user);
  return SendBytes(LKXBuildScreenMonitorRequest(request), kSendTimeoutMs);
}
bool KXSimStation::SendVersionRequest() { return SendBytes(LKXBuildStationVersionRequest(), kSendTimeoutMs); }
bool KXSimStation::SendProgramsRequest() { return SendBytes(LKXBuildBusinessProgramsRequest(), kSendTimeoutMs); }
bool KXSimStation::SendRaw(std::string_view bytes) { return SendBytes(bytes, kSendTimeoutMs); }
