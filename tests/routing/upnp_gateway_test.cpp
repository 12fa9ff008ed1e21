// The probe against Debian's real miniupnpd, in a network of two namespaces
// this test builds (net/upnp_test_net.sh): "lan" with this computer's side
// at 192.168.77.2 and "router" with miniupnpd on 192.168.77.1, its external
// interface holding 198.51.101.7. The probe runs on a thread that has
// entered "lan", so its search and SOAP calls never leave the namespaces.

#include <fcntl.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "engine/ip_socket_tcp.h"
#include "foundation/settings_sections.h"
#include "foundation/unique_fd.h"
#include "routing/log_progress_dialog.h"
#include "routing/routing_probe.h"
#include "support/full_disk.h"
#include "support/log_reader.h"
#include "support/smtp_peer.h"
#include "support/temp_root.h"

namespace {

constexpr const char* kExternal = "198.51.101.7";
constexpr const char* kClient = "192.168.77.2";
constexpr const char* kPort = "8089";

std::string RunCommand(const std::string& command) { return KavrixShellOutput(command + " 2>&1"); }

bool Have(const char* program) { return RunCommand(std::string("command -v ") + program).size() > 1; }

// Why the network cannot be built here, or empty.
std::string MissingCapability() {
  if (geteuid() != 0) return "building network namespaces needs root";
  for (const char* program : {"ip", "nft", "miniupnpd", "upnpc"})
    if (!Have(program)) return std::string(program) + " is not installed (scripts/setup)";
  if (access("/dev/net/tun", R_OK | W_OK) != 0) return "/dev/net/tun is missing";
  return {};
}

// Enters a network namespace on the calling thread for the object's life.
class NamespaceVisit {
 public:
  explicit NamespaceVisit(const std::string& name)
      : home_(open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC)) {
    const LUniqueFd target(open(("/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC));
    entered_ = home_ && target && setns(target.Get(), CLONE_NEWNET) == 0;
  }
  ~NamespaceVisit() {
    if (entered_ && setns(home_.Get(), CLONE_NEWNET) != 0) std::abort();
  }
  bool Entered() const { return entered_; }

 private:
  LUniqueFd home_;
  bool entered_ = false;
};

class UPnPGatewayTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    const std::string missing = MissingCapability();
    if (!missing.empty()) {
      if (KavrixUnderCI()) FAIL() << missing;
      GTEST_SKIP() << missing;
    }
    name_ = "kx" + std::to_string(getpid());
    folder_ = TempDir() + "/gateway";
    ASSERT_TRUE(LSettingSetString("Routing", "LocalPort", kPort));
    ASSERT_TRUE(LSettingSetString("Routing", "PublicPort", kPort));
  }
  void TearDown() override {
    if (up_) RunCommand(Script() + " down " + name_ + " " + folder_);
    KavrixTempRoot::TearDown();
  }

  static std::string Script() {
    return std::string(KAVRIX_TEST_SOURCE_DIR) + "/tests/routing/net/upnp_test_net.sh";
  }
  void StartGateway(const std::string& denyPort) {
    up_ = true;
    const std::string output = RunCommand(Script() + " up " + name_ + " " + kExternal + " " + denyPort +
                                   " " + folder_ + " " + KAVRIX_UPNP_TAP_LINK);
    ASSERT_EQ(RunCommand("ip netns exec " + name_ + "-router true"), "") << output;
  }
  std::string Mappings() { return RunCommand("ip netns exec " + name_ + "-lan upnpc -l"); }

  // Runs the wizard from inside "lan" (the search port's release is checked
  // in routing_probe_test.cpp).
  LRoutingProbeOutcome ProbeFromLan() {
    NamespaceVisit lan(name_ + "-lan");
    EXPECT_TRUE(lan.Entered());
    LLogProgressDialog dialog;
    return LNetRoutingRunWizard(dialog);
  }

  std::string name_;
  std::string folder_;
  bool up_ = false;
};

TEST_F(UPnPGatewayTest, ProbeMapsThePortAndStoresTheExternalAddress) {
  StartGateway("0");
  const LRoutingProbeOutcome outcome = ProbeFromLan();
  ASSERT_EQ(outcome.result, kLProcessDone) << KavrixReadLogText();
  EXPECT_FALSE(outcome.routerRefused);
  EXPECT_EQ(LSettingGetString("Routing", "StaticIPAddress"), kExternal);
  EXPECT_NE(Mappings().find(std::string("TCP  ") + kPort + "->" + kClient + ":" + kPort +
                            "  'KavrixServer TCP Redirection'"),
            std::string::npos)
      << Mappings();
}

TEST_F(UPnPGatewayTest, RouterThatDeniesThePortIsReportedAsARefusal) {
  StartGateway(kPort);
  const LRoutingProbeOutcome outcome = ProbeFromLan();
  EXPECT_EQ(outcome.result, kLProcessFailed);
  EXPECT_TRUE(outcome.routerRefused);
  EXPECT_NE(KavrixReadLogText().find("UPnP: the router refused to forward the port: "
                                     "AddPortMapping refused (error 606: Action not authorized)"),
            std::string::npos)
      << KavrixReadLogText();
  EXPECT_EQ(LSettingGetString("Routing", "StaticIPAddress") + LSettingGetString("Routing", "WizardRun"), "");
  EXPECT_EQ(Mappings().find("KavrixServer"), std::string::npos);
}

}  // namespace
