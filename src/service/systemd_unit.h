#pragma once
// The systemd unit of the installed service: the program in the foreground
// under systemd's supervision, with the data folder as the only place it may
// write.

#include <string>
#include <string_view>

inline constexpr char kLServiceUnitName[] = "kavrixserverd.service";

// `serviceExecutable` is the installed program ("/usr/sbin/kavrixserverd"),
// `dataRoot` the installation root the service keeps its data in
// ("/opt/mardel", or KAVRIX_ROOT at install time).
std::string LServiceUnitText(std::string_view serviceExecutable, std::string_view dataRoot);
