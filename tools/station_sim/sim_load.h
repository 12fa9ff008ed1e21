#pragma once
// The load run of kavrixstation-sim: one simulated station per account, each
// on its own thread, all logged on before the clock starts. During the run
// every station sends an activity record every `activityEveryMs` and a
// presence change every `presenceEveryMs`, both spread evenly over the
// stations so that the load is smooth; all the while each station reads what
// the server sends. Each presence carries a unique location text, so the
// arrival of that text at a team mate's station measures the fan-out
// latency on one clock: the time from sending a change until a team mate's
// station shows that change or a later one. After the run the stations keep reading for a few
// seconds, so that late states still count, then close.
//
// `deafStations` of them, spread over the list, log on and then never read
// nor send, their receive buffers made small: the server must not let them
// delay anyone else. They are nobody's team mates in the figures; at the
// end each reads what it was sent to learn whether the server dropped it.

#include <cstdint>
#include <string>
#include <vector>

#include "sim_users.h"

struct KXSimLoadOptions {
  std::string host = "127.0.0.1";
  std::uint16_t port = 0;
  std::vector<KXSimAccount> accounts;  // one station each
  int durationSeconds = 60;
  int activityEveryMs = 1000;
  int presenceEveryMs = 10000;
  int drainMs = 3000;
  int serverPid = 0;  // when set, its CPU time over the run and memory are read
  int deafStations = 0;
};

struct KXSimLoadResult {
  int stations = 0;
  int loggedOn = 0;
  int deaf = 0;
  int deafDropped = 0;  // deaf stations whose connection the server closed
  double runSeconds = 0;
  std::uint64_t activitySent = 0;
  std::uint64_t presenceSent = 0;
  std::uint64_t sendFailures = 0;
  std::uint64_t statesReceived = 0;
  std::uint64_t deliveriesExpected = 0;  // presence changes times team mates
  std::uint64_t deliveriesArrived = 0;
  // Of those arrived, the changes that a mate saw only as a later change
  // (overtaken before the mate's session sent states).
  std::uint64_t deliveriesOvertaken = 0;
  std::vector<double> deliveryMs;  // one per presence change and team mate
  std::vector<double> fanoutMs;    // one per presence change that reached every mate
  double serverCpuPercent = -1;    // of one core; -1 without a pid
  double serverRssMiB = -1;
  double serverHwmMiB = -1;
};

// False with `error` set when the run could not start (no accounts, no
// threads); stations that fail to log on are counted, not fatal.
bool KXSimRunLoad(const KXSimLoadOptions& options, KXSimLoadResult& result, std::string& error);

// The report, one figure a line, first word the figure's name.
std::vector<std::string> KXSimLoadReport(const KXSimLoadResult& result);

// The p-th percentile (0..100) by the nearest-rank rule; 0 for no values.
double KXSimPercentile(std::vector<double> values, double p);

// utime + stime of a process in seconds, from /proc/<pid>/stat; -1 on error.
double KXSimProcessCpuSeconds(int pid);
// A "Vm..." line of /proc/<pid>/status in MiB; -1 on error.
double KXSimProcessMemoryMiB(int pid, const char* key);
