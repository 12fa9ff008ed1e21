#pragma once
// One accepted connection of the web server, on a detached thread of its
// own: it reads requests one after another, hands each to its page handler
// or serves a static file, and keeps the connection open between requests
// only for GETs of static files over HTTP/1.1. The thread deletes itself
// when the connection ends, which closes the socket.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/byte_transport.h"
#include "engine/bytes_in_flight.h"
#include "engine/ip_socket_tcp.h"
#include "engine/recv_deadline.h"
#include "engine/transfer_pace.h"
#include "foundation/detached_thread.h"
#include "web/http/address_slots.h"
#include "web/http/request_parser.h"
#include "web/http/url_table.h"

class LTlsServerContext;

// How a connection speaks. With `tls` set it is a connection of the HTTPS
// listener: the handshake comes first, then every byte goes through TLS. A
// plain connection with `httpsPort` set answers every request except the
// station's "connect" with a redirect to that port, so no page and no
// session cookie travels in clear text while HTTPS is on.
struct LWebletSecurity {
  std::shared_ptr<const LTlsServerContext> tls;
  std::uint16_t httpsPort = 0;
};

class LWebletConnection : public LDetachedThread {
 public:
  // Time-outs of the request loop, in ms of silence.
  static constexpr int kRequestLineTimeoutMs = 30000;
  static constexpr int kHeaderLineTimeoutMs = 20000;
  static constexpr int kBodyTimeoutExtraMs = 20000;
  // The whole head of a request (request line and headers) must arrive
  // within this time of its first byte, however steadily it trickles in: a
  // client sending one byte now and then would otherwise hold a thread and
  // its descriptors for ever.
  static constexpr int kHeadDeadlineMs = 30000;
  // A whole body must arrive within this much time plus a second for every
  // kBodyMinBytesPerSecond bytes it declares (the largest body allowed, at
  // 8 KiB/s: 152 s), and a whole answer must be taken by the client at no
  // less than this pace: a client that sends or reads one byte now and then
  // would otherwise hold a thread and its descriptors for as long as it
  // likes. The floor is that of a poor mobile link.
  static constexpr int kBodyDeadlineBaseMs = 30000;
  static constexpr std::size_t kBodyMinBytesPerSecond = 8 * 1024;
  static constexpr int kAnswerDeadlineBaseMs = 30000;
  static constexpr std::size_t kAnswerMinBytesPerSecond = 8 * 1024;
  // A graceful close waits this long for the peer's last bytes.
  static constexpr int kCloseWaitMs = 20000;
  static constexpr std::size_t kCloseDrainBytes = 23;

  // Takes the socket over (`socket` is left at -1). The table, the web root
  // and the peer are copied: the connection never looks at the server again.
  // The address slot is held until the connection ends.
  LWebletConnection(LIPSocketTCP& socket, LWebScriptTable table, LWebAccessCheck checkAccess,
                    std::string rootFolder,
                    const LIPv4Peer& peer, LWebletSecurity security = {},
                    LAddressSlot slot = LAddressSlot());
  ~LWebletConnection() override;

  // The head deadline of requests read from now on, which also bounds a TLS
  // handshake; tests lower it so as not to wait half a minute.
  static void SetHeadDeadlineMs(int ms) { headDeadlineMs_.store(ms); }
  static int HeadDeadlineMs() { return headDeadlineMs_.load(); }
  // The clock the head deadline is measured on; tests move their own.
  static void SetHeadClock(LRecvDeadline::Clock now) { headClock_.store(now); }
  // The body and answer paces of requests read from now on; tests shrink
  // them, as they do the head deadline.
  static void SetBodyPace(const LTransferPace& pace) { bodyPace_.Store(pace); }
  static LTransferPace BodyPace() { return bodyPace_.Load(); }
  static void SetAnswerPace(const LTransferPace& pace) { answerPace_.Store(pace); }
  static LTransferPace AnswerPace() { return answerPace_.Load(); }

 protected:
  void ThreadFunction() override;

 private:
  enum class Next { kKeepOpen, kCloseGracefully, kDrop };
  // The plain socket, or TLS once its handshake is done; null when the
  // handshake failed.
  std::unique_ptr<LByteTransport> OpenTransport();
  // Reads and answers one request.
  Next ServeRequest();
  // The request line and header lines, up to `step` after them; a value
  // when the connection ends here.
  std::optional<Next> ReceiveHead(LHttpRequestParser& parser, LHttpStep& step);
  // The body, within the budget of bodies in flight held by `bodyShare`.
  std::optional<Next> ReceiveBody(LHttpRequestParser& parser, LBytesInFlightShare& bodyShare, LHttpStep& step);
  // The file that a page name without handler stands for.
  std::string StaticFilePath(const std::string& pageName) const;
  // Sends what is left to send, then waits (briefly) for the peer to close,
  // so that the last response is not cut off by a reset.
  void CloseGracefully();

  static inline std::atomic<int> headDeadlineMs_{kHeadDeadlineMs};
  static inline std::atomic<LRecvDeadline::Clock> headClock_{&LRecvDeadline::SteadyNow};
  static inline LTransferPaceSetting bodyPace_{
      LTransferPace{kBodyDeadlineBaseMs, kBodyMinBytesPerSecond}};
  static inline LTransferPaceSetting answerPace_{
      LTransferPace{kAnswerDeadlineBaseMs, kAnswerMinBytesPerSecond}};

  LIPSocketTCP socket_;
  const LWebScriptTable table_;
  const LWebAccessCheck checkAccess_;
  const std::string rootFolder_;
  const LIPv4Peer peer_;
  const LWebletSecurity security_;
  LByteTransport* transport_ = nullptr;  // set while ThreadFunction runs
  LAddressSlot slot_;
};

// Folder of the help pages ("help/..." page names), created up to the
// install root's "kavrixserver" folder when missing.
std::string LWebletHelpFolder();
