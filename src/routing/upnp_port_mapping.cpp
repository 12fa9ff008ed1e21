#include "routing/upnp_port_mapping.h"

#include <arpa/inet.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "engine/socket_wait.h"
#include "foundation/log.h"
#include "foundation/thread.h"
#include "routing/ip_ranges.h"
#include "routing/progress_dialog.h"
#include "routing/upnp_http.h"
#include "routing/upnp_messages.h"

namespace {

constexpr int kSliceMs = 200;

// One gateway that answered the search, with its description's address.
struct Gateway {
  std::string hostPort;  // as the URL gave it, for the Host header
  std::string host;
  int port = kLUPnPDefaultHttpPort;
  std::string description;
};

class ServiceCalls {
 public:
  ServiceCalls(LThread* thread, const Gateway& gateway, std::string_view service,
               std::string controlPath)
      : thread_(thread), gateway_(gateway), service_(service), controlPath_(std::move(controlPath)) {}

  // Failed only when no connection could be made.
  LProcessResult Call(std::string_view action, std::string_view arguments, std::string& answer) {
    const std::string request =
        LUPnPSOAPRequest(controlPath_, gateway_.hostPort, service_, action, arguments);
    return LUPnPHttpExchange(thread_, gateway_.host, gateway_.port, request,
                             kLUPnPExchangeBudgetMs, answer);
  }

 private:
  LThread* thread_;
  const Gateway& gateway_;
  std::string_view service_;
  std::string controlPath_;
};

// Tries one WAN connection service of a gateway. Done when the port is
// mapped and the external address is known.
LProcessResult TryService(LThread* thread, const Gateway& gateway, std::string_view service,
                          const LUPnPMappingRequest& request, LUPnPMappingOutcome& outcome,
                          LProgressSink& progress) {
  std::string controlPath;
  if (!LUPnPFindControlURL(gateway.description, service, controlPath)) {
    outcome.failure = std::string(service) + " not offered";
    return kLProcessFailed;
  }
  progress.ShowStep("Asking the router (" + std::string(service) + ")");
  ServiceCalls calls(thread, gateway, service, controlPath);
  std::string answer;
  std::string value;
  auto call = [&](std::string_view action, std::string_view arguments) {
    const LProcessResult result = calls.Call(action, arguments, answer);
    if (result == kLProcessFailed) outcome.failure = std::string(service) + " " + std::string(action) + ": no connection";
    return result;
  };

  if (LProcessResult r = call("GetConnectionTypeInfo", ""); r != kLProcessDone) return r;
  if (LUPnPFieldValue(answer, "<NewConnectionType", value) &&
      value.find("Unconfigured") != std::string::npos) {
    outcome.failure = std::string(service) + " is unconfigured";
    return kLProcessFailed;
  }
  if (LProcessResult r = call("GetNATRSIPStatus", ""); r != kLProcessDone) return r;
  if (LUPnPFieldValue(answer, "<NewNATEnabled", value) && !value.empty() &&
      (value[0] == '0' || value[0] == 'F' || value[0] == 'f')) {
    outcome.failure = std::string(service) + " does no address translation";
    return kLProcessFailed;
  }
  if (LProcessResult r = call("GetExternalIPAddress", ""); r != kLProcessDone) return r;
  std::string external;
  if (!LUPnPFieldValue(answer, "<NewExternalIPAddress", external)) {
    outcome.failure = std::string(service) + " gave no external address";
    return kLProcessFailed;
  }
  const std::string arguments = LUPnPAddPortMappingArguments(
      request.externalPort, request.internalPort, request.internalClient);
  if (LProcessResult r = call("AddPortMapping", arguments); r != kLProcessDone) return r;
  std::string fault;
  if (LUPnPFindFault(answer, fault)) {
    outcome.refused = true;
    outcome.refusal = "AddPortMapping " + fault;
    outcome.failure = outcome.refusal;
    return kLProcessFailed;
  }
  const std::optional<std::uint32_t> address = LParseDottedIPv4(external);
  if (!address || *address == 0) {
    outcome.failure = std::string(service) + " external address is not usable: " + external;
    return kLProcessFailed;
  }
  outcome.externalAddress = LIPv4Text(*address);
  outcome.service = std::string(service);
  return kLProcessDone;
}

// Looks at one SSDP answer from `sender`. Done when a service mapped the port.
LProcessResult TryAnswer(LThread* thread, std::string_view answer, std::uint32_t sender,
                         const LUPnPMappingRequest& request, LUPnPMappingOutcome& outcome,
                         LProgressSink& progress) {
  std::string url;
  if (!LSSDPFindLocation(answer, url)) return kLProcessFailed;
  Gateway gateway;
  std::string path;
  if (!LUPnPSplitURL(url, gateway.hostPort, path) ||
      !LUPnPSplitHostPort(gateway.hostPort, kLUPnPDefaultHttpPort, gateway.host, gateway.port)) {
    LOGWARN("UPnP: ignored a description address that is not http: " + url);
    return kLProcessFailed;
  }
  // A description elsewhere than at the device that answered would let any
  // host on the network send the probe to a third party.
  if (LParseDottedIPv4(gateway.host) != sender) {
    LOGWARN("UPnP: ignored a description address on another host than " + LIPv4Text(sender) +
            ": " + url);
    return kLProcessFailed;
  }
  progress.ShowStep("Reading the router description " + url);
  const LProcessResult fetched =
      LUPnPHttpExchange(thread, gateway.host, gateway.port, LUPnPDescriptionRequest(path, gateway.hostPort),
                        kLUPnPDescriptionBudgetMs, gateway.description);
  if (fetched != kLProcessDone) {
    if (fetched == kLProcessFailed) LOGWARN("UPnP: no router description at " + url);
    return fetched;
  }
  std::string reasons;
  for (const std::string_view service : {kLUPnPServiceIP, kLUPnPServicePPP}) {
    const LProcessResult result = TryService(thread, gateway, service, request, outcome, progress);
    if (result != kLProcessFailed) return result;
    reasons += (reasons.empty() ? "" : "; ") + outcome.failure;
  }
  LOGWARN("UPnP: router at " + gateway.hostPort + " not usable: " + reasons);
  return kLProcessFailed;
}

bool SendSearch(int udpFd, const sockaddr_in& target) {
  const ssize_t sent = sendto(udpFd, kLSSDPSearch.data(), kLSSDPSearch.size(), MSG_NOSIGNAL,
                              reinterpret_cast<const sockaddr*>(&target), sizeof target);
  return sent == static_cast<ssize_t>(kLSSDPSearch.size());
}

}  // namespace

