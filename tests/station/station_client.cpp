#include "station/station_client.h"

#include <sys/socket.h>

#include <chrono>

#include "foundation/settings_sections.h"
#include "model/users.h"
#include "station/md5.h"
#include "station/presence_snapshot.h"
#include "station/server_connection.h"
#include "station/station_pages.h"
#include "support/log_reader.h"
#include "support/loopback.h"

namespace {

void TestConnect(LWebletForm& form) {
  WLHandOverConnection(form, [](LThread& thread, LIPSocketTCP& socket, const std::string& address) {
    LKXServerConnectionRun(thread, socket, address, StationTest::limits);
  });
}

const LWebScriptEntry kStationTable[] = {{"connect", TestConnect, LWebAccess::kAnyone}};

constexpr std::string_view kConnectHeader =
    "HTTP/1.0 200 OK\r\nCache-Control: no-cache\r\nContent-Type: application/octet-stream\r\n\r\n";

}  // namespace

std::string StationDigest(std::uint32_t challenge, std::string_view password) {
  return LMD5::GetMD5(std::to_string(static_cast<std::int32_t>(challenge)) + std::string(password));
}

bool StationLogged(const std::string& prefix, const std::string& suffix) {
  for (const std::string& line : KavrixLogMessages()) {
    if (line.rfind(prefix, 0) == 0 && line.size() >= prefix.size() + suffix.size() &&
        line.compare(line.size() - suffix.size(), suffix.size(), suffix) == 0) {
      return true;
    }
  }
  return false;
}

bool StationClient::Open(std::uint16_t port) {
  fd_ = KavrixConnectLoopback(port);
  if (!fd_ || !KavrixSendAll(fd_.Get(), "GET /connect HTTP/1.0\r\n\r\n")) return false;
  http_ = KavrixRecvExact(fd_.Get(), kConnectHeader.size());
  if (http_ != kConnectHeader) return false;
  helloBytes_ = KavrixRecvExact(fd_.Get(), 16);
  return LKXParseHello(helloBytes_, hello_) == LKXWireStatus::kOk;
}

bool StationClient::Logon(std::string_view user, std::string_view password, std::uint16_t flags,
                          std::int16_t timeZone) {
  LKXLogonRequest request;
  request.userName = std::string(user);
  request.digest = StationDigest(hello_.challenge, password);
  request.stationFlags = flags;
  request.timeZone = timeZone;
  if (!Send(LKXBuildLogonRequest(request))) return false;
  replyBytes_ = KavrixRecvExact(fd_.Get(), 16);
  if (replyBytes_.size() != 16) return false;
  const std::size_t idLength = LKXGetU16(reinterpret_cast<const std::uint8_t*>(replyBytes_.data()) + 10);
  replyBytes_ += KavrixRecvExact(fd_.Get(), idLength);
  return LKXParseLogonReply(replyBytes_, reply_) == LKXWireStatus::kOk && reply_.result == kLKXLogonAccepted;
}

bool StationClient::Send(std::string_view bytes) { return KavrixSendAll(fd_.Get(), bytes); }

std::string StationClient::Read(int limitMs) {
  std::string message = KavrixRecvExact(fd_.Get(), kLKXHeaderBytes, limitMs);
  LKXWireHeader header;
  if (LKXDecodeHeader(message, header) != LKXWireStatus::kOk) return {};
  const std::size_t fixed = LKXFixedPartBytes(header.type);
  if (fixed == 0) return {};
  message += KavrixRecvExact(fd_.Get(), fixed - kLKXHeaderBytes, limitMs);
  std::size_t whole = 0;
  if (message.size() != fixed || !LKXWireBytes(message, whole)) return {};
  std::string body = KavrixRecvExact(fd_.Get(), whole - fixed, limitMs);
  if (body.size() != whole - fixed) return {};
  return message + body;
}

std::string StationClient::ReadType(std::uint16_t type, int limitMs) {
  for (;;) {
    std::string message = Read(limitMs);
    if (message.empty()) return {};
    LKXWireHeader header;
    LKXDecodeHeader(message, header);
    if (header.type == type) return message;
  }
}

bool StationClient::WaitState(std::string_view email, std::uint16_t state, LKXUserState& out) {
  for (;;) {
    const std::string message = ReadType(kLKXMsgUserState);
    if (message.empty() || LKXParseUserState(message, out) != LKXWireStatus::kOk) return false;
    if (out.email == email && out.state == state) return true;
  }
}

bool StationClient::Sync(std::string* skipped) {
  if (!Send(LKXBuildStationVersionRequest())) return false;
  for (;;) {
    std::string message = Read();
    if (message.empty()) return false;
    if (message == LKXBuildStationVersion()) return true;
    if (skipped) *skipped += message;
  }
}

bool StationClient::PeerClosed(int limitMs) { return KavrixPeerClosed(fd_.Get(), limitMs); }

LKXStationLimits StationTest::limits;

void StationTest::SetUp() {
  WebServerTest::SetUp();
  LKXResetPresenceSnapshot();
  limits = LKXStationLimits{};
  StartServer(kStationTable);
}

void StationTest::AddUser(const std::string& email, const std::string& name, const std::string& team,
                          const std::string& password, std::initializer_list<std::string_view> keys,
                          const std::string& manager) {
  ASSERT_TRUE(KXAddUser(email, name, false, false, team, manager, password));
  LKXUser user;
  ASSERT_TRUE(KXGetUser(email, user));
  for (std::string_view pair : keys) {
    const std::size_t eq = pair.find('=');
    ASSERT_TRUE(user.SetString(pair.substr(0, eq), pair.substr(eq + 1)));
  }
}

std::string StationTest::UserKey(const std::string& email, std::string_view key) {
  LKXUser user;
  if (!KXGetUser(email, user)) return "<no user>";
  return user.GetString(key);
}

bool StationTest::Connect(StationClient& station, const std::string& email, std::uint16_t flags,
                          std::int16_t timeZone) {
  // The reply goes out before the session registers itself; the sync makes
  // sure the session runs (and is registered) before the test goes on.
  return station.Open(Port()) && station.Logon(email, "pw", flags, timeZone) && station.Sync();
}
