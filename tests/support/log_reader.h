#pragma once
// The system log as a test sees it: every daily file of the log folder, in
// name (date) order, so a test that runs across midnight still finds its lines.

#include <string>
#include <vector>

std::string KavrixReadLogText();
// The messages of the log lines, without their "HH:MM:SS " clock text.
std::vector<std::string> KavrixLogMessages();
