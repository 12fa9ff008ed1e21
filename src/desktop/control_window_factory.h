#pragma once
// The graphical control window for the desktop role.

#include "service/control_window.h"

// Initialises GDK threading and GTK once; null when no display can be opened.
std::unique_ptr<LControlWindow> LGtkControlWindowCreate(MainEngineProxy& proxy, const LServicePaths& paths);
