// What the purge of expired session files costs a request when the session
// folder holds 5000 files: the purge alone, loading a session with and
// without a purge in front of it, and a whole request over loopback with
// a session cookie (the rate-limited purge included), for scale.
//
// Everything happens under a temporary KAVRIX_ROOT made here and removed at
// the end.

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench_main.h"
#include "foundation/settings_sections.h"
#include "foundation/test_hooks.h"
#include "foundation/unique_fd.h"
#include "loopback_port.h"
#include "web/http/kx_web_server.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/access_rules.h"
#include "web/session/session_purge.h"
#include "web/session/weblet_session.h"

namespace {

constexpr int kSessionFiles = 5000;
const std::string kId = "labcdefgh1";

void FillSessionFolder() {
  const std::string folder = LWebletSessionData::Folder();
  if (std::filesystem::exists(folder + "/sabcdefgh" + std::to_string(kSessionFiles) + ".sess")) return;
  for (int i = 1; i <= kSessionFiles; ++i) {
    std::ofstream(folder + "/sabcdefgh" + std::to_string(i) + ".sess")
        << "user=user" << i << "%40office.example&seluser=x&date=2024-01-01";
  }
  std::ofstream(folder + "/" + kId + ".sess") << "user=boss%40office.example&date=2024-01-01";
}

void BM_PurgeFolder(benchmark::State& state) {
  FillSessionFolder();
  const std::string folder = LWebletSessionData::Folder();
  const std::int64_t now = time(nullptr);
  for (auto _ : state) benchmark::DoNotOptimize(LWebletPurgeSessionFolder(folder, now));
  state.SetItemsProcessed(state.iterations() * kSessionFiles);
}
BENCHMARK(BM_PurgeFolder)->Unit(benchmark::kMicrosecond);

void BM_LoadSessionPurgeEveryTime(benchmark::State& state) {
  FillSessionFolder();
  const std::string folder = LWebletSessionData::Folder();
  for (auto _ : state) {
    LWebletPurgeSessionFolder(folder, time(nullptr));
    LWebletSessionData session;
    session.LoadSession(kId);
    benchmark::DoNotOptimize(session.IsValid());
  }
}
BENCHMARK(BM_LoadSessionPurgeEveryTime)->Unit(benchmark::kMicrosecond);

void BM_LoadSessionRateLimited(benchmark::State& state) {
  FillSessionFolder();
  for (auto _ : state) {
    LWebletSessionData session;
    session.LoadSession(kId);
    benchmark::DoNotOptimize(session.IsValid());
  }
}
BENCHMARK(BM_LoadSessionRateLimited)->Unit(benchmark::kMicrosecond);

void SessionPage(LWebletForm& form) {
  wfformat(form, "HTTP/1.0 200 OK\r\n\r\n%H", form.Session().GetParm("user"));
}
const LWebScriptEntry kTable[] = {{"page", SessionPage, LWebAccess::kAnyone}};

bool OneRequest(std::uint16_t port) {
  LUniqueFd fd(::socket(AF_INET, SOCK_STREAM, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
  const std::string request = "GET /page HTTP/1.0\r\nCookie: sess=" + kId + "\r\n\r\n";
  if (::send(fd.Get(), request.data(), request.size(), MSG_NOSIGNAL) < 0) return false;
  char buffer[512];
  while (::recv(fd.Get(), buffer, sizeof buffer, 0) > 0) {
  }
  return true;
}

void BM_RequestWithSession(benchmark::State& state) {
  FillSessionFolder();
  const std::uint16_t port = BenchFreeLoopbackPort();
  LSettingSetString("Routing", "LocalPort", std::to_string(port));
  LKXWebServer server(LWebletSessionData::Folder() + "/../Web", kTable, WLCheckAccess);
  server.Start();
  if (!server.WaitListening(10000)) {
    state.SkipWithError("server did not listen");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(OneRequest(port));
}
BENCHMARK(BM_RequestWithSession)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return KavrixBenchMain(argc, argv); }
