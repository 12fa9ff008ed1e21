// The probe against scripted peers on loopback: what it sends byte for byte,
// how it treats answers that are hostile, huge, slow or malformed, that a
// stop ends it, that its search port is free again on every way out, and
// the settings each outcome leaves.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "engine/ip_socket_tcp.h"
#include "foundation/date_time.h"
#include "foundation/settings_sections.h"
#include "foundation/unique_fd.h"
#include "routing/log_progress_dialog.h"
#include "routing/routing_probe.h"
#include "routing/upnp_http.h"
#include "routing/upnp_messages.h"
#include "scripted_peer.h"
#include "support/log_reader.h"
#include "support/loopback.h"
#include "support/temp_root.h"
#include "support/web_server_fixture.h"

namespace {

constexpr std::uint32_t kPrivate = 0xC0A84D02;  // 192.168.77.2
constexpr std::uint32_t kPublic = 0xCB007109;   // 203.0.113.9

std::string Http(const std::string& body) {
  return "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::string Description(const std::string& controlUrl) {
  return Http(
      "<?xml version=\"1.0\"?><root><device><serviceList><service>"
      "<serviceType>urn:schemas-upnp-org:service:WANIPConnection:1</serviceType>"
      "<serviceId>urn:upnp-org:serviceId:WANIPConn1</serviceId><controlURL>" +
      controlUrl + "</controlURL></service></serviceList></device></root>");
}

std::string SoapAnswer(const std::string& action, const std::string& fields) {
  return Http("<s:Envelope><s:Body><u:" + action +
              "Response xmlns:u=\"urn:schemas-upnp-org:service:WANIPConnection:1\">" + fields +
              "</u:" + action + "Response></s:Body></s:Envelope>");
}

bool UdpPortFree(std::uint16_t port) {
  const LUniqueFd fd(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  const sockaddr_in address = LMakeSockaddrIPv4(INADDR_ANY, port);
  return bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

std::atomic<int> gTicks{0};

// The probe's clock in the slow-link case: a second later at every reading.
std::chrono::steady_clock::time_point TickingClock() {
  return std::chrono::steady_clock::time_point(std::chrono::seconds(++gTicks));
}

class RoutingProbeTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    LSettingSetString("Routing", "LocalPort", "8089");
    LSettingSetString("Routing", "PublicPort", "8090");
    options_.interfaceAddresses = std::vector<std::uint32_t>{kPrivate};
    options_.searchTarget = LMakeSockaddrIPv4(INADDR_LOOPBACK, peer_.UdpPort());
    options_.searchPort = KavrixFreeLoopbackPort();
    options_.searchRounds = 1;
  }

  LRoutingProbeOutcome Probe() {
    LLogProgressDialog dialog;
    const LRoutingProbeOutcome outcome = LNetRoutingRunWizard(dialog, options_);
    EXPECT_TRUE(UdpPortFree(options_.searchPort)) << "search port still busy";
    return outcome;
  }
  bool Logged(const std::string& text) { return KavrixReadLogText().find(text) != std::string::npos; }
  static std::string Routing(const char* key) { return LSettingGetString("Routing", key); }
  // The values of several "Routing" keys, "|" after each.
  static std::string Routing(std::initializer_list<const char*> keys) {
    std::string out;
    for (const char* key : keys) out += Routing(key) + "|";
    return out;
  }

  ScriptedPeer peer_;
  LRoutingProbeOptions options_;
};

TEST_F(RoutingProbeTest, MapsThePortWithTheExactRequests) {
  peer_.SetSearchAnswer("HTTP/1.1 200 OK\r\nlocation:  http://127.0.0.1:%PORT%/desc.xml\r\n\r\n");
  peer_.AddAnswer({Description("/ctl?a=1&amp;b=2")});
  peer_.AddAnswer({SoapAnswer("GetConnectionTypeInfo", "<NewConnectionType>IP_Routed</NewConnectionType>")});
  peer_.AddAnswer({SoapAnswer("GetNATRSIPStatus", "<NewRSIPAvailable>0</NewRSIPAvailable><NewNATEnabled>1</NewNATEnabled>")});
  peer_.AddAnswer({SoapAnswer("GetExternalIPAddress", "<NewExternalIPAddress>203.0.113.&#55;</NewExternalIPAddress>")});
  peer_.AddAnswer({SoapAnswer("AddPortMapping", "")});

  const LRoutingProbeOutcome outcome = Probe();
  ASSERT_EQ(outcome.result, kLProcessDone) << KavrixReadLogText();
  EXPECT_EQ(peer_.Searches(),
            std::vector<std::string>{
                "M-SEARCH * HTTP/1.1\r\nHOST: 239.255.255.250:1900\r\nMAN: \"ssdp:discover\"\r\n"
                "MX: 2\r\nST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n\r\n"});
  const std::vector<std::string> requests = peer_.Requests();
  ASSERT_EQ(requests.size(), 5u);
  const std::string host = "127.0.0.1:" + std::to_string(peer_.TcpPort());
  EXPECT_EQ(requests[0], "GET /desc.xml HTTP/1.1\r\nHost: " + host + "\r\nConnection: close\r\n\r\n");
  const std::string body =
      "<?xml version=\"1.0\"?>\r\n<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
      "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body><u:AddPortMapping "
      "xmlns:u=\"urn:schemas-upnp-org:service:WANIPConnection:1\"><NewRemoteHost></NewRemoteHost>"
      "<NewExternalPort>8090</NewExternalPort><NewProtocol>TCP</NewProtocol><NewInternalPort>8089"
      "</NewInternalPort><NewInternalClient>192.168.77.2</NewInternalClient><NewEnabled>1</NewEnabled>"
      "<NewPortMappingDescription>KavrixServer TCP Redirection</NewPortMappingDescription>"
      "<NewLeaseDuration>0</NewLeaseDuration></u:AddPortMapping></s:Body></s:Envelope>\r\n";
  EXPECT_EQ(requests[4], "POST /ctl?a=1&b=2 HTTP/1.1\r\nHost: " + host + "\r\nCONTENT-LENGTH: " +
                             std::to_string(body.size()) +
                             "\r\nCONTENT-TYPE: text/xml; charset=\"utf-8\"\r\nSOAPACTION: "
                             "\"urn:schemas-upnp-org:service:WANIPConnection:1#AddPortMapping\"\r\n\r\n" +
                             body);
  EXPECT_EQ(Routing({"StaticIPAddress", "TryuPNP", "LocalAddressMode", "WizardRun"}), "203.0.113.7|1|1|1|");
}

TEST_F(RoutingProbeTest, RouterWithoutAddressTranslationIsSkipped) {
  peer_.SetSearchAnswer("HTTP/1.1 200 OK\r\nLOCATION: http://127.0.0.1:%PORT%/d\r\n\r\n");
  peer_.AddAnswer({Description("/ctl")});
  peer_.AddAnswer({SoapAnswer("GetConnectionTypeInfo", "<NewConnectionType>IP_Routed</NewConnectionType>")});
  peer_.AddAnswer({SoapAnswer("GetNATRSIPStatus", "<NewNATEnabled>0</NewNATEnabled>")});
  EXPECT_EQ(Probe().result, kLProcessFailed);
  EXPECT_EQ(peer_.Requests().size(), 3u);
  EXPECT_TRUE(Logged("not usable: WANIPConnection:1 does no address translation; WANPPPConnection:1 not offered"));
  EXPECT_EQ(Routing("WizardRun"), "");
}

// Answers that must never lead the probe anywhere: each is logged and the
// probe fails once the search goes unanswered.
TEST_F(RoutingProbeTest, UntrustedSearchAnswersAreIgnored) {
  const struct {
    std::string answer;
    std::string logged;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nLOCATION: http://127.0.0.2:%PORT%/d\r\n\r\n",
       "ignored a description address on another host than 127.0.0.1: http://127.0.0.2:"},
      {"HTTP/1.1 200 OK\r\nX-LOCATION: http://127.0.0.1:%PORT%/d\r\n" + std::string(9000, 'x'),
       "UPnP: no router answered the search"},
  };
  for (const auto& c : cases) {
    peer_.SetSearchAnswer(c.answer);
    EXPECT_EQ(Probe().result, kLProcessFailed) << c.answer.substr(0, 60);
    EXPECT_TRUE(Logged(c.logged)) << c.logged;
  }
  EXPECT_EQ(peer_.Requests().size(), 0u);
}

