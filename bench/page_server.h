#pragma once
// The panel's pages served in the benchmark's own process on a free loopback
// port, and one page timed: the page benchmarks share both.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "foundation/settings_sections.h"
#include "loopback_port.h"
#include "page_fetch.h"
#include "web/http/kx_web_server.h"
#include "web/pages/common/web_script_array.h"
#include "web/panel/access_rules.h"
#include "web/session/weblet_session.h"

struct BenchPageServer {
  std::unique_ptr<LKXWebServer> server;
  std::uint16_t port = 0;

  // Call once the data root is prepared; leaves `server` empty when it does
  // not listen.
  void Start() {
    port = BenchFreeLoopbackPort();
    LSettingSetString("Routing", "LocalPort", std::to_string(port));
    server = std::make_unique<LKXWebServer>(LWebletSessionData::Folder() + "/../Web", WebScriptArray(), WLCheckAccess);
    server->Start();
    if (!server->WaitListening(10000)) server.reset();
  }
};

// Times `path` for `session`. `expected` is a text the whole page holds, so
// that a page that went wrong (an error text, a missing session) is never
// timed as if it were the report. The server's threads work for the page
// while this one only waits, and the machine may be shared: the CPU time of
// the whole process per page is the figure that does not depend on what
// else runs.
inline void BenchTimePage(benchmark::State& state, const BenchPageServer& pages, const std::string& path,
                          const std::string& session, const char* expected, bool gzip = false,
                          const std::string& headers = "") {
  if (!pages.server) {
    state.SkipWithError("server did not listen");
    return;
  }
  std::string answer;
  std::size_t wireBytes = 0;
  const double cpuBefore = BenchProcessCpuMs();
  for (auto _ : state) {
    answer = BenchFetchPage(pages.port, path, session, gzip, &wireBytes, headers);
    benchmark::DoNotOptimize(answer.data());
  }
  state.counters["process_cpu_ms"] = (BenchProcessCpuMs() - cpuBefore) / static_cast<double>(state.iterations());
  if (answer.find(expected) == std::string::npos) {
    std::fprintf(stderr, "%s answered:\n%s\n", path.c_str(), answer.substr(0, 4000).c_str());
    state.SkipWithError("the page does not hold what it should");
  }
  state.counters["page_bytes"] = static_cast<double>(answer.size());
  state.counters["wire_bytes"] = static_cast<double>(wireBytes);
}
