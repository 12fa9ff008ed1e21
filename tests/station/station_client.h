#pragma once
// A scripted KavrixStation for the tests: a blocking loopback client that
// speaks the station protocol byte by byte, and a fixture that runs a real
// web server whose "connect" page carries the station protocol.

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/unique_fd.h"
#include "station/station_limits.h"
#include "station/station_wire.h"
#include "support/web_server_fixture.h"

class StationClient {
 public:
  // Connects, asks for "connect" and reads the HTTP header and the hello;
  // false when any of it does not come as expected.
  bool Open(std::uint16_t port);
  // Sends the logon request and reads the reply (and the session id).
  bool Logon(std::string_view user, std::string_view password, std::uint16_t flags = kLKXStationMainSession,
             std::int16_t timeZone = 0);
  bool Send(std::string_view bytes);
  // One whole message (header and total - 8 bytes); empty when the
  // connection closed or nothing came within the time.
  std::string Read(int limitMs = 10000);
  // Reads messages until one of `type` comes; empty when none did.
  std::string ReadType(std::uint16_t type, int limitMs = 10000);
  // Reads user states until one for `email` with `state` comes.
  bool WaitState(std::string_view email, std::uint16_t state, LKXUserState& out);
  // Asks for the version and reads up to the answer: every message sent
  // before has been handled then. Other messages met on the way are kept
  // in `skipped` (concatenated).
  bool Sync(std::string* skipped = nullptr);
  bool PeerClosed(int limitMs = 10000);
  void Close() { fd_.Reset(); }

  int Fd() const { return fd_.Get(); }
  const std::string& HelloBytes() const { return helloBytes_; }
  const LKXHello& Hello() const { return hello_; }
  const LKXLogonReply& Reply() const { return reply_; }
  const std::string& ReplyBytes() const { return replyBytes_; }

 private:
  LUniqueFd fd_;
  std::string http_;
  std::string helloBytes_;
  LKXHello hello_;
  LKXLogonReply reply_;
  std::string replyBytes_;
};

// `message` with its header's total length set to `total`.
inline std::string WithTotal(std::string message, std::uint32_t total) {
  LKXPutU32(reinterpret_cast<std::uint8_t*>(message.data()) + 4, total);
  return message;
}

// The server's whole answer to a refused logon: result 1, no id.
inline const std::string kStationRefusal("\xE0\x0E\x03\x00\x10\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00", 16);

// Whether a log line begins with `prefix` and ends with `suffix` (a peer's
// port in between is not known to the tests).
bool StationLogged(const std::string& prefix, const std::string& suffix = "");

// The digest a station sends for `password`.
std::string StationDigest(std::uint32_t challenge, std::string_view password);

class StationTest : public WebServerTest {
 protected:
  void SetUp() override;
  // Adds a user (team, manager and password as given) and then sets `keys`
  // ("Key=value" each) on the record.
  void AddUser(const std::string& email, const std::string& name, const std::string& team,
               const std::string& password, std::initializer_list<std::string_view> keys = {},
               const std::string& manager = "");
  std::string UserKey(const std::string& email, std::string_view key);
  // A station of `email` logged on with password "pw", its session running.
  bool Connect(StationClient& station, const std::string& email, std::uint16_t flags = kLKXStationMainSession,
               std::int16_t timeZone = 0);
  // A logon of `user` on a new connection answered with the refusal, then
  // the connection's end.
  bool Refused(const std::string& user, const std::string& password) {
    StationClient station;
    return station.Open(Port()) && !station.Logon(user, password) && station.ReplyBytes() == kStationRefusal &&
           station.PeerClosed();
  }
  // Main sessions for each {station, email}, in order.
  bool ConnectAll(std::initializer_list<std::pair<StationClient*, const char*>> stations) {
    for (const auto& [station, email] : stations) {
      if (!Connect(*station, email)) return false;
    }
    return true;
  }
  std::string Archive(const std::string& folder) const { return SharedFolder() + "/Archive/" + folder; }


 public:
  // The limits the server's "connect" runs the station protocol with; a test
  // lowers them before its stations connect (SetUp puts the real ones back).
  static LKXStationLimits limits;
};
