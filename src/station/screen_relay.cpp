// The features that join one station connection to others: popup messages
// and live screen monitoring. Lock order: LKXServer::loConnections, then a
// connection's monitor list, then a monitor (server_connection.h).

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <memory>

#include "engine/ip_socket_tcp.h"
#include "foundation/thread.h"
#include "model/access_audit.h"
#include "model/org_settings.h"
#include "model/registry_text.h"
#include "station/name_list.h"
#include "station/server_connection.h"

namespace {

// The station's address as the access audit records it; empty when the
// socket has no IPv4 peer.
std::string PeerText(int fd) {
  sockaddr_in peer{};
  socklen_t length = sizeof peer;
  if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0 || peer.sin_family != AF_INET) return {};
  return LIPv4Peer::FromSockaddr(peer).ToText();
}

constexpr int kPopupSendMs = 3000;
constexpr int kMonitorReplyMs = 5000;
constexpr int kFrameHeadSendMs = 5000;
constexpr int kFrameSendMs = 240000;
// How often a relay without frames looks whether its watcher or its
// watched stations are still there. Frames arrive only when the watched
// station answers screen requests; once it has gone nothing would ever wake
// the relay, so it would wait until the engine stops, holding a thread and
// a socket per abandoned watcher.
constexpr int kRelayCheckMs = 1000;

std::string MonitorReply(std::uint16_t result) {
  LKXLogonReply reply;
  reply.result = result;
  return LKXBuildLogonReply(reply);
}

}  // namespace

void LKXScreenMonitor::Deliver(std::string_view image, std::uint16_t flags) {
  std::lock_guard<std::mutex> lock(mutex_);
  image_.assign(image);
  flags_ = flags;
  fresh_ = true;
  wake_.Signal();
}

bool LKXScreenMonitor::Take(std::string& image, std::uint16_t& flags) {
  std::lock_guard<std::mutex> lock(mutex_);
  wake_.Reset();
  if (!fresh_) return false;
  image.swap(image_);
  image_.clear();
  flags = flags_;
  fresh_ = false;
  return true;
}

void LKXServerConnection::HandlePopupRequest(std::string_view recipients, std::string_view message) {
  LKXUser sender;
  LKXPopupMessage popup;
  if (record_.Find(sender)) popup.senderName = sender.GetName();
  popup.message = std::string(message.substr(0, kLKXMaxPopupText));
  const std::string bytes = LKXBuildPopupMessage(popup);
  const std::string_view head = std::string_view(bytes).substr(0, 16);
  const std::string_view name = std::string_view(bytes).substr(16, popup.senderName.size());
  const std::string_view text = std::string_view(bytes).substr(16 + popup.senderName.size());
  LKXAnyListItem(recipients, [&](std::string_view item) {
    std::lock_guard<std::mutex> lock(LKXServer::loConnections);
    for (LKXServerConnection* connection : LKXServer::lConnections) {
      if (!KXSameName(connection->UserName(), item)) continue;
      // A recipient that does not take the message in time is skipped; the
      // others still get it.
      (void)connection->SendParts(&thread_, {{head, kPopupSendMs}, {name, kPopupSendMs}, {text, kPopupSendMs}});
    }
    return false;
  });
}

void LKXServerConnection::ScreenMonitorConnection(std::string_view monitoredUser) {
  if (!KXOrgGetBool(LKXOrg::kModeQA)) {
    (void)Send(MonitorReply(kLKXMonitorSwitchedOff), kMonitorReplyMs);
    return;
  }
  if (KXSameName(monitoredUser, userName_)) {
    (void)Send(MonitorReply(kLKXMonitorSelf), kMonitorReplyMs);
    return;
  }
  LKXUser watched;
  if (!LKXFindUserRecord(monitoredUser, watched) || !LKXListHasName(watched.GetText(kKXUserManager), userName_)) {
    (void)Send(MonitorReply(kLKXMonitorNotManager), kMonitorReplyMs);
    return;
  }
  bool connected = false;
  {
    std::lock_guard<std::mutex> lock(LKXServer::loConnections);
    for (LKXServerConnection* connection : LKXServer::lConnections) {
      connected = connected || KXSameName(connection->UserName(), monitoredUser);
    }
  }
  if (!connected) {
    (void)Send(MonitorReply(kLKXMonitorNotConnected), kMonitorReplyMs);
    return;
  }
  if (Send(MonitorReply(kLKXMonitorAccepted), kMonitorReplyMs) != kLProcessDone) return;
  (void)KXAuditAccess(userName_, watched.GetEmail(), kKXAuditLiveScreen, PeerText(socket_.Get()));

  const auto monitor = std::make_unique<LKXScreenMonitor>();
  {
    // Follow the station where the user was active last (all of them when
    // several share that time).
    std::lock_guard<std::mutex> lock(LKXServer::loConnections);
    std::int64_t latest = INT64_MIN;
    for (LKXServerConnection* connection : LKXServer::lConnections) {
      if (KXSameName(connection->UserName(), monitoredUser)) latest = std::max(latest, connection->LastActiveMs());
    }
    for (LKXServerConnection* connection : LKXServer::lConnections) {
      if (KXSameName(connection->UserName(), monitoredUser) && connection->LastActiveMs() >= latest) {
        connection->AttachMonitor(monitor.get());
      }
    }
  }
  RunRelay(*monitor);
  std::lock_guard<std::mutex> lock(LKXServer::loConnections);
  for (LKXServerConnection* connection : LKXServer::lConnections) connection->DetachMonitor(monitor.get());
}

void LKXServerConnection::RunRelay(LKXScreenMonitor& monitor) {
  std::string image;
  std::uint16_t flags = 0;
  for (;;) {
    pollfd group[2] = {{monitor.WakeSignal().GetFd(), POLLIN, 0}, {socket_.Get(), POLLIN, 0}};
    const LProcessResult waited = thread_.ProcessWaitSignalObjectGroup(group, 2, kRelayCheckMs);
    if (waited == kLProcessStopped) return;
    if (waited != kLProcessDone) {
      if (!MonitorAttached(&monitor)) return;
      continue;
    }
    if (group[1].revents != 0 && !WatcherStillThere()) return;
    if (group[0].revents == 0 || !monitor.Take(image, flags)) continue;
    LKXScreenshot frame;
    frame.flags = flags;
    const std::string head = LKXBuildScreenshot(frame);  // no image: only the header
    std::string sized = head;
    LKXPutU32(reinterpret_cast<std::uint8_t*>(sized.data()) + 4, static_cast<std::uint32_t>(16 + image.size()));
    if (SendParts(&thread_, {{sized, kFrameHeadSendMs}, {image, kFrameSendMs}}) != kLProcessDone) return;
  }
}

bool LKXServerConnection::MonitorAttached(LKXScreenMonitor* monitor) {
  std::lock_guard<std::mutex> lock(LKXServer::loConnections);
  for (LKXServerConnection* connection : LKXServer::lConnections) {
    if (connection->HasMonitor(monitor)) return true;
  }
  return false;
}

bool LKXServerConnection::WatcherStillThere() {
  // A watcher sends nothing after its request; whatever comes is dropped so
  // the socket does not stay readable. End of file means it has gone.
  char scratch[4096];
  const ssize_t got = recv(socket_.Get(), scratch, sizeof scratch, MSG_DONTWAIT);
  if (got > 0) return true;
  return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
}
