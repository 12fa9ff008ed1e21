#pragma once
// Where the desktop's "Open Control Panel" commands lead.

#include <string>

// "http://localhost:%d" with "Routing"/"LocalPort" (89 when empty).
std::string LControlPanelAddress();