// A description that never ends, one that drips, and garbage: each is
// read within its bounds and the router counts as unusable.
TEST_F(RoutingProbeTest, HugeSlowAndMalformedDescriptionsFailCleanly) {
  peer_.SetSearchAnswer("HTTP/1.1 200 OK\r\nLOCATION: http://127.0.0.1:%PORT%/d\r\n\r\n");
  peer_.AddAnswer({std::string(65536, '<')});
  // A byte at every reading of the probe's clock: never silent for long,
  // only the deadline ends it.
  peer_.AddAnswer({"HTTP/1.1 200 OK\r\n\r\n<controlURL>", 1, &gTicks, 0});
  EXPECT_EQ(Probe().result, kLProcessFailed);
  LUPnPSetClock(&TickingClock);
  EXPECT_EQ(Probe().result, kLProcessFailed);
  LUPnPSetClock(nullptr);
  EXPECT_EQ(peer_.Requests().size(), 2u);
  EXPECT_TRUE(Logged("not usable: WANIPConnection:1 not offered; WANPPPConnection:1 not offered"));
}

TEST_F(RoutingProbeTest, StopEndsTheSearchAtOnce) {
  options_.searchRounds = kLSSDPRounds;
  LLogProgressDialog dialog;
  LRoutingProbe probe(options_);
  std::thread stopper([&] {
    KavrixWaitUntil([&] { return !peer_.Searches().empty(); });
    dialog.Stop();
  });
  EXPECT_EQ(dialog.RunProcess("Network Probe Setup Wizard", probe), kLProcessStopped);
  stopper.join();
  EXPECT_TRUE(UdpPortFree(options_.searchPort));
  EXPECT_EQ(Routing("WizardRun"), "");
}

