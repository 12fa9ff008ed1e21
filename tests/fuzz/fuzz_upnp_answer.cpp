// Arbitrary bytes through the parsers of what a router (or anyone on the
// office network) sends the address probe: the SSDP answer, the device
// description and the SOAP answers. Besides crashes and undefined behaviour
// it checks the promises the probe relies on: values are cut to their
// limit, a URL it accepts is http with a host, and a host and port it
// accepts are in range.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "routing/ip_ranges.h"
#include "routing/upnp_messages.h"

namespace {

void Require(bool promise) {
  if (!promise) std::abort();
}

void CheckLocation(std::string_view answer) {
  std::string url;
  if (!LSSDPFindLocation(answer, url)) return;
  Require(url.size() <= kLUPnPMaxValue);
  Require(url.find('\r') == std::string::npos && url.find('\n') == std::string::npos);
  std::string hostPort, path;
  if (!LUPnPSplitURL(url, hostPort, path)) return;
  Require(!hostPort.empty() && !path.empty() && path[0] == '/');
  std::string host;
  int port = 0;
  if (LUPnPSplitHostPort(hostPort, 80, host, port)) Require(port >= 1 && port <= 65535 && !host.empty());
  // Leading zeros are allowed ("096.168.77.1"); the text form reads back.
  if (const auto address = LParseDottedIPv4(host)) Require(LParseDottedIPv4(LIPv4Text(*address)) == address);
}

void CheckSoap(std::string_view answer) {
  for (const std::string_view service : {kLUPnPServiceIP, kLUPnPServicePPP}) {
    std::string control;
    if (LUPnPFindControlURL(answer, service, control))
      Require(!control.empty() && control.size() <= kLUPnPMaxValue);
  }
  for (const std::string_view tag : {"<NewConnectionType", "<NewNATEnabled", "<NewExternalIPAddress"}) {
    std::string value;
    if (LUPnPFieldValue(answer, tag, value)) Require(value.size() <= kLUPnPMaxValue);
  }
  std::string fault;
  if (LUPnPFindFault(answer, fault)) Require(fault.rfind("refused", 0) == 0);
  Require(LXMLDecodeEntities(answer).size() <= answer.size() + 3);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The probe never looks past this many bytes of any answer.
  const std::string_view answer(reinterpret_cast<const char*>(data),
                                size < kLUPnPMaxAnswer ? size : kLUPnPMaxAnswer);
  CheckLocation(answer);
  CheckSoap(answer);
  return 0;
}
