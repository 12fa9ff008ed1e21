#pragma once
// The command line of kavrixstation-sim. Three modes:
//   one station:  --port P --user U --password W [--host H] [--tz M] [--flags F]
//                 [--script FILE|-] [--command LINE]... [--answer-screens FILE]
//   load run:     --port P --stations N --users-file F [--duration S]
//                 [--activity-every MS] [--presence-every MS] [--server-pid PID]
//                 [--deaf N]
//   set-up:       --make-users N [--teams T] --users-file F
// Anything else is a usage error (exit status 2).

#include <cstdint>
#include <string>
#include <vector>

enum class KXSimMode { kStation, kLoad, kMakeUsers };

struct KXSimCliOptions {
  KXSimMode mode = KXSimMode::kStation;
  std::string host = "127.0.0.1";
  std::uint16_t port = 0;
  std::string user;
  std::string password;
  std::int16_t timeZone = 0;
  std::uint16_t flags = 1;
  std::string scriptFile;             // "-" is standard input
  std::vector<std::string> commands;  // --command lines, run before the script
  std::string answerScreensFile;      // picture sent for each screen request
  int stations = 0;
  std::string usersFile;
  int durationSeconds = 60;
  int activityEveryMs = 1000;
  int presenceEveryMs = 10000;
  int serverPid = 0;
  int deaf = 0;  // load run: stations that never read
  int makeUsers = 0;
  int teams = 50;
};

// False with `error` set on unknown options, missing or malformed values and
// combinations that make no sense.
bool KXSimParseOptions(const std::vector<std::string>& args, KXSimCliOptions& options, std::string& error);

// The usage text, ending in a line break.
const char* KXSimUsageText();
