#pragma once
// One logged-on station connection and the process-wide registry of main
// sessions. A connection lives on the web connection thread that received
// "connect": LKXServerConnectionRun does the handshake, constructs an
// LKXServerConnection, runs its session loop and cleans up.
//
// Lock order (never taken the other way round):
//   LKXServer::loConnections -> a connection's monitorMutex_ ->
//   a monitor's mutex.
// A connection's sendMutex_ is a leaf, taken last and alone or under the
// registry lock (the popup relay sends while holding it); whoever holds it
// only writes to that one socket.

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "foundation/date_time.h"
#include "foundation/process_result.h"
#include "foundation/signal_object.h"
#include "station/own_record.h"
#include "station/presence_feed.h"
#include "station/presence_snapshot.h"
#include "station/station_limits.h"
#include "station/station_wire.h"

class LIPSocketTCP;
class LThread;

// One watcher's live view (owned by the watching connection's thread, linked
// into the monitor lists of the watched connections).
class LKXScreenMonitor {
 public:
  // Replaces the latest image and wakes the watcher.
  void Deliver(std::string_view image, std::uint16_t flags);
  // Takes the latest image out; false when there was none since the last.
  bool Take(std::string& image, std::uint16_t& flags);
  LSignalObjectRef WakeSignal() const { return wake_.Ref(); }

 private:
  std::mutex mutex_;  // guards image_, flags_, fresh_ and the reset of wake_
  std::string image_;
  std::uint16_t flags_ = 0;
  bool fresh_ = false;
  LSignalObject wake_;
};

struct LKXSendPart {
  std::string_view bytes;
  int timeoutMs;
};

class LKXServerConnection {
 public:
  // Registers the connection when bit 0 of `stationFlags` is set.
  LKXServerConnection(LThread& thread, LIPSocketTCP& socket, std::string_view userName,
                      std::uint16_t stationFlags, int stationTimeZone,
                      const LKXStationLimits& limits = LKXStationLimits());
  // Ends the session: for a main session "Connected" = 0, "StateChanged",
  // the change counter, removal from the registry and the log line.
  ~LKXServerConnection();
  LKXServerConnection(const LKXServerConnection&) = delete;
  LKXServerConnection& operator=(const LKXServerConnection&) = delete;

  // The session loop; returns when the session ends.
  void Run();

  // Sends the team mates' changes queued since the last sync; false when a
  // send failed: the station has stopped reading, or its stream is cut
  // inside a message, and the session ends.
  bool SendNewUserStates();
  // Sends one user's state message (false when the send failed).
  bool SendUserState(LKXUser& record);
  // The first sync covers the last 28 days; false as SendNewUserStates.
  bool SendAllUserStates();
  bool SendBusinessProgramsList();

  void HandlePopupRequest(std::string_view recipients, std::string_view message);
  void ScreenMonitorConnection(std::string_view monitoredUser);

  // Sends the parts of one message, each with its own time-out, under the
  // send lock: a message never interleaves with another to the same socket,
  // whichever thread sends it. `owner` is the sending thread (its stop flag
  // cuts the send short). Stops at the first part that fails.
  LProcessResult SendParts(LThread* owner, std::initializer_list<LKXSendPart> parts);
  LProcessResult Send(std::string_view bytes, int timeoutMs) { return SendParts(&thread_, {{bytes, timeoutMs}}); }

  const std::string& UserName() const { return userName_; }
  bool IsMainSession() const { return (stationFlags_ & kLKXStationMainSession) != 0; }
  std::int64_t LastActiveMs() const { return lastActiveMs_.load(); }
  LThread& Thread() const { return thread_; }

  // The time to store for a time the station sent: unchanged for a station
  // in zone 0, else shifted so that the record read in the server's local
  // time shows the station's own clock time.
  LDateTime ConvertTime(std::uint32_t stationTime) const;

  // Monitor list access (under monitorMutex_), for the relay.
  void AttachMonitor(LKXScreenMonitor* monitor);
  void DetachMonitor(LKXScreenMonitor* monitor);
  bool HasMonitor(LKXScreenMonitor* monitor);

