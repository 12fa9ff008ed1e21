#include "station/server_connection.h"

#include <poll.h>

#include <algorithm>
#include <ctime>

#include "engine/ip_socket_tcp.h"
#include "engine/socket_ops.h"
#include "foundation/log.h"
#include "foundation/thread.h"
#include "model/core_data.h"
#include "model/registry_text.h"
#include "station/own_record.h"
#include "station/presence_snapshot.h"
#include "station/station_receive.h"

std::mutex LKXServer::loConnections;
std::list<LKXServerConnection*> LKXServer::lConnections;

namespace {

// Time-outs of the session, in milliseconds. The idle tick only matters
// while a watcher waits for frames; otherwise the loop sleeps until the
// station sends, a change is queued or the thread is asked to stop.
constexpr int kIdleTickMs = 200;
constexpr int kUnwatchedWaitMs = -1;
constexpr int kReceiveMs = 5000;
constexpr std::int64_t kScreenshotStoreGapMs = 250000;
constexpr int kScreenRequestSendMs = 5000;
constexpr int kReplySendMs = 50000;
constexpr std::size_t kDiscardChunk = 4096;

// A refused screenshot is logged at most once in this time.
constexpr std::int64_t kBusyLogIntervalMs = 60000;

int ServerUtcOffsetMinutes() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return 0;
  return static_cast<int>(local.tm_gmtoff / 60);
}

}  // namespace

LKXServerConnection::LKXServerConnection(LThread& thread, LIPSocketTCP& socket, std::string_view userName,
                                         std::uint16_t stationFlags, int stationTimeZone,
                                         const LKXStationLimits& limits)
    : userName_(userName),
      stationFlags_(stationFlags),
      serverBias_(-ServerUtcOffsetMinutes()),
      stationTimeZone_(stationTimeZone),
      bodySilenceMs_(limits.bodySilenceMs),
      screenshotPace_(limits.screenshotPace),
      stateSendMs_(limits.stateSendMs),
      thread_(thread),
      socket_(socket),
      record_(userName) {
  if (IsMainSession()) {
    feed_ = std::make_shared<LKXPresenceFeed>(userName);
    subscribedSeq_ = LKXSubscribePresence(feed_);
    std::lock_guard<std::mutex> lock(LKXServer::loConnections);
    LKXServer::lConnections.push_back(this);
  }
}

LKXServerConnection::~LKXServerConnection() {
  if (IsMainSession()) {
    LKXUnsubscribePresence(feed_.get());
    const LDateTime now = LDateTime::Now();
    // Without a record the sequence still moves: nothing depends on it.
    if (!LKXPublishPresence(record_, [now](LSettingsEntries& entries) {
          bool changed = LKXOwnRecord::Put(entries, kKXUserConnected, "0");
          changed = LKXOwnRecord::Put(entries, kKXUserStateChanged, std::to_string(now.value)) || changed;
          return changed;
        })) {
      (void)LKXBumpPresenceSeq();
    }
  }
  // Under the registry lock, so that a relay that is detaching its monitor
  // sees either this connection with its list or neither.
  std::lock_guard<std::mutex> lock(LKXServer::loConnections);
  if (IsMainSession()) {
    LKXServer::lConnections.remove(this);
    LOGF("%s logged off", userName_.c_str());
  }
  std::lock_guard<std::mutex> monitors(monitorMutex_);
  monitors_.clear();
}

void LKXServerConnection::LogScreenshotsBusy() const {
  static std::atomic<std::int64_t> lastLogMs{0};
  const std::int64_t now = LKXSteadyMs();
  std::int64_t last = lastLogMs.load();
  if (last != 0 && now - last < kBusyLogIntervalMs) return;
  if (!lastLogMs.compare_exchange_strong(last, now)) return;
  LOGWARNF("A screenshot from %s was refused: the server holds as many screenshot bytes as it will (%zu).",
           userName_.c_str(), LKXScreenshotBudget().Capacity());
}

LDateTime LKXServerConnection::ConvertTime(std::uint32_t stationTime) const {
  LDateTime time(static_cast<std::int32_t>(stationTime));
  if (stationTimeZone_ == 0) return time;
  // Stored so that the record read in the server's local time shows the
  // station's own clock time (the server offset is -serverBias_).
  return time - (-serverBias_ - stationTimeZone_) * 60;
}

LProcessResult LKXServerConnection::SendParts(LThread* owner, std::initializer_list<LKXSendPart> parts) {
  std::lock_guard<std::mutex> lock(sendMutex_);
  for (const LKXSendPart& part : parts) {
    const LProcessResult result = ProcessSend(owner, socket_.Get(), part.bytes.data(), part.bytes.size(), part.timeoutMs);
    if (result != kLProcessDone) return result;
  }
  return kLProcessDone;
}

