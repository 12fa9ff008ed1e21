#include "web/pages/setup/routing_page.h"

#include <string>
#include <vector>

#include "engine/https_settings.h"
#include "engine/port_settings.h"
#include "engine/settings_change.h"
#include "foundation/settings_sections.h"
#include "routing/ip_ranges.h"
#include "routing/routing_settings.h"
#include "web/http/same_origin.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/common/dialog_defaults.h"
#include "web/pages/setup/https_port_field.h"
#include "web/panel/access_rules.h"

namespace {

constexpr int kLocalModeId = 101;
constexpr int kPublicModeId = 102;
constexpr int kPublicAddressId = 103;
constexpr int kLocalPortId = 105;
constexpr int kSamePortId = 106;
constexpr int kOtherPortId = 107;
constexpr int kPublicPortId = 108;
constexpr int kHttpsPortId = 109;

std::vector<std::string> LocalModeItems() {
  std::vector<std::string> items;
  for (int mode = 0; mode < kLLocalAddressModes; ++mode)
    items.push_back(LLocalAddressModeDescription(mode));
  return items;
}

std::vector<std::string> PublicModeItems() {
  std::vector<std::string> items;
  for (int mode = 0; mode < kLPublicAddressModes; ++mode)
    items.emplace_back(LPublicAddressModeDescription(mode));
  return items;
}

// A posted mode outside the list (a hand-made post) counts as mode 0.
int ModeIn(int value, int count) { return value >= 0 && value < count ? value : 0; }

// The public address shown for `mode`: the stored one, or when none is
// stored, this computer's, which is what the readers then take.
std::string ShownPublicAddress(int mode) {
  std::string address;
  if (mode == kLPublicDontCare) return address;
  LNetRoutingGetPublicAddress(mode, address);
  return address.empty() ? LNetRoutingInterfacePublicAddress() : address;
}


// The host part of the request's Host header: the name the browser used to
// reach this server, so the new address is one that browser can follow.
std::string RequestHost(LWebletForm& form) {
  std::string host = LWebletHostHeaderHost(form.Headers().GetParm("Host"));
  const std::size_t colon = host.rfind(':');
  if (colon != std::string::npos && host.find(']') == std::string::npos) host.resize(colon);
  if (host.empty()) LNetRoutingGetPrivateAddress(LNetRoutingGetMode(kLRoutingLocalAddressMode), host);
  return host;
}

}  // namespace

LKXRoutingPage::LKXRoutingPage(LWebletForm& form)
    : LKXWebDialog(form, "routing", "Routing Options", 0) {}

void LKXRoutingPage::InitDialog() {
  const int localMode = ModeIn(LNetRoutingGetMode(kLRoutingLocalAddressMode), kLLocalAddressModes);
  const int publicMode = ModeIn(LNetRoutingGetMode(kLRoutingPublicAddressMode), kLPublicAddressModes);
  SetInt(kLocalModeId, localMode);
  SetInt(kPublicModeId, publicMode);
  SetText(kPublicAddressId, ShownPublicAddress(publicMode));
  const int localPort = LReadLocalPortSetting();
  const int publicPort = LNetRoutingGetPublicPort();
  SetInt(kLocalPortId, localPort);
  SetRadioCheck(publicPort == localPort ? kSamePortId : kOtherPortId, true);
  SetInt(kPublicPortId, publicPort == localPort ? localPort : publicPort);
  SetInt(kHttpsPortId, LReadHttpsPortSetting());
}

void LKXRoutingPage::Generate() {
  if (LocalPortChanged()) WritePortChangedNotice();
  if (httpsChanged_ && httpsPort_ != 0) WriteHttpsOnNotice();
  StartGroupBox("Internet Address");
  AddPullDownList(kLocalModeId, "From Local Network", LocalModeItems());
  AddPullDownList(kPublicModeId, "From Public Internet", PublicModeItems());
  AddInput(kPublicAddressId, "Public host name or IP address", 30);
  EndGroupBox();
  StartGroupBox("Ports");
  AddInput(kLocalPortId, "Run on Port", 6);
  AddRadioButton(kSamePortId, "Use same port");
  AddRadioButtonWithInput(kOtherPortId, kPublicPortId, "Router use a different port", false, 6, "");
  EndGroupBox();
  StartGroupBox("HTTPS");
  AddInput(kHttpsPortId, kKXHttpsPortLabel, 6);
  EndGroupBox();
  // Outside the box: a long line inside it would widen the label column.
  AddStatic(kKXHttpsPortNote);
  StartGroupBox("Example URLs");
  WriteExampleLinks();
  EndGroupBox();
  // After a move the notice above says what happened.
  if (!LocalPortChanged() && !httpsChanged_) AddStatic(kLRoutingApplyNote);
}

