#include "engine/main_engine.h"

#include <utility>

#include "engine/https_settings.h"
#include "engine/port_settings.h"
#include "foundation/log.h"
#include "model/users.h"

namespace {
// The maintenance jobs are background work: they yield to the connections.
constexpr int kMaintenancePriority = -10;
}  // namespace

MainEngine::MainEngine(LEngineNotifyHandler* notifyHandler,
                       std::unique_ptr<LEngineWebServer> webServer,
                       std::unique_ptr<LEngineMaintenanceThread> maintenance)
    : notifyHandler_(notifyHandler),
      webServer_(std::move(webServer)),
      maintenance_(std::move(maintenance)),
      settingsChange_([this] { Control(1, nullptr, 0); }) {}

MainEngine::~MainEngine() { Stop(); }

void MainEngine::Start() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (started_) return;
  LOG("Starting server");
  // No station can be connected yet, whatever the records say after a
  // crash or a power cut.
  KXClearAllConnectedFlags();
  webServer_->Start();
  maintenance_->StartMaintenance(kMaintenancePriority);
  started_ = true;
  if (settingsChange_.Start(0)) LSetSettingsChangeThread(&settingsChange_);
  LOG("Server Started");
}

void MainEngine::Stop() {
  LDropSettingsChangeThread(&settingsChange_);
  settingsChange_.StopThreadNow();
  std::lock_guard<std::mutex> lock(mutex_);
  if (!started_) return;
  maintenance_->StopMaintenance();
  LOG("Stopping server");
  webServer_->StopListener();
  webServer_->StopConnectionsNow();
  started_ = false;
}

void MainEngine::Control(std::uint32_t code, const void* /*data*/, std::uint32_t /*size*/) {
  if (code != 1) return;
  std::lock_guard<std::mutex> lock(mutex_);
  if (!started_) return;
  LOG("Restarting server");
  if (LReadLocalPortSetting() != webServer_->ConfiguredPort() ||
      LReadHttpsPortSetting() != webServer_->ConfiguredHttpsPort()) {
    LOG("Restarting web server");
    webServer_->StopListener();
    webServer_->StopConnectionsNow();
    webServer_->Start();
  }
  LOG("Server Started");
}

bool MainEngine::IsStarted() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return started_;
}