bool LKXServerConnection::Receive(std::string& buffer, std::size_t from, std::size_t length, int timeoutMs) {
  buffer.resize(from);
  return LKXReceiveAppend(&thread_, socket_.Get(), buffer, length, timeoutMs);
}

bool LKXServerConnection::Discard(std::uint64_t length) {
  char chunk[kDiscardChunk];
  while (length > 0) {
    const std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(length, sizeof chunk));
    if (ProcessRecvBytes(&thread_, socket_.Get(), chunk, piece, kReceiveMs) != kLProcessDone) return false;
    length -= piece;
  }
  return true;
}

void LKXServerConnection::Run() {
  if (!SendAllUserStates()) return;
  lastStoredScreenshotMs_ = LKXSteadyMs() - 5000;
  screenRequestPending_ = false;
  while (!thread_.IsStopRequested()) {
    // The station's bytes, and for a main session its feed's wake event:
    // a team mate's change is sent at once, not at the next tick.
    pollfd group[2] = {{socket_.Get(), POLLIN, 0}, {feed_ ? feed_->WakeSignal().GetFd() : -1, POLLIN, 0}};
    const LProcessResult waited =
        thread_.ProcessWaitSignalObjectGroup(group, feed_ ? 2 : 1, Watched() ? kIdleTickMs : kUnwatchedWaitMs);
    if (waited == kLProcessStopped) break;
    if (group[1].revents != 0 && !SendNewUserStates()) break;
    if (group[0].revents == 0) {
      IdleTick();
      continue;
    }
    std::string head;
    if (!Receive(head, 0, kLKXHeaderBytes, kReceiveMs)) break;
    LKXWireHeader header;
    if (LKXDecodeHeader(head, header) != LKXWireStatus::kOk || header.magic != kLKXWireMagic) break;
    messageMs_ = LKXSteadyMs();
    if (!HandleMessage(header, head)) break;
  }
}

bool LKXServerConnection::Watched() {
  std::lock_guard<std::mutex> lock(monitorMutex_);
  return !monitors_.empty();
}

void LKXServerConnection::IdleTick() {
  if (Watched() && !screenRequestPending_) {
    (void)Send(LKXBuildScreenRequest(), kScreenRequestSendMs);
    screenRequestPending_ = true;
  }
}

bool LKXServerConnection::HandleMessage(const LKXWireHeader& header, std::string& message) {
  switch (header.type) {
    case kLKXMsgActivity:
      return HandleActivity(header, message);
    case kLKXMsgScreenshot:
      return HandleScreenshot(header, message);
    case kLKXMsgManualHours:
      return HandleManualHours(header, message);
    case kLKXMsgPresence:
      return HandlePresence(header, message);
    case kLKXMsgScreenMonitorRequest:
      return HandleScreenMonitor(header, message);
    case kLKXMsgPopupRequest:
      return HandlePopup(header, message);
    case kLKXMsgStationVersionRequest:
      if (!ReceiveMessage(header, message)) return false;
      (void)SendParts(&thread_, {{LKXBuildStationVersion().substr(0, 16), kReplySendMs},
                                 {kLKXStationVersionText, kReplySendMs}});
      return true;
    case kLKXMsgBusinessProgramsRequest:
      if (!ReceiveMessage(header, message)) return false;
      (void)SendBusinessProgramsList();
      return true;
    default:
      // Server-to-station types and numbers outside the table: skipped
      // without reading a body, as older servers did.
      return true;
  }
}

bool LKXServerConnection::ReceiveMessage(const LKXWireHeader& header, std::string& message) {
  const std::size_t fixed = LKXFixedPartBytes(header.type);
  if (!Receive(message, kLKXHeaderBytes, fixed - kLKXHeaderBytes, kReceiveMs)) return false;
  std::size_t body = 0;
  if (!LKXBodyBytes(message, body)) return false;
  // Strings that reach past the message's own end leave no way to find the
  // next message: reading on would take its bytes as text.
  if (body > 0 && fixed + body > header.totalLength) return false;
  if (!Receive(message, fixed, body, kReceiveMs)) return false;
  return Discard(header.totalLength > fixed + body ? header.totalLength - fixed - body : 0);
}

