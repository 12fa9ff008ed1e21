#pragma once
// The TCP listener: a thread that binds the listening port on every local
// IPv4 address, accepts connections and hands each to NewConnection. A port
// that cannot be bound is reported through BindConflict and tried again
// every 30 seconds until it can be bound or the listener is stopped, so the
// rest of the service keeps running meanwhile. Connections left on the port
// by a server that just ended do not count as holding it (SO_REUSEADDR), so
// a restarted server binds at once. When the process runs out of
// descriptors, the listener says so once (a descriptor held in reserve lets
// the line be written) and waits in 200 ms slices until it can accept again.

#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

#include "engine/descriptor_reserve.h"
#include "engine/ip_socket_tcp.h"
#include "foundation/signal_object.h"
#include "foundation/thread.h"

class LTCPListener : public LThread {
 public:
  // As deep as the system allows: after a restart every station of the
  // office reconnects in the same second, and a short queue turns most of
  // them away (a queue of 50 refused a fifth of 1,000 stations).
  static constexpr int kListenBacklog = SOMAXCONN;
  static constexpr int kRetryWaitMs = 30000;

  LTCPListener() = default;
  ~LTCPListener() override;

  // The port bound at the next start of the thread.
  void SetListenPort(std::uint16_t port) { port_.store(port); }
  std::uint16_t GetListenPort() const { return port_.load(); }

  // True once the socket listens (until it is closed again); false when
  // `timeoutMs` passed first. Lets a caller (or a test) know that
  // connections will be accepted from now on.
  bool WaitListening(int timeoutMs) const { return listening_.Ref().WaitSignal(timeoutMs); }

 protected:
  // Called on the listener thread for each accepted socket (non-blocking,
  // close-on-exec). Takes ownership by moving the descriptor out; whatever is
  // left in `socket` afterwards is closed by the listener. The peer of the
  // socket is AcceptedPeer() during the call.
  virtual void NewConnection(LIPSocketTCP& socket) = 0;
  // Binding failed because another socket holds the port.
  virtual void BindConflict() {}

  const LIPv4Peer& AcceptedPeer() const { return peer_; }
  // The process is short of descriptors (`error` is the errno that said
  // so): logs "Connections are refused: no file descriptors left" once per
  // shortage and at most once a minute. A server also calls it when a
  // connection accepted with the last descriptor cannot get the ones it
  // needs besides (from any listener's thread).
  void DescriptorShortage(int error);
  // The pause before the next try after a failed round (kRetryWaitMs unless
  // a test asks for less); takes effect at the next pause.
  void SetRetryWaitMs(int ms) { retryWaitMs_.store(ms); }

  void ThreadFunction() override;

 private:
  // One round: create, bind, listen, accept until stopped or failed.
  void ListenRound();
  // Accepts until the stop signal fires or accept fails for good.
  void AcceptLoop(int listenFd);

  // One log line per shortage, however many accepts it refuses, and no more
  // than one a minute when shortages come and go under a flood.
  class LShortageLog {
   public:
    static constexpr std::chrono::milliseconds kMinInterval{60000};
    bool ShouldLog();
    void End() { inShortage_ = false; }

   private:
    bool inShortage_ = false;
    bool logged_ = false;
    std::chrono::steady_clock::time_point lastLog_{};
  };

  std::atomic<std::uint16_t> port_{0};
  std::atomic<int> retryWaitMs_{kRetryWaitMs};
  LIPv4Peer peer_;  // touched only on the listener thread
  std::mutex shortageMutex_;  // guards shortageLog_ and reserve_
  LShortageLog shortageLog_;
  LDescriptorReserve reserve_;
  LSignalObject listening_;
};
