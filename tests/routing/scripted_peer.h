#pragma once
// A peer on loopback that answers the probe with bytes a test scripts: a
// UDP socket that answers each search datagram, and a TCP listener that
// answers its connections in turn. It stands for the hostile and broken
// devices a real gateway never imitates; the real gateway test is
// upnp_gateway_test.cpp.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "foundation/unique_fd.h"
#include "support/loopback_listener.h"

class ScriptedPeer {
 public:
  // How one TCP connection is answered: the bytes, sent in pieces of
  // `pieceBytes`, `repeat` times (0: until the client closes). With
  // `pacedBy`, each piece waits until that count has moved on (a test's
  // clock ticking), so a slow link needs no time to pass.
  struct Answer {
    std::string bytes;
    std::size_t pieceBytes = 0;  // 0: all at once
    const std::atomic<int>* pacedBy = nullptr;
    int repeat = 1;
  };

  ScriptedPeer();
  ~ScriptedPeer();

  std::uint16_t UdpPort() const { return KavrixLocalPort(udp_.Get()); }
  std::uint16_t TcpPort() const { return KavrixLocalPort(tcp_.Get()); }
  // The SSDP answer; "%PORT%" becomes the TCP port.
  void SetSearchAnswer(std::string answer);
  // Answers for the TCP connections, in order; later ones get nothing.
  void AddAnswer(Answer answer);

  std::vector<std::string> Searches();   // datagrams received
  std::vector<std::string> Requests();   // what each connection sent

 private:
  void Run();
  void Serve(int fd, const Answer& answer);

  LUniqueFd udp_;
  LUniqueFd tcp_;
  std::atomic<bool> stop_{false};
  // Guards everything below.
  std::mutex mutex_;
  std::string searchAnswer_;
  std::vector<Answer> answers_;
  std::vector<std::string> searches_;
  std::vector<std::string> requests_;
  std::thread thread_;
};