void LKXRoutingPage::WriteExampleLinks() {
  const int localPort = LReadLocalPortSetting();
  std::string publicAddress;
  if (LNetRoutingGetMode(kLRoutingPublicAddressMode) != kLPublicDontCare)
    LNetRoutingGetPublicAddress(publicAddress);
  std::string localAddress;
  LNetRoutingGetPrivateAddress(LNetRoutingGetMode(kLRoutingLocalAddressMode), localAddress);
  const struct {
    std::string host;
    int port;
    const char* note;
  } links[] = {{publicAddress, LNetRoutingGetPublicPort(), "(General Internet)"},
               {localAddress, localPort, "(Local network)"},
               {"localhost", localPort, "(This Computer)"}};
  for (const auto& link : links) {
    if (link.host.empty()) continue;
    const std::string url = LNetRoutingExampleURL(link.host, link.port);
    StartRow(-1, 1);
    wfformat(Form(), "<a href=\"%H\" target=t2>%H</a> %H</td></tr>", url, url, link.note);
  }
}

void LKXRoutingPage::WritePortChangedNotice() {
  const std::string url = LNetRoutingExampleURL(RequestHost(Form()), newLocalPort_) + "/mainpage";
  StartRow(-1, 1);
  wfformat(Form(),
           "<b>The server now answers on port %d. Continue at <a href=\"%H\">%H</a></b></td></tr>",
           newLocalPort_, url, url);
}

void LKXRoutingPage::WriteHttpsOnNotice() {
  const std::string url = KXHttpsMainPageAddress(Form().Headers().GetParm("Host"), httpsPort_);
  StartRow(-1, 1);
  wfformat(Form(), "<b>The panel now answers over HTTPS. Continue at <a href=\"%H\">%H</a></b></td></tr>", url, url);
}

bool LKXRoutingPage::CmOk() {
  const int localMode = ModeIn(GetControlValueInt(kLocalModeId), kLLocalAddressModes);
  const int publicMode = ModeIn(GetControlValueInt(kPublicModeId), kLPublicAddressModes);
  std::string address;
  GetTextAndTrim(kPublicAddressId, address);
  // Everything is checked before anything is stored, so a refused form
  // leaves the settings as they were.
  if (publicMode == kLPublicDomainName && address.empty()) {
    PopupControlDataInvalid(kPublicAddressId, kLRoutingHostInvalid);
    return false;
  }
  if ((publicMode == kLPublicStaticNotSure || publicMode == kLPublicStaticConfirmed) &&
      !LParseDottedIPv4(address)) {
    PopupControlDataInvalid(kPublicAddressId, kLRoutingAddressInvalid);
    return false;
  }
  const int localPort = LNetRoutingPortIn(GetControlValue(kLocalPortId));
  if (localPort == 0) {
    PopupControlDataInvalid(kLocalPortId, kLRoutingLocalPortInvalid);
    return false;
  }
  int publicPort = localPort;
  if (!GetRadioCheck(kSamePortId)) {
    publicPort = LNetRoutingPortIn(GetControlValue(kPublicPortId));
    if (publicPort == 0) {
      // The router's port shares the row of its radio button, which is
      // where the message must show.
      PopupControlDataInvalid(kOtherPortId, kLRoutingPublicPortInvalid);
      return false;
    }
  }
  const int httpsPort = KXHttpsPortIn(GetControlValue(kHttpsPortId), localPort);
  if (httpsPort < 0) {
    PopupControlDataInvalid(kHttpsPortId, kKXHttpsPortInvalid);
    return false;
  }
  // Only what the form changed is stored: a missing key keeps its default,
  // and an address this computer gives is not pinned.
  const int oldLocalPort = LReadLocalPortSetting();
  if (localMode != ModeIn(LNetRoutingGetMode(kLRoutingLocalAddressMode), kLLocalAddressModes))
    LSettingSetInt(kLRoutingSection, kLRoutingLocalAddressMode, localMode);
  if (publicMode != ModeIn(LNetRoutingGetMode(kLRoutingPublicAddressMode), kLPublicAddressModes))
    LSettingSetInt(kLRoutingSection, kLRoutingPublicAddressMode, publicMode);
  if (address != ShownPublicAddress(publicMode)) LNetRoutingSetPublicAddress(publicMode, address);
  if (localPort != oldLocalPort) LSettingSetInt(kLRoutingSection, kLRoutingLocalPort, localPort);
  if (publicPort != LNetRoutingGetPublicPort()) LSettingSetInt(kLRoutingSection, kLRoutingPublicPort, publicPort);
  httpsChanged_ = KXStoreHttpsPort(httpsPort);
  httpsPort_ = httpsPort;
  const bool httpsOn = httpsChanged_ && httpsPort != 0;
  if (localPort == oldLocalPort && !httpsOn) return true;
  // The browser's next request must go to the new port: the answer says
  // where, instead of a redirect to the old one.
  if (localPort != oldLocalPort) newLocalPort_ = localPort;
  InitDialog();
  _PrintDialog();
  SetAnswered();
  return true;
}

void WLRoutingPage(LWebletForm& form) {
  WLDefaultDialogTargets(form, "mainpage", "mainpage");
  LKXRoutingPage page(form);
  page.Run();
  if (page.LocalPortChanged() || page.HttpsPortChanged()) {
    // The listeners restart and cut their connections: the answer that
    // says where the panel went must have left before.
    (void)form.FinishResponse();
    LRequestSettingsChanged();
  }
}
