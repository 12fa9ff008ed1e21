#include "sim_options.h"

#include <charconv>
#include <cstddef>

namespace {

// A whole decimal number within [low, high]; nothing else is accepted, so
// "--port 80x" is refused rather than read as 80.
bool ParseNumber(const std::string& text, long low, long high, long& out) {
  const char* first = text.data();
  const char* last = text.data() + text.size();
  long value = 0;
  const auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last || text.empty() || value < low || value > high) return false;
  out = value;
  return true;
}

struct NumberOption {
  const char* name;
  long low;
  long high;
};

bool StoreNumber(const std::string& name, long value, KXSimCliOptions& o) {
  if (name == "--port") o.port = static_cast<std::uint16_t>(value);
  else if (name == "--tz") o.timeZone = static_cast<std::int16_t>(value);
  else if (name == "--flags") o.flags = static_cast<std::uint16_t>(value);
  else if (name == "--stations") o.stations = static_cast<int>(value);
  else if (name == "--duration") o.durationSeconds = static_cast<int>(value);
  else if (name == "--activity-every") o.activityEveryMs = static_cast<int>(value);
  else if (name == "--presence-every") o.presenceEveryMs = static_cast<int>(value);
  else if (name == "--server-pid") o.serverPid = static_cast<int>(value);
  else if (name == "--deaf") o.deaf = static_cast<int>(value);
  else if (name == "--make-users") o.makeUsers = static_cast<int>(value);
  else if (name == "--teams") o.teams = static_cast<int>(value);
  else return false;
  return true;
}

constexpr NumberOption kNumberOptions[] = {
    {"--port", 1, 65535},          {"--tz", -1440, 1440},       {"--flags", 0, 65535},
    {"--stations", 1, 10000},      {"--duration", 1, 86400},    {"--activity-every", 10, 3600000},
    {"--presence-every", 10, 3600000}, {"--server-pid", 1, 4194304}, {"--make-users", 1, 9999},
    {"--teams", 1, 9999},          {"--deaf", 1, 9999},
};

bool StoreText(const std::string& name, const std::string& value, KXSimCliOptions& o) {
  if (name == "--host") o.host = value;
  else if (name == "--user") o.user = value;
  else if (name == "--password") o.password = value;
  else if (name == "--script") o.scriptFile = value;
  else if (name == "--command") o.commands.push_back(value);
  else if (name == "--answer-screens") o.answerScreensFile = value;
  else if (name == "--users-file") o.usersFile = value;
  else return false;
  return true;
}

bool CheckMode(KXSimCliOptions& o, std::string& error) {
  if (o.makeUsers > 0) {
    o.mode = KXSimMode::kMakeUsers;
    if (o.usersFile.empty()) error = "--make-users needs --users-file";
    return error.empty();
  }
  if (o.port == 0) {
    error = "--port is required";
    return false;
  }
  if (o.stations > 0) {
    o.mode = KXSimMode::kLoad;
    if (o.usersFile.empty()) error = "--stations needs --users-file";
    else if (o.deaf >= o.stations) error = "--deaf must leave some of the --stations reading";
    return error.empty();
  }
  o.mode = KXSimMode::kStation;
  if (o.user.empty()) error = "--user is required";
  return error.empty();
}

}  // namespace

bool KXSimParseOptions(const std::vector<std::string>& args, KXSimCliOptions& options, std::string& error) {
  error.clear();
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (i + 1 >= args.size()) {
      error = name.rfind("--", 0) == 0 ? name + " needs a value" : "unexpected argument " + name;
      return false;
    }
    const std::string& value = args[++i];
    if (StoreText(name, value, options)) continue;
    bool known = false;
    for (const NumberOption& option : kNumberOptions) {
      if (name != option.name) continue;
      known = true;
      long number = 0;
      if (!ParseNumber(value, option.low, option.high, number)) {
        error = name + ": not a number from " + std::to_string(option.low) + " to " +
                std::to_string(option.high) + ": " + value;
        return false;
      }
      StoreNumber(name, number, options);
    }
    if (!known) {
      error = "unknown option " + name;
      return false;
    }
  }
  return CheckMode(options, error);
}

const char* KXSimUsageText() {
  return "usage:\n"
         "  kavrixstation-sim --port P --user EMAIL --password W [--host H] [--tz MINUTES]\n"
         "                    [--flags N] [--command LINE]... [--script FILE|-]\n"
         "                    [--answer-screens PICTURE]\n"
         "  kavrixstation-sim --port P --stations N --users-file F [--host H] [--duration S]\n"
         "                    [--activity-every MS] [--presence-every MS] [--server-pid PID]\n"
         "                    [--deaf N]\n"
         "  kavrixstation-sim --make-users N [--teams T] --users-file F\n"
         "script commands, one a line:\n"
         "  activity APP CAPTION SECONDS KEYS CLICKS [private]\n"
         "  manual SECONDS COMMENT [private]\n"
         "  presence active|idle|private LOCATION APP CAPTION PHONE\n"
         "  screenshot FILE\n"
         "  popup \"a@x,b@x\" TEXT\n"
         "  monitor USER\n"
         "  version\n"
         "  programs\n"
         "  wait SECONDS\n"
         "  listen\n";
}
