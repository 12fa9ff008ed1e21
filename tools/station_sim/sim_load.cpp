#include "sim_load.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>
#include <unordered_map>

#include "foundation/settings_parse.h"
#include "sim_station.h"

namespace {

using Clock = std::chrono::steady_clock;

// What one station thread did; written by that thread only, read after the
// join.
struct StationRun {
  std::size_t index = 0;
  bool deaf = false;
  bool dropped = false;  // a deaf station's connection was closed by the server
  std::vector<std::size_t> mates;  // stations of the same team, not this one
  bool loggedOn = false;
  std::uint64_t activity = 0;
  std::uint64_t presence = 0;
  std::uint64_t failures = 0;
  std::uint64_t states = 0;
  std::vector<std::pair<std::uint64_t, Clock::time_point>> sent;  // presence number, send time
  // First arrival of each presence number of each sending station.
  std::unordered_map<std::size_t, std::map<std::uint64_t, Clock::time_point>> arrived;
};

struct Shared {
  const KXSimLoadOptions& options;
  std::mutex mutex;  // guards logonDone, started and runStart
  std::condition_variable changed;
  std::size_t logonDone = 0;
  bool started = false;
  Clock::time_point runStart;
};

// Presence locations read "L<station>-<number>".
bool ParseToken(const std::string& location, std::size_t& station, std::uint64_t& number) {
  unsigned long long a = 0;
  unsigned long long b = 0;
  char tail = 0;
  if (std::sscanf(location.c_str(), "L%llu-%llu%c", &a, &b, &tail) != 2) return false;
  station = static_cast<std::size_t>(a);
  number = b;
  return true;
}

void Note(StationRun& run, const KXSimMessage& message) {
  if (message.type != kLKXMsgUserState) return;
  ++run.states;
  std::size_t station = 0;
  std::uint64_t number = 0;
  if (ParseToken(message.state.location, station, number)) run.arrived[station].emplace(number, Clock::now());
}

// When a mate's view of `sender` became as new as presence `number`: the
// first arrival of that number or a later one. A station is sent states,
// not events, so a change overtaken by the next before the mate's session
// looked is delivered by the next one.
bool ViewCurrentAt(const StationRun& mate, std::size_t sender, std::uint64_t number, Clock::time_point& at) {
  const auto seen = mate.arrived.find(sender);
  if (seen == mate.arrived.end()) return false;
  bool found = false;
  for (auto it = seen->second.lower_bound(number); it != seen->second.end(); ++it) {
    if (!found || it->second < at) at = it->second;
    found = true;
  }
  return found;
}

// Reads until `until`; false when the connection is gone.
bool ReadUntil(KXSimStation& station, StationRun& run, Clock::time_point until) {
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    if (left <= 0) return true;
    KXSimMessage message;
    const KXSimReceive got = station.Receive(message, static_cast<int>(std::min<long long>(left, 200)));
    if (got == KXSimReceive::kClosed) return false;
    if (got == KXSimReceive::kMessage) Note(run, message);
  }
}

bool SendActivity(KXSimStation& station, StationRun& run, int everyMs) {
  LKXActivityRecord r;
  r.duration = static_cast<std::uint16_t>(std::max(1, everyMs / 1000));
  r.start = static_cast<std::uint32_t>(std::time(nullptr)) - r.duration;
  r.keys = 3;
  r.clicks = 1;
  r.application = "simapp.exe";
  r.caption = "Document " + std::to_string(run.activity % 7);
  return station.SendActivity(r);
}

bool SendPresence(KXSimStation& station, StationRun& run) {
  LKXPresence p;
  p.stateFlags = run.presence % 2 == 0 ? kLKXPresenceActive : 0;
  p.location = "L" + std::to_string(run.index) + "-" + std::to_string(run.presence);
  p.application = "simapp.exe";
  p.caption = "Document";
  p.phone = "100";
  run.sent.emplace_back(run.presence, Clock::now());
  return station.SendPresence(p);
}

void RunPhase(KXSimStation& station, StationRun& run, const KXSimLoadOptions& o, Clock::time_point start,
              std::size_t count) {
  using std::chrono::milliseconds;
  const Clock::time_point end = start + std::chrono::seconds(o.durationSeconds);
  // Spread evenly: station i starts i/count of the way into each period.
  Clock::time_point nextActivity = start + milliseconds(o.activityEveryMs * run.index / count);
  Clock::time_point nextPresence = start + milliseconds(o.presenceEveryMs * run.index / count);
  for (;;) {
    const Clock::time_point due = std::min(nextActivity, nextPresence);
    if (due >= end) break;
    if (!ReadUntil(station, run, due)) return;
    if (nextActivity <= nextPresence) {
      if (SendActivity(station, run, o.activityEveryMs)) ++run.activity; else ++run.failures;
      nextActivity += milliseconds(o.activityEveryMs);
    } else {
      if (SendPresence(station, run)) ++run.presence; else ++run.failures;
      nextPresence += milliseconds(o.presenceEveryMs);
    }
  }
  ReadUntil(station, run, end + milliseconds(o.drainMs));
}

