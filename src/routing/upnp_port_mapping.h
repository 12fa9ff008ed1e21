#pragma once
// Asks the office router, through UPnP, to forward a TCP port of its public
// address to this computer, and learns that public address on the way:
// SSDP search, the device description, then the WAN connection service's
// SOAP calls. The router and everyone else on the network are untrusted.

#include <netinet/in.h>

#include <cstdint>
#include <string>

#include "foundation/process_result.h"

class LThread;
class LProgressSink;

inline constexpr std::uint16_t kLSSDPPort = 1900;
inline constexpr std::uint32_t kLSSDPGroup = 0xEFFFFFFAu;  // 239.255.255.250
// The search is repeated after this much silence, and given up after this
// many silent rounds.
inline constexpr int kLSSDPRoundMs = 1000;
inline constexpr int kLSSDPRounds = 10;
// Answers looked at before giving up, so that a flood cannot hold the probe.
inline constexpr int kLSSDPMaxAnswers = 64;
inline constexpr int kLUPnPDefaultHttpPort = 80;

struct LUPnPMappingRequest {
  int externalPort = 0;
  int internalPort = 0;
  std::string internalClient;  // this computer's private address
  sockaddr_in searchTarget{};  // normally 239.255.255.250:1900
  int rounds = kLSSDPRounds;   // fewer only where a test wants a quick end
};

struct LUPnPMappingOutcome {
  LProcessResult result = kLProcessFailed;
  std::string externalAddress;  // on success
  std::string service;          // the service that mapped the port
  bool refused = false;         // a router answered AddPortMapping with a fault
  std::string refusal;          // the router's words when it refused
  std::string failure;          // why the last service tried was not usable
};

// Runs the procedure on `udpFd` (a bound UDP socket, left open for the
// caller to close). Stopped at once when `thread` is asked to stop.
LUPnPMappingOutcome LUPnPMapPort(LThread* thread, int udpFd, const LUPnPMappingRequest& request,
                                 LProgressSink& progress);
