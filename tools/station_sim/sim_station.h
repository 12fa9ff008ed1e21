#pragma once
// KXSimStation: one simulated KavrixStation connection. It speaks the station
// protocol through the builders and parsers of station/station_wire.h, over
// a real TCP socket, the way a staff computer does: an HTTP request for
// "/connect", the 84-byte answer, the hello, the logon with the MD5 digest
// of challenge and password, then messages in both directions.
//
// One thread uses one station at a time; nothing here locks.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/ip_socket_tcp.h"
#include "station/station_wire.h"

// One message from the server, decoded. `type` says which members hold it.
struct KXSimMessage {
  std::uint16_t type = 0;
  LKXHello hello;
  LKXLogonReply reply;  // logon reply and screen monitor reply
  LKXUserState state;
  LKXPopupMessage popup;
  LKXScreenshot screenshot;
  std::string text;  // station version, business programs
};

// The first line of every printed message names its type; the rest are
// "name=value" pairs with texts quoted by KXSimQuote. One line, no line end.
std::string KXSimFormatMessage(const KXSimMessage& message);

enum class KXSimReceive {
  kMessage,  // `message` holds a whole message
  kNothing,  // nothing arrived within the time
  kClosed,   // the server closed the connection, or sent bytes that are no message
};

// The digest of the logon: MD5 of "%d%s" (challenge as a signed decimal,
// then the password) as 32 lower-case hexadecimal digits.
std::string KXSimLogonDigest(std::uint32_t challenge, std::string_view password);

class KXSimStation {
 public:
  KXSimStation(std::string host, std::uint16_t port);

  // Connects, sends the HTTP request, reads the 84-byte answer and the
  // hello, sends the logon request and reads the reply with its session id.
  // True when the exchange completed, whatever the result: a refused logon
  // is true with Reply().result 1 (and the connection closed). False with
  // `error` set when any step failed.
  bool LogOn(const std::string& user, const std::string& password, std::uint16_t stationFlags,
             std::int16_t timeZone, std::string& error);
  const LKXHello& Hello() const { return hello_; }
  const LKXLogonReply& Reply() const { return reply_; }
  bool IsConnected() const { return socket_.IsValid(); }

  // Each sends one whole message; false when the send failed or timed out.
  bool SendActivity(const LKXActivityRecord& record);
  bool SendManualHours(const LKXManualHours& record);
  bool SendPresence(const LKXPresence& presence);
  bool SendScreenshot(const LKXScreenshot& screenshot);
  bool SendPopup(const LKXPopupRequest& popup);
  bool SendScreenMonitorRequest(std::string_view user);
  bool SendVersionRequest();
  bool SendProgramsRequest();
  // Any bytes at all, for tests of what the server does with broken input.
  bool SendRaw(std::string_view bytes);

  // Waits up to `timeoutMs` for a message to begin, then reads all of it.
  // A screen monitor reply is told from a logon reply by the order of
  // events only; both decode into `reply`.
  KXSimReceive Receive(KXSimMessage& message, int timeoutMs);

  // Makes the receive buffer about `bytes` small (a station that reads
  // slowly, or not at all, fills it soon).
  bool ShrinkReceiveBuffer(int bytes);

  void Close() { socket_.Close(); }

 private:
  bool Connect(std::string& error);
  bool SendBytes(std::string_view bytes, int timeoutMs);
  bool RecvBytes(std::string& into, std::size_t length, int timeoutMs);
  bool ReadMessageBytes(std::string& bytes, int firstByteTimeoutMs, bool& nothing);

  std::string host_;
  std::uint16_t port_ = 0;
  LIPSocketTCP socket_;
  LKXHello hello_;
  LKXLogonReply reply_;
};