// A deaf station: holds its connection without reading until the run and
// the drain are over, then reads what it was sent to see whether the
// server closed it meanwhile.
void DeafPhase(KXSimStation& station, StationRun& run, const KXSimLoadOptions& o, Clock::time_point start) {
  const Clock::time_point end = start + std::chrono::seconds(o.durationSeconds) + std::chrono::milliseconds(o.drainMs);
  while (Clock::now() < end) std::this_thread::sleep_for(std::min<Clock::duration>(end - Clock::now(), std::chrono::milliseconds(200)));
  for (;;) {
    KXSimMessage message;
    const KXSimReceive got = station.Receive(message, 200);
    if (got == KXSimReceive::kNothing) return;
    if (got == KXSimReceive::kClosed) {
      run.dropped = true;
      return;
    }
  }
}

void StationMain(StationRun& run, Shared& shared, const KXSimAccount& account) {
  const KXSimLoadOptions& o = shared.options;
  KXSimStation station(o.host, o.port);
  std::string error;
  run.loggedOn = station.LogOn(account.email, account.password, kLKXStationMainSession, 0, error) &&
                 station.Reply().result == kLKXLogonAccepted;
  {
    std::lock_guard<std::mutex> lock(shared.mutex);
    ++shared.logonDone;
  }
  shared.changed.notify_all();
  if (!run.loggedOn) {
    std::fprintf(stderr, "%s: logon failed %s\n", account.email.c_str(), error.c_str());
    return;
  }
  if (run.deaf) station.ShrinkReceiveBuffer(4096);
  Clock::time_point start;
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(shared.mutex);
      if (shared.started) {
        start = shared.runStart;
        break;
      }
    }
    if (run.deaf) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    } else if (!ReadUntil(station, run, Clock::now() + std::chrono::milliseconds(200))) {
      return;
    }
  }
  if (run.deaf) {
    DeafPhase(station, run, o, start);
    return;
  }
  RunPhase(station, run, o, start, o.accounts.size());
}

// Deaf stations are spread evenly over the list (and so over the teams).
void FindMates(std::vector<StationRun>& runs, const std::vector<KXSimAccount>& accounts, int deaf) {
  std::unordered_map<std::string, std::vector<std::size_t>> teams;
  const std::size_t deafEvery = deaf > 0 ? std::max<std::size_t>(1, accounts.size() / static_cast<std::size_t>(deaf)) : 0;
  for (std::size_t i = 0; i < accounts.size(); ++i) {
    runs[i].index = i;
    runs[i].deaf = deafEvery > 0 && i % deafEvery == 0 && i / deafEvery < static_cast<std::size_t>(deaf);
    if (!accounts[i].team.empty()) teams[LSettingsLowerCase(accounts[i].team)].push_back(i);
  }
  for (std::size_t i = 0; i < accounts.size(); ++i) {
    if (accounts[i].team.empty()) continue;
    for (std::size_t mate : teams[LSettingsLowerCase(accounts[i].team)]) {
      if (mate != i && !runs[mate].deaf) runs[i].mates.push_back(mate);
    }
  }
}

void Collect(const std::vector<StationRun>& runs, KXSimLoadResult& r) {
  for (const StationRun& run : runs) {
    r.loggedOn += run.loggedOn ? 1 : 0;
    r.deaf += run.deaf ? 1 : 0;
    r.deafDropped += run.dropped ? 1 : 0;
    r.activitySent += run.activity;
    r.presenceSent += run.presence;
    r.sendFailures += run.failures;
    r.statesReceived += run.states;
    for (const auto& [number, sentAt] : run.sent) {
      double slowest = 0;
      bool all = true;
      for (std::size_t mate : run.mates) {
        if (!runs[mate].loggedOn) continue;
        ++r.deliveriesExpected;
        Clock::time_point at;
        if (!ViewCurrentAt(runs[mate], run.index, number, at)) {
          all = false;
          continue;
        }
        ++r.deliveriesArrived;
        const auto exact = runs[mate].arrived.at(run.index).find(number);
        if (exact == runs[mate].arrived.at(run.index).end()) ++r.deliveriesOvertaken;
        const double ms = std::chrono::duration<double, std::milli>(at - sentAt).count();
        r.deliveryMs.push_back(ms);
        slowest = std::max(slowest, ms);
      }
      if (all && !run.mates.empty()) r.fanoutMs.push_back(slowest);
    }
  }
}

std::string Fixed(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string Spread(const std::vector<double>& values) {
  const double max = values.empty() ? 0 : *std::max_element(values.begin(), values.end());
  return "median " + Fixed(KXSimPercentile(values, 50)) + " p99 " + Fixed(KXSimPercentile(values, 99)) + " max " +
         Fixed(max);
}

}  // namespace

double KXSimPercentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  std::size_t rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(values.size())));
  rank = std::clamp<std::size_t>(rank, 1, values.size());
  return values[rank - 1];
}

double KXSimProcessCpuSeconds(int pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // The command name may hold blanks and parentheses; fields count from the
  // last ')'. utime and stime are fields 14 and 15.
  const std::size_t paren = text.rfind(')');
  if (paren == std::string::npos) return -1;
  std::istringstream fields(text.substr(paren + 2));
  std::string field;
  unsigned long long utime = 0;
  unsigned long long stime = 0;
  for (int number = 3; number <= 15 && fields >> field; ++number) {
    if (number == 14) utime = std::stoull(field);
    if (number == 15) stime = std::stoull(field);
  }
  if (!fields) return -1;
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double KXSimProcessMemoryMiB(int pid, const char* key) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  const std::string prefix = std::string(key) + ":";
  while (std::getline(in, line)) {
    if (line.rfind(prefix, 0) != 0) continue;
    return std::strtod(line.c_str() + prefix.size(), nullptr) / 1024.0;  // the value is in kB
  }
  return -1;
}

bool KXSimRunLoad(const KXSimLoadOptions& options, KXSimLoadResult& result, std::string& error) {
  if (options.accounts.empty()) {
    error = "no accounts to log on with";
    return false;
  }
  result = KXSimLoadResult();
  result.stations = static_cast<int>(options.accounts.size());
  std::vector<StationRun> runs(options.accounts.size());
  FindMates(runs, options.accounts, options.deafStations);
  Shared shared{options, {}, {}, 0, false, {}};
  double cpuBefore = -1;
  Clock::time_point started;
  {
    std::vector<std::jthread> threads;
    for (std::size_t i = 0; i < runs.size(); ++i) {
      threads.emplace_back([&runs, &shared, &options, i] { StationMain(runs[i], shared, options.accounts[i]); });
    }
    {
      std::unique_lock<std::mutex> lock(shared.mutex);
      while (shared.logonDone < runs.size()) shared.changed.wait_for(lock, std::chrono::milliseconds(200));
      shared.started = true;
      shared.runStart = started = Clock::now();
    }
    if (options.serverPid > 0) cpuBefore = KXSimProcessCpuSeconds(options.serverPid);
    const Clock::time_point end = started + std::chrono::seconds(options.durationSeconds);
    while (Clock::now() < end) std::this_thread::sleep_for(std::min<Clock::duration>(end - Clock::now(), std::chrono::milliseconds(200)));
    result.runSeconds = std::chrono::duration<double>(Clock::now() - started).count();
    if (options.serverPid > 0) {
      const double cpuAfter = KXSimProcessCpuSeconds(options.serverPid);
      if (cpuBefore >= 0 && cpuAfter >= 0) result.serverCpuPercent = (cpuAfter - cpuBefore) / result.runSeconds * 100;
      result.serverRssMiB = KXSimProcessMemoryMiB(options.serverPid, "VmRSS");
      result.serverHwmMiB = KXSimProcessMemoryMiB(options.serverPid, "VmHWM");
    }
  }  // the threads end after their drain time and are joined here
  Collect(runs, result);
  return true;
}

std::vector<std::string> KXSimLoadReport(const KXSimLoadResult& r) {
  std::vector<std::string> lines;
  lines.push_back("stations " + std::to_string(r.stations) + " logged-on " + std::to_string(r.loggedOn));
  if (r.deaf > 0) {
    lines.push_back("deaf-stations " + std::to_string(r.deaf) + " dropped-by-server " + std::to_string(r.deafDropped));
  }
  lines.push_back("run-seconds " + Fixed(r.runSeconds));
  lines.push_back("activity-sent " + std::to_string(r.activitySent));
  lines.push_back("presence-sent " + std::to_string(r.presenceSent));
  lines.push_back("send-failures " + std::to_string(r.sendFailures));
  lines.push_back("states-received " + std::to_string(r.statesReceived));
  lines.push_back("presence-deliveries expected " + std::to_string(r.deliveriesExpected) + " arrived " +
                  std::to_string(r.deliveriesArrived) + " overtaken " + std::to_string(r.deliveriesOvertaken));
  lines.push_back("delivery-latency-ms " + Spread(r.deliveryMs));
  lines.push_back("fanout-latency-ms " + Spread(r.fanoutMs) + " (until every team mate has it; target p99 < 100)");
  if (r.serverCpuPercent >= 0) {
    lines.push_back("server-cpu-percent " + Fixed(r.serverCpuPercent) + " (of one core; target < 35)");
  }
  if (r.serverRssMiB >= 0) {
    lines.push_back("server-memory-mib rss " + Fixed(r.serverRssMiB) + " hwm " + Fixed(r.serverHwmMiB) +
                    " (target < 150)");
  }
  return lines;
}
