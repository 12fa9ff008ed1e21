#pragma once
// The text of the init script that starts and stops the installed service
// with start-stop-daemon (Debian style, LSB init functions).

#include <string>
#include <string_view>

// `serviceExecutable` is the installed service program
// ("/usr/sbin/kavrixserverd" in a real installation).
std::string LServiceInitScriptText(std::string_view serviceExecutable);
