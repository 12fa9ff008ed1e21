#include "sim_cli.h"

#include "sim_load.h"
#include "sim_options.h"
#include "sim_script.h"
#include "sim_station.h"
#include "sim_text.h"
#include "sim_users.h"

namespace {

void PrintLine(std::FILE* out, const std::string& line) {
  std::fprintf(out, "%s\n", line.c_str());
  std::fflush(out);
}

bool ReadLine(std::FILE* in, std::string& line) {
  line.clear();
  int c = 0;
  while ((c = std::fgetc(in)) != EOF) {
    if (c == '\n') return true;
    line += static_cast<char>(c);
  }
  return !line.empty();
}

// Runs the --command lines, then the script; stops at the first failure.
bool RunScript(KXSimScriptRunner& runner, const KXSimCliOptions& o, std::FILE* in, std::FILE* err) {
  std::string error;
  for (const std::string& command : o.commands) {
    if (!runner.RunLine(command, error)) {
      std::fprintf(err, "--command %s: %s\n", KXSimQuote(command).c_str(), error.c_str());
      return false;
    }
  }
  if (o.scriptFile.empty()) return true;
  std::FILE* script = o.scriptFile == "-" ? in : std::fopen(o.scriptFile.c_str(), "r");
  if (script == nullptr) {
    std::fprintf(err, "cannot read script %s\n", o.scriptFile.c_str());
    return false;
  }
  bool ok = true;
  std::string line;
  for (int number = 1; ok && ReadLine(script, line); ++number) {
    ok = runner.RunLine(line, error);
    if (!ok) std::fprintf(err, "%s:%d: %s\n", o.scriptFile.c_str(), number, error.c_str());
  }
  if (script != in) std::fclose(script);
  return ok;
}

int RunStation(const KXSimCliOptions& o, std::FILE* in, std::FILE* out, std::FILE* err) {
  std::string picture;
  if (!o.answerScreensFile.empty() && !KXSimReadFile(o.answerScreensFile, picture)) {
    std::fprintf(err, "cannot read %s\n", o.answerScreensFile.c_str());
    return 1;
  }
  KXSimStation station(o.host, o.port);
  std::string error;
  if (!station.LogOn(o.user, o.password, o.flags, o.timeZone, error)) {
    std::fprintf(err, "%s\n", error.c_str());
    return 1;
  }
  KXSimMessage hello;
  hello.type = kLKXMsgHello;
  hello.hello = station.Hello();
  PrintLine(out, KXSimFormatMessage(hello));
  PrintLine(out, "logon result=" + std::to_string(station.Reply().result) +
                     " session=" + KXSimQuote(station.Reply().sessionId) +
                     " recording=" + std::to_string(station.Reply().recordingFlags));
  if (station.Reply().result != kLKXLogonAccepted) return 1;
  KXSimScriptRunner runner(station, [out](const std::string& line) { PrintLine(out, line); }, picture);
  return RunScript(runner, o, in, err) ? 0 : 1;
}

int RunLoad(const KXSimCliOptions& o, std::FILE* out, std::FILE* err) {
  KXSimLoadOptions load;
  load.host = o.host;
  load.port = o.port;
  load.durationSeconds = o.durationSeconds;
  load.activityEveryMs = o.activityEveryMs;
  load.presenceEveryMs = o.presenceEveryMs;
  load.serverPid = o.serverPid;
  load.deafStations = o.deaf;
  std::string error;
  if (!KXSimReadUsersFile(o.usersFile, load.accounts, error)) {
    std::fprintf(err, "%s\n", error.c_str());
    return 1;
  }
  if (load.accounts.size() < static_cast<std::size_t>(o.stations)) {
    std::fprintf(err, "%s holds %zu accounts, %d stations asked for\n", o.usersFile.c_str(), load.accounts.size(),
                 o.stations);
    return 1;
  }
  load.accounts.resize(static_cast<std::size_t>(o.stations));
  KXSimLoadResult result;
  if (!KXSimRunLoad(load, result, error)) {
    std::fprintf(err, "%s\n", error.c_str());
    return 1;
  }
  for (const std::string& line : KXSimLoadReport(result)) PrintLine(out, line);
  return result.loggedOn == result.stations ? 0 : 1;
}

}  // namespace

int KXSimMain(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err) {
  KXSimCliOptions options;
  std::string error;
  if (args.empty() || !KXSimParseOptions(args, options, error)) {
    if (!error.empty()) std::fprintf(err, "kavrixstation-sim: %s\n", error.c_str());
    std::fputs(KXSimUsageText(), err);
    return 2;
  }
  switch (options.mode) {
    case KXSimMode::kMakeUsers:
      if (!KXSimMakeUsers(options.makeUsers, options.teams, options.usersFile, error)) {
        std::fprintf(err, "%s\n", error.c_str());
        return 1;
      }
      return 0;
    case KXSimMode::kLoad:
      return RunLoad(options, out, err);
    case KXSimMode::kStation:
      break;
  }
  return RunStation(options, in, out, err);
}
