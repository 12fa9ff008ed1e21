#pragma once
// Assembles the engine the service runs: the control panel's web server with
// its URL table and the maintenance thread, plugged into MainEngine. The
// service layer is the first that sees every part (see engine/engine_parts.h):
// it hands the web server the URL table and the access rules of the panel.

#include <memory>

#include "engine/main_engine.h"

// The web server starts with the shared sub-folder "Web" as its document
// folder (the first Start switches to "webcontrol"). `notifyHandler` may be
// null. The engine is returned stopped; call Start().
std::unique_ptr<MainEngine> LCreateServiceEngine(LEngineNotifyHandler* notifyHandler);