LUPnPMappingOutcome LUPnPMapPort(LThread* thread, int udpFd, const LUPnPMappingRequest& request,
                                 LProgressSink& progress) {
  LUPnPMappingOutcome outcome;
  progress.ShowStep("Searching for a UPnP router");
  if (!SendSearch(udpFd, request.searchTarget)) {
    LOGERRORF("UPnP: sendto() failed: %s", std::strerror(errno));
    return outcome;
  }
  int silentMs = 0;
  int rounds = 0;
  int answers = 0;
  char buffer[kLUPnPMaxAnswer + 1];
  for (;;) {
    const LSocketSlice slice = LWaitSocketSlice(thread, udpFd, POLLIN);
    if (slice == LSocketSlice::kStopped) {
      outcome.result = kLProcessStopped;
      return outcome;
    }
    if (slice == LSocketSlice::kFailed) return outcome;
    if (slice == LSocketSlice::kEmpty) {
      silentMs += kSliceMs;
      if (silentMs < kLSSDPRoundMs) continue;
      silentMs = 0;
      if (++rounds >= request.rounds) {
        LOGWARN("UPnP: no router answered the search");
        return outcome;
      }
      if (!SendSearch(udpFd, request.searchTarget)) return outcome;
      continue;
    }
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    // Only the first kLUPnPMaxAnswer bytes of a longer datagram are kept.
    const ssize_t got = recvfrom(udpFd, buffer, kLUPnPMaxAnswer, MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (got < 0) continue;
    silentMs = 0;
    if (++answers > kLSSDPMaxAnswers) {
      LOGWARN("UPnP: too many answers without a usable router");
      return outcome;
    }
    const LProcessResult result =
        TryAnswer(thread, std::string_view(buffer, static_cast<std::size_t>(got)),
                  ntohl(from.sin_addr.s_addr), request, outcome, progress);
    if (result != kLProcessFailed) {
      outcome.result = result;
      return outcome;
    }
  }
}