bool LKXServerConnection::HandleActivity(const LKXWireHeader& header, std::string& message) {
  LKXActivityRecord record;
  if (!ReceiveMessage(header, message) || LKXParseActivity(message, record) != LKXWireStatus::kOk) return false;
  LKXCoreData::LogActivity(userName_, ConvertTime(record.start), record.duration, record.flags, record.keys,
                           record.clicks, LKXWireText(record.application), LKXWireText(record.caption));
  return true;
}

bool LKXServerConnection::HandleManualHours(const LKXWireHeader& header, std::string& message) {
  LKXManualHours record;
  if (!ReceiveMessage(header, message) || LKXParseManualHours(message, record) != LKXWireStatus::kOk) return false;
  LKXCoreData::LogManualEntry(userName_, ConvertTime(record.start), record.duration, record.flags & kLKXFlagPrivate,
                              LKXWireText(record.comment));
  return true;
}

bool LKXServerConnection::HandleScreenshot(const LKXWireHeader& header, std::string& message) {
  const std::size_t fixed = LKXFixedPartBytes(kLKXMsgScreenshot);
  if (!Receive(message, kLKXHeaderBytes, fixed - kLKXHeaderBytes, kReceiveMs)) return false;
  if (header.totalLength > kLKXMaxScreenshotMessage) return false;
  if (header.totalLength < fixed) return true;
  const std::size_t imageBytes = header.totalLength - fixed;
  // Held until the picture has been handed on: its bytes live as long.
  LBytesInFlightShare share(LKXScreenshotBudget());
  message.resize(fixed);
  switch (LKXReceiveWithin(&thread_, socket_.Get(), message, imageBytes, bodySilenceMs_,
                           screenshotPace_.DeadlineFor(imageBytes), share)) {
    case LKXReceiveResult::kDone:
      break;
    case LKXReceiveResult::kFailed:
      return false;
    case LKXReceiveResult::kOverBudget:
      LogScreenshotsBusy();
      return false;
  }
  LKXScreenshot shot;
  if (LKXParseScreenshot(message, shot) != LKXWireStatus::kOk) return false;
  bool watched = false;
  {
    std::lock_guard<std::mutex> lock(monitorMutex_);
    watched = !monitors_.empty();
    for (LKXScreenMonitor* monitor : monitors_) monitor->Deliver(shot.image, shot.flags);
  }
  // While someone watches, frames come many times a minute; only a JPEG now
  // and then goes to the archive.
  if (!watched || (messageMs_ - lastStoredScreenshotMs_ > kScreenshotStoreGapMs && shot.flags != 0)) {
    LKXCoreData::LogScreenShot(userName_, ConvertTime(shot.time), (shot.flags & kLKXFlagJpeg) != 0, shot.image.data(),
                               shot.image.size());
    lastStoredScreenshotMs_ = messageMs_;
  }
  screenRequestPending_ = false;
  return true;
}

bool LKXServerConnection::HandlePopup(const LKXWireHeader& header, std::string& message) {
  LKXPopupRequest popup;
  if (!ReceiveMessage(header, message) || LKXParsePopupRequest(message, popup) != LKXWireStatus::kOk) return false;
  HandlePopupRequest(LKXWireText(popup.recipients, true), LKXWireText(popup.message, true));
  return true;
}

bool LKXServerConnection::HandleScreenMonitor(const LKXWireHeader& header, std::string& message) {
  LKXScreenMonitorRequest request;
  if (!ReceiveMessage(header, message) || LKXParseScreenMonitorRequest(message, request) != LKXWireStatus::kOk) {
    return false;
  }
  ScreenMonitorConnection(LKXWireText(request.userName));
  return false;  // the watcher's session ends with the relay
}

void LKXServerConnection::AttachMonitor(LKXScreenMonitor* monitor) {
  {
    std::lock_guard<std::mutex> lock(monitorMutex_);
    monitors_.push_front(monitor);
  }
  // The loop waits without a tick while nobody watches: the first screen
  // request goes out now.
  if (feed_) feed_->Wake();
}

void LKXServerConnection::DetachMonitor(LKXScreenMonitor* monitor) {
  std::lock_guard<std::mutex> lock(monitorMutex_);
  monitors_.remove(monitor);
}

bool LKXServerConnection::HasMonitor(LKXScreenMonitor* monitor) {
  std::lock_guard<std::mutex> lock(monitorMutex_);
  return std::find(monitors_.begin(), monitors_.end(), monitor) != monitors_.end();
}

void LKXServer::StopConnectionsOfUser(const std::string& email) {
  std::lock_guard<std::mutex> lock(loConnections);
  for (LKXServerConnection* connection : lConnections) {
    if (KXSameName(connection->UserName(), email)) connection->Thread().StopThreadSoon();
  }
}