TEST_F(RoutingProbeTest, PublicInterfaceAddressNeedsNoRouter) {
  options_.interfaceAddresses = std::vector<std::uint32_t>{kPublic};
  LSettingSetString("Routing", "TryuPNP", "1");
  EXPECT_EQ(Probe().result, kLProcessDone);
  EXPECT_TRUE(peer_.Searches().empty());
  EXPECT_EQ(Routing({"StaticIPAddress", "LocalAddressMode", "PublicAddressMode", "TryuPNP"}), "203.0.113.9|4|0|0|");
}

TEST_F(RoutingProbeTest, StartUpCheckSchedule) {
  options_.interfaceAddresses = std::vector<std::uint32_t>{kPublic};
  LLogProgressDialog dialog;
  constexpr std::int32_t kStart = 1800000000;
  const auto checkAt = [&](std::int32_t now) {
    LDateTime::SetFakeNow(now);
    LNetRoutingCheckGUI(dialog, options_);
  };
  LSettingSetString("Routing", "WizardRunLater", std::to_string(kStart + 1));
  checkAt(kStart);
  EXPECT_EQ(Routing("StaticIPAddress"), "");  // nothing ran

  LSettingSetString("Routing", "WizardRunLater", std::to_string(kStart));
  checkAt(kStart);  // the first run
  EXPECT_EQ(Routing({"WizardRun", "WizardRunDate"}), "1||");
  checkAt(kStart);  // the first re-check
  EXPECT_EQ(Routing({"WizardRunDate", "PublicAddressMode"}), std::to_string(kStart) + "|0|");
  checkAt(kStart + kLRoutingConfirmSeconds - 1);
  EXPECT_EQ(Routing("PublicAddressMode"), "0");
  checkAt(kStart + kLRoutingConfirmSeconds);
  EXPECT_EQ(Routing("PublicAddressMode"), "1");
  LSettingSetString("Routing", "StaticIPAddress", "");
  checkAt(kStart + kLRoutingConfirmSeconds);  // confirmed: no more checks
  EXPECT_EQ(Routing("StaticIPAddress"), "");
  LDateTime::ClearFakeNow();
}

TEST_F(RoutingProbeTest, ManualChoices) {
  LDateTime::SetFakeNow(1800000000);
  LNetRoutingSetManualAddress("198.51.100.4");
  EXPECT_EQ(Routing({"StaticIPAddress", "PublicAddressMode"}), "198.51.100.4|1|");
  LNetRoutingSetManualAddress("office.example");
  EXPECT_EQ(Routing({"DomainName", "PublicAddressMode"}), "office.example|2|");
  LNetRoutingRemindLater();
  EXPECT_EQ(Routing({"WizardRun", "WizardRunLater", "PublicAddressMode"}), "0|1800864000|0|");
  LNetRoutingNoInternetAccess();
  EXPECT_EQ(Routing({"WizardRun", "PublicAddressMode"}), "1|3|");
  LDateTime::ClearFakeNow();
}

}  // namespace
