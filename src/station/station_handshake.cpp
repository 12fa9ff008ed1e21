// The start and end of a station connection: hello, logon, the web session
// of the station, then the session itself.

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/ip_socket_tcp.h"
#include "engine/socket_ops.h"
#include "engine/tcp_keepalive.h"
#include "foundation/log.h"
#include "foundation/thread.h"
#include "model/org_settings.h"
#include "station/md5.h"
#include "station/server_connection.h"
#include "station/station_pages.h"
#include "station/station_receive.h"
#include "station/user_connection_slot.h"
#include "web/session/logon_throttle.h"
#include "web/session/weblet_session.h"

namespace {

constexpr int kHelloSendMs = 5000;
constexpr int kLogonReceiveMs = 20000;
constexpr int kReceiveMs = 5000;
constexpr int kReplySendMs = 5000;

std::atomic<std::uint32_t> gChallenge{0};

std::uint32_t Features() {
  std::uint32_t features = 0;
  if (!KXOrgGetBool(LKXOrg::kModeQA)) features |= kLKXFeatureNoActivity;
  if (!KXOrgGetBool(LKXOrg::kModeHours)) features |= kLKXFeatureNoHours;
  if (!KXOrgGetBool(LKXOrg::kModeLeave)) features |= kLKXFeatureNoLeave;
  return features;
}

std::uint32_t RecordingFlags(LKXUser& user) {
  // A "Monitor" user's station records nothing.
  if (user.IsMonitor()) return kLKXRecordNoActivity | kLKXRecordNoScreenshots;
  std::uint32_t flags = 0;
  if (!user.GetFlag(kKXUserLogActivity)) flags |= kLKXRecordNoActivity;
  if (!user.GetFlag(kKXUserLogScreenShot)) flags |= kLKXRecordNoScreenshots;
  return flags;
}

// Reads the logon request; false (the connection ends without a word) when
// it is late, malformed or cut short.
bool ReceiveLogon(LThread& thread, int fd, LKXLogonRequest& request) {
  std::string bytes(16, '\0');
  if (ProcessRecvBytes(&thread, fd, bytes.data(), bytes.size(), kLogonReceiveMs) != kLProcessDone) return false;
  LKXWireHeader header;
  if (LKXDecodeHeader(bytes, header) != LKXWireStatus::kOk || header.magic != kLKXWireMagic ||
      header.type != kLKXMsgLogonRequest) {
    return false;
  }
  std::size_t strings = 0;
  if (!LKXBodyBytes(bytes, strings) || header.totalLength < 16 + strings) return false;
  // Before anyone has proved a password, only bytes that came cost memory.
  const std::size_t nameLength = LKXGetU16(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 8);
  std::string name;
  std::string digest;
  if (!LKXReceiveAppend(&thread, fd, name, nameLength, kReceiveMs) ||
      !LKXReceiveAppend(&thread, fd, digest, strings - nameLength, kReceiveMs)) {
    return false;
  }
  std::uint64_t rest = header.totalLength - 16 - strings;
  char chunk[4096];
  while (rest > 0) {
    const std::size_t piece = rest < sizeof chunk ? static_cast<std::size_t>(rest) : sizeof chunk;
    if (ProcessRecvBytes(&thread, fd, chunk, piece, kReceiveMs) != kLProcessDone) return false;
    rest -= piece;
  }
  if (LKXParseLogonRequest(bytes + name + digest, request) != LKXWireStatus::kOk) return false;
  request.userName = LKXWireText(request.userName);
  request.digest = LKXWireText(request.digest);
  return true;
}

// Whether the digest proves the password. An empty password proves
// nothing: its digest follows from the challenge alone, which every station
// is told, so a user without a password could be taken over by anybody.
bool DigestMatches(LKXUser& user, std::uint32_t challenge, const std::string& digest) {
  const std::string password = user.GetText(kKXUserPassword);
  if (password.empty()) return false;
  const std::string text = std::to_string(static_cast<std::int32_t>(challenge)) + password;
  const std::string expected = LMD5::GetMD5(text);
  return !expected.empty() && digest == expected;
}

// The station's web session, holding the address of the station so that
// "stationlogon" hands it only to a browser on the same computer. Empty when
// it could not be saved: a station told a session id that names no file
// would open pages that all say the session has expired.
std::string CreateStationSession(LThread& thread, const std::string& user, const std::string& stationAddress) {
  LWebletSessionData session;
  session.SetThread(&thread);
  if (!session.CreateNewSession(true)) return {};
  session.SetParm("user", user);
  session.SetParm("stacon", "1");
  session.SetParm(kLKXStationAddressKey, KXLogonPeerHost(stationAddress));
  if (session.FlushSession()) return session.Id();
  session.DeleteSession();
  return {};
}

void DeleteStationSession(LThread& thread, const std::string& id) {
  if (id.empty()) return;
  LWebletSessionData session;
  session.SetThread(&thread);
  session.LoadSession(id);
  session.DeleteSession();
}

}  // namespace

