#include "routing/routing_probe.h"

#include <arpa/inet.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "engine/ip_socket_tcp.h"
#include "engine/port_settings.h"
#include "foundation/date_time.h"
#include "foundation/log.h"
#include "foundation/settings_sections.h"
#include "foundation/thread.h"
#include "foundation/unique_fd.h"
#include "routing/host_addresses.h"
#include "routing/ip_ranges.h"
#include "routing/routing_settings.h"
#include "routing/upnp_port_mapping.h"

namespace {

void SetRouting(std::string_view key, std::string_view value) {
  if (!LSettingSetString(kLRoutingSection, key, value))
    LOGERROR("Routing: cannot store " + std::string(key));
}

void SetMode(std::string_view key, int mode) { SetRouting(key, std::to_string(mode)); }

// Stores the found public address, keeping a mode the user confirmed.
void StoreFoundAddress(const std::string& address, bool viaUPnP) {
  if (LNetRoutingGetMode(kLRoutingPublicAddressMode) != kLPublicStaticConfirmed) {
    SetMode(kLRoutingPublicAddressMode, kLPublicStaticNotSure);
    SetRouting(kLRoutingTryUPnP, viaUPnP ? "1" : "0");
  }
  SetRouting(kLRoutingStaticIPAddress, address);
}

// The UDP socket of the search, bound to its fixed port. The descriptor is
// owned here, so the port is free again on every way out of the probe.
LUniqueFd OpenSearchSocket(std::uint16_t port) {
  LUniqueFd fd(socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd) {
    LOGERRORF("UPnP: socket() failed: %s", std::strerror(errno));
    return fd;
  }
  const sockaddr_in local = LMakeSockaddrIPv4(INADDR_ANY, port);
  if (bind(fd.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
    LOGERRORF("UPnP: bind() to UDP port %u failed: %s", port, std::strerror(errno));
    fd.Reset();
  }
  return fd;
}

std::int32_t Now() { return LDateTime::Now().value; }

bool IsOn(std::string_view key) {
  const std::string text = LSettingGetString(kLRoutingSection, key);
  return !text.empty() && text[0] != '0';
}

}  // namespace

LRoutingProbeOptions LRoutingDefaultProbeOptions() {
  LRoutingProbeOptions options;
  options.searchTarget = LMakeSockaddrIPv4(kLSSDPGroup, kLSSDPPort);
  return options;
}

LProcessResult LRoutingProbe::Process(LThread& worker, LProgressSink& sink) {
  outcome_ = LRoutingProbeOutcome();
  const std::vector<std::uint32_t> addresses =
      options_.interfaceAddresses ? *options_.interfaceAddresses : LRoutingInterfaceAddresses();
  std::uint32_t address = LFirstPrivateAddress(addresses);
  if (address == 0) address = LFirstPublicAddress(addresses);
  const bool isPrivate = IsIPPrivate(address);
  SetMode(kLRoutingLocalAddressMode, isPrivate ? kLLocalStaticIP : kLLocalUsePublic);
  sink.ShowStep("This computer's address is " + LIPv4Text(address));

  if (!isPrivate) {
    StoreFoundAddress(LIPv4Text(address), false);
    outcome_.result = kLProcessDone;
    return outcome_.result;
  }
  if (LSettingGetString(kLRoutingSection, kLRoutingTryUPnP) == "0") {
    LOG("UPnP: not tried (\"TryuPNP\" is 0)");
    return outcome_.result;
  }
  const LUniqueFd socket = OpenSearchSocket(options_.searchPort);
  if (!socket) return outcome_.result;

  LUPnPMappingRequest request;
  request.externalPort = LNetRoutingGetPublicPort();
  request.internalPort = LReadLocalPortSetting();
  request.internalClient = LIPv4Text(address);
  request.searchTarget = options_.searchTarget;
  request.rounds = options_.searchRounds;
  const LUPnPMappingOutcome mapped = LUPnPMapPort(&worker, socket.Get(), request, sink);
  outcome_.result = mapped.result;
  outcome_.routerRefused = mapped.refused;
  if (mapped.result == kLProcessDone) {
    LOGF("UPnP: public TCP port %d forwarded to %s port %d; public address %s",
         request.externalPort, request.internalClient.c_str(), request.internalPort,
         mapped.externalAddress.c_str());
    StoreFoundAddress(mapped.externalAddress, true);
  } else if (mapped.result == kLProcessFailed) {
    LOGWARN(mapped.refused ? "UPnP: the router refused to forward the port: " + mapped.refusal
                           : std::string("UPnP: no router with usable UPnP found"));
  }
  return outcome_.result;
}

namespace {

LRoutingProbeOutcome RunProbe(LProgressDialog& parent, std::string_view title,
                              LRoutingProbeOptions options) {
  LRoutingProbe probe(std::move(options));
  parent.RunProcess(title, probe);
  if (probe.Outcome().result == kLProcessDone) SetRouting(kLRoutingWizardRun, "1");
  return probe.Outcome();
}

}  // namespace

LRoutingProbeOutcome LNetRoutingRunWizard(LProgressDialog& parent, LRoutingProbeOptions options) {
  return RunProbe(parent, "Network Probe Setup Wizard", std::move(options));
}

LRoutingProbeOutcome LNetRoutingCheckGUI(LProgressDialog& parent, LRoutingProbeOptions options) {
  LRoutingProbeOutcome nothing;
  nothing.result = kLProcessDone;
  const std::string later = LSettingGetString(kLRoutingSection, kLRoutingWizardRunLater);
  if (!later.empty() && Now() < std::strtol(later.c_str(), nullptr, 10)) return nothing;
  if (!IsOn(kLRoutingWizardRun)) return LNetRoutingRunWizard(parent, std::move(options));
  if (LNetRoutingGetMode(kLRoutingPublicAddressMode) != kLPublicStaticNotSure) return nothing;

  const LRoutingProbeOutcome outcome =
      RunProbe(parent, "Checking for Changed IP Address", std::move(options));
  std::int32_t first = static_cast<std::int32_t>(
      std::strtol(LSettingGetString(kLRoutingSection, kLRoutingWizardRunDate).c_str(), nullptr, 10));
  if (first == 0) {
    first = Now();
    SetRouting(kLRoutingWizardRunDate, std::to_string(first));
  }
  if (Now() - first >= kLRoutingConfirmSeconds)
    SetMode(kLRoutingPublicAddressMode, kLPublicStaticConfirmed);
  return outcome;
}

void LNetRoutingSetManualAddress(std::string_view text) {
  if (LParseDottedIPv4(text)) {
    SetRouting(kLRoutingStaticIPAddress, text);
    SetMode(kLRoutingPublicAddressMode, kLPublicStaticConfirmed);
  } else {
    SetRouting(kLRoutingDomainName, text);
    SetMode(kLRoutingPublicAddressMode, kLPublicDomainName);
  }
}

void LNetRoutingRemindLater() {
  SetRouting(kLRoutingWizardRun, "0");
  SetRouting(kLRoutingWizardRunLater, std::to_string(Now() + kLRoutingRemindLaterSeconds));
  SetMode(kLRoutingPublicAddressMode, kLPublicStaticNotSure);
}

void LNetRoutingNoInternetAccess() {
  SetRouting(kLRoutingWizardRun, "1");
  SetMode(kLRoutingPublicAddressMode, kLPublicDontCare);
}
