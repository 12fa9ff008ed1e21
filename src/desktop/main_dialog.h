#pragma once
// The control window: the live log, the commands of the menu, tool bar and
// tray, the start sequence with its questions, and the close question.

#include <string>
#include <vector>

#include "desktop/control_panel_address.h"
#include "desktop/main_window.h"
#include "desktop/product_title.h"
#include "desktop/status_window.h"
#include "service/control_window.h"
#include "service/main_engine_proxy.h"

enum LMainCommand : int {
  kCmExit = 801,
  kCmCloseToTray = 802,
  kCmOpenKavrix = 1007,
  kCmOptions = 2001,
  kCmOpenControlPanel = 2002,
  kCmViewLogs = 2003,
};

inline constexpr int kLWindowMinWidth = 280;
inline constexpr int kLWindowMinHeight = 225;

inline constexpr char kLEmailRequiredTitle[] = "Email Settings Required";
inline constexpr char kLEmailRequiredText[] =
    "KavrixServer  needs to be able to send emails when required. In order to do this you should enter valid "
    "email SMTP server details (provided by your ISP). If you don't do this email might be junked. Do you know "
    "your SMTP server details?";
inline constexpr char kLConfirmStopTitle[] = "Confirm Stop";
inline constexpr char kLConfirmStopText[] = "Do you want KavrixServer to continue to operate in the background?";

class MainDialog : public LMainWindow, public LControlWindow {
 public:
  MainDialog(MainEngineProxy& proxy, LServicePaths paths);
  ~MainDialog() override;

  // LControlWindow
  void Raise() override;
  void Close() override;
  void ShowMessage(const std::string& title, const std::string& text) override;
  void Run() override;
  void QueueLogLine(const std::string& clockText, const std::string& text, std::uint8_t level) override;
  void EvControlNotify(std::uint32_t code, const void* data, size_t size) override;

  void OnCommand(int command) override;
  // Steps 1 to 3 of the start: the window built, not shown.
  void InitDialog();
  LStatusWindow& Status() { return status_; }
  MainEngineProxy& Proxy() { return proxy_; }

 protected:
  void OnCloseRequest() override;
  std::vector<LMenuItem> TrayMenuItems() override;

 private:
  void Exit();

  MainEngineProxy& proxy_;
  const LServicePaths paths_;
  LStatusWindow status_;
  // Set by Close(): the start sequence ends without showing the window.
  bool closing_ = false;
};
