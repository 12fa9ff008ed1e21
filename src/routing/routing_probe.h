#pragma once
// The address probe: finds this server's public address (the computer's own
// when it is on the Internet directly, else the router's through UPnP, which
// forwards the public port on the way) and stores it in the "Routing"
// settings; and the start-up check that re-runs it.

#include <netinet/in.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/process_result.h"
#include "routing/progress_dialog.h"
#include "routing/upnp_port_mapping.h"

// The local UDP port of the search; routers answer to it.
inline constexpr std::uint16_t kLRoutingSearchPort = 4100;
// After this long the probed address counts as a confirmed static one.
inline constexpr std::int32_t kLRoutingConfirmSeconds = 259200;
// "Remind me later" waits this long.
inline constexpr std::int32_t kLRoutingRemindLaterSeconds = 864000;

struct LRoutingProbeOptions {
  // This computer's interface addresses; the system's when not given.
  std::optional<std::vector<std::uint32_t>> interfaceAddresses;
  sockaddr_in searchTarget{};  // 239.255.255.250:1900 unless set
  std::uint16_t searchPort = kLRoutingSearchPort;
  int searchRounds = kLSSDPRounds;  // silent rounds of the search before giving up
};
LRoutingProbeOptions LRoutingDefaultProbeOptions();

struct LRoutingProbeOutcome {
  LProcessResult result = kLProcessFailed;
  bool routerRefused = false;  // a router refused the port mapping
};

// The probe as a progress process ("Routing Test Wizard").
class LRoutingProbe : public LProgressProcess {
 public:
  explicit LRoutingProbe(LRoutingProbeOptions options = LRoutingDefaultProbeOptions())
      : options_(std::move(options)) {}
  std::string_view Name() const override { return "Routing Test Wizard"; }
  LProcessResult Process(LThread& worker, LProgressSink& sink) override;
  const LRoutingProbeOutcome& Outcome() const { return outcome_; }

 private:
  LRoutingProbeOptions options_;
  LRoutingProbeOutcome outcome_;
};

// Runs the probe in a dialog titled "Network Probe Setup Wizard"; on success
// stores "WizardRun" = "1".
LRoutingProbeOutcome LNetRoutingRunWizard(LProgressDialog& parent,
                                          LRoutingProbeOptions options = LRoutingDefaultProbeOptions());

// The check at desktop start (skipped by the caller when "ConnectRemote" is
// "0"): runs the wizard until it has once succeeded, then re-checks the
// address at each start until three days after the first re-check.
LRoutingProbeOutcome LNetRoutingCheckGUI(LProgressDialog& parent,
                                         LRoutingProbeOptions options = LRoutingDefaultProbeOptions());

// The manual choices when the router has no usable UPnP.
// "Router is manually configured": a dotted address is stored as confirmed
// static, any other text as the domain name.
void LNetRoutingSetManualAddress(std::string_view text);
// "Remind me later".
void LNetRoutingRemindLater();
// "I don't use access from Internet. Don't remind me again".
void LNetRoutingNoInternetAccess();