 private:
  // Message handlers of the session loop; `message` holds the header bytes
  // on entry. False ends the session.
  bool HandleMessage(const LKXWireHeader& header, std::string& message);
  bool HandleActivity(const LKXWireHeader& header, std::string& message);
  bool HandleScreenshot(const LKXWireHeader& header, std::string& message);
  bool HandleManualHours(const LKXWireHeader& header, std::string& message);
  bool HandlePresence(const LKXWireHeader& header, std::string& message);
  bool HandlePopup(const LKXWireHeader& header, std::string& message);
  bool HandleScreenMonitor(const LKXWireHeader& header, std::string& message);
  // Reads the rest of the fixed part and the strings into `message`, then
  // discards the bytes up to the total length. False ends the session.
  bool ReceiveMessage(const LKXWireHeader& header, std::string& message);
  // Receives `length` bytes into buffer[from...], growing it only as they
  // arrive. `timeoutMs` counts silence.
  bool Receive(std::string& buffer, std::size_t from, std::size_t length, int timeoutMs);
  bool Discard(std::uint64_t length);
  // A screenshot found the server-wide budget full (at most once a minute).
  void LogScreenshotsBusy() const;
  bool Watched();
  void IdleTick();
  bool SendEntry(const LKXPresenceEntry& entry);
  // Whether `monitor` is still attached to a registered connection.
  static bool MonitorAttached(LKXScreenMonitor* monitor);
  // Reads whatever the watcher sent meanwhile; false when it has gone.
  bool WatcherStillThere();
  void RunRelay(LKXScreenMonitor& monitor);

  // Constant after construction.
  const std::string userName_;
  const std::uint16_t stationFlags_;
  const int serverBias_;        // minus the server's UTC offset in minutes, at construction
  const int stationTimeZone_;   // minutes east of UTC
  const int bodySilenceMs_;     // a screenshot body silent this long ends the session
  const LTransferPace screenshotPace_;  // a screenshot body slower than this ends it too
  const int stateSendMs_;       // a user state not sent within this ends the session
  LThread& thread_;
  LIPSocketTCP& socket_;

  // A main session's queue of states to send (null for other sessions),
  // and the change sequence when it was subscribed.
  std::shared_ptr<LKXPresenceFeed> feed_;
  std::uint32_t subscribedSeq_ = 0;

  // Used by the connection's own thread only.
  LKXOwnRecord record_;
  LDateTime lastSyncTime_;
  std::int64_t lastStoredScreenshotMs_ = 0;
  std::int64_t messageMs_ = 0;  // when the current message's header came
  bool screenRequestPending_ = false;

  // Written by the own thread, read by watchers choosing a station.
  std::atomic<std::int64_t> lastActiveMs_{0};

  std::mutex sendMutex_;     // guards writes to socket_: one whole message at a time
  std::mutex monitorMutex_;  // guards monitors_
  std::list<LKXScreenMonitor*> monitors_;
};

// The registry of main sessions.
class LKXServer {
 public:
  // Guards lConnections. Held while a popup goes out to a recipient and
  // while a relay attaches or detaches its monitor.
  static std::mutex loConnections;
  static std::list<LKXServerConnection*> lConnections;

  // Asks the thread of every registered connection of `email` (letter case
  // ignored) to stop; it ends its session within one idle tick. Used when a
  // user's address changes or the user is removed.
  static void StopConnectionsOfUser(const std::string& email);
};

// The whole life of one station connection after the "connect" header:
// handshake, session, cleanup. The web layer's station protocol handler.
void LKXServerConnectionRun(LThread& thread, LIPSocketTCP& socket, const std::string& stationAddress);
// The same under other limits than the defaults (tests lower them).
void LKXServerConnectionRun(LThread& thread, LIPSocketTCP& socket, const std::string& stationAddress,
                            const LKXStationLimits& limits);

// The process-wide challenge of the hello (set at the first connection).
std::uint32_t LKXStationChallenge();
