#pragma once
// Assembles the engine the service runs: the control panel's web server and
// the maintenance thread, plugged into MainEngine. This layer is the first
// that sees both parts (see engine/engine_parts.h).

#include <memory>

#include "engine/main_engine.h"

// The web server starts with the shared sub-folder "Web" as its document
// folder (the first Start switches to "webcontrol"). `notifyHandler` may be
// null. The engine is returned stopped; call Start().
std::unique_ptr<MainEngine> LCreateServiceEngine(LEngineNotifyHandler* notifyHandler);