std::uint32_t LKXStationChallenge() {
  std::uint32_t expected = 0;
  const std::uint32_t now = static_cast<std::uint32_t>(LDateTime::Now().value);
  gChallenge.compare_exchange_strong(expected, now);
  return gChallenge.load();
}

void LKXServerConnectionRun(LThread& thread, LIPSocketTCP& socket, const std::string& stationAddress) {
  LKXServerConnectionRun(thread, socket, stationAddress, LKXStationLimits());
}

void LKXServerConnectionRun(LThread& thread, LIPSocketTCP& socket, const std::string& stationAddress,
                            const LKXStationLimits& limits) {
  const std::uint32_t challenge = LKXStationChallenge();
  const int fd = socket.Get();
  LKXHello hello{challenge, Features()};
  if (ProcessSend(&thread, fd, LKXBuildHello(hello).data(), 16, kHelloSendMs) != kLProcessDone) return;
  LKXLogonRequest request;
  if (!ReceiveLogon(thread, fd, request)) return;

  LKXLogonAttempt attempt(&thread, request.userName, stationAddress);
  LKXUser user;
  const bool found = !attempt.Refused() && LKXFindUserRecord(request.userName, user);
  const bool passwordRight = found && DigestMatches(user, challenge, request.digest);
  if (passwordRight) attempt.Succeeded();
  // Taken only for a proven logon, so that nobody without the password can
  // use up a user's connections.
  LKXUserConnectionSlot slot;
  const bool slotTaken = passwordRight && slot.Acquire(request.userName, limits.connectionsPerUser);
  const bool mainSession = (request.stationFlags & kLKXStationMainSession) != 0;
  LKXLogonReply reply;
  if (slotTaken) reply.sessionId = CreateStationSession(thread, request.userName, stationAddress);
  const bool accepted = slotTaken && !reply.sessionId.empty();
  reply.result = accepted ? kLKXLogonAccepted : kLKXLogonRefused;
  if (accepted) {
    reply.recordingFlags = RecordingFlags(user);
    LKXOwnRecord(request.userName).Update([&request](LSettingsEntries& entries) {
      return LKXOwnRecord::Put(entries, kKXUserTimeZone, std::to_string(request.timeZone));
    });
    if (mainSession) LOGF("%s logged on from %s", request.userName.c_str(), stationAddress.c_str());
  } else if (passwordRight && !slotTaken) {
    LOGERRORF("%s attempted logon from %s. %d connections are open already.", request.userName.c_str(),
              stationAddress.c_str(), limits.connectionsPerUser);
  } else if (passwordRight) {
    LOGERRORF("%s logon from %s refused: its web session could not be saved.", request.userName.c_str(),
              stationAddress.c_str());
  } else if (attempt.Refused()) {
    LOGERRORF("%s attempted logon from %s. Too many failed logons.", request.userName.c_str(), stationAddress.c_str());
  } else {
    if (!found) {
      LOGERRORF("%s attempted logon from %s. User doesn't exist.", request.userName.c_str(), stationAddress.c_str());
    } else {
      LOGERRORF("%s attempted logon from %s. Bad password.", request.userName.c_str(), stationAddress.c_str());
    }
    attempt.Failed();
  }
  const std::string bytes = LKXBuildLogonReply(reply);
  const bool sent = ProcessSend(&thread, fd, bytes.data(), 16, kReplySendMs) == kLProcessDone &&
                    ProcessSend(&thread, fd, bytes.data() + 16, bytes.size() - 16, kReplySendMs) == kLProcessDone;
  if (sent && accepted) {
    if (!LSetTcpKeepAlive(fd, kLKXKeepAliveIdleSeconds, kLKXKeepAliveIntervalSeconds, kLKXKeepAliveProbes)) {
      LOGWARNF("Cannot set TCP keep-alive for %s: %s", stationAddress.c_str(), std::strerror(errno));
    }
    LKXServerConnection connection(thread, socket, request.userName, request.stationFlags, request.timeZone, limits);
    connection.Run();
  }
  // Also when the reply could not be sent: nobody would ever use the session.
  DeleteStationSession(thread, reply.sessionId);
}
