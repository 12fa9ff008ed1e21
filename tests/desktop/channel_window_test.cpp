// The control window against a service engine in this process, on the real
// control socket: the service's log lines reach the window, and a
// confirmed Options dialog tells the service that the settings changed.

#include <gtest/gtest.h>

#include "desktop/gdk_lock.h"
#include "desktop/main_dialog.h"
#include "desktop_display.h"
#include "foundation/settings_sections.h"
#include "service/service_engine.h"
#include "support/recording_engine.h"
#include "support/test_helpers.h"

namespace {

std::string Commands() { return KavrixRecordingEngine::Commands(); }

class ChannelWindowTest : public DesktopDisplayTest {};

TEST_F(ChannelWindowTest, ServiceLogLinesShowAndConfirmedOptionsReachTheService) {
  KAVRIX_NEED_DISPLAY();
  LGdkLock lock;
  ASSERT_TRUE(LSettingSetString("Routing", "LocalPort", "8125"));
  ASSERT_TRUE(LSettingSetString("Routing", "PreviousLocalPort", "8125"));
  LServicePaths paths;
  paths.procFolder = TempDir() + "/proc";
  paths.controlSocket = TempDir() + "/.spipe.test";
  LServiceEngine<KavrixRecordingEngine> service(paths.controlSocket, KavrixRecordingEngine::Make);
  service.Start();
  LambdaThread dispatcher([&service](LThread* self) { service.Wait(self); });
  ASSERT_TRUE(dispatcher.Start(0));
  {
    MainEngineProxy proxy(paths);
    MainDialog window(proxy, paths);
    proxy.SetStatusWindow(&window);
    window.InitDialog();
    window.BringToFront();
    ASSERT_TRUE(proxy.OpenChannel());
    ASSERT_TRUE(proxy.StartReading());
    ASSERT_TRUE(RunUntil([&] { return service.ConnectionCount() == 1; }));

    service.Log("12:00:01", "A line of the service", 0);
    service.Log("12:00:02", "An error of the service", 1);
    ASSERT_TRUE(RunUntil([&] {
      return window.Status().Text().find("12:00:01 A line of the service\n12:00:02 An error of the service\n") !=
             std::string::npos;
    })) << window.Status().Text();

    WhenShown("Options", GTK_RESPONSE_OK);
    window.OnCommand(kCmOptions);
    ASSERT_TRUE(RunUntil([] { return Commands() == "1:;"; })) << Commands();
    proxy.Stop();
    proxy.SetStatusWindow(nullptr);
  }
  dispatcher.StopThreadNow();
  service.Shutdown();
}

}  // namespace
