// Load on the control channel: 20 desktops connected while the service logs
// 10,000 lines a second for 10 seconds, plus one desktop that never reads.
// The service engine, its log and the desktops' sockets are the real ones;
// the desktops are threads of this process reading the socket as fast as
// they can. Prints, per reading desktop, the lines received and lost, and
// the process's memory while the one that does not read falls behind
// (its queue is bounded, so memory must level off), then how many lines
// that one received and was told it missed once it starts reading.
//
//   build/bench/bench_control_channel [seconds] [lines-per-second]

#include <poll.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "foundation/log.h"
#include "service/control_wire.h"
#include "service/named_pipe.h"
#include "service/service_engine.h"

namespace {

using Clock = std::chrono::steady_clock;


class QuietEngine {
 public:
  explicit QuietEngine(LEngineNotifyHandler*) {}
  void Start() {}
  void Stop() {}
  void Control(uint32_t, const void*, uint32_t) {}
};

std::unique_ptr<QuietEngine> MakeEngine(LEngineNotifyHandler* handler) {
  return std::make_unique<QuietEngine>(handler);
}

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return atol(line.c_str() + 6);
  }
  return -1;
}

struct ReaderResult {
  long received = 0;
  long lost = 0;       // gaps in the numbering
  long toldDropped = 0;
};

// Reads until the line "load done"; counts numbered lines and gaps.
ReaderResult ReadUntilDone(int fd) {
  ReaderResult result;
  LControlMessageReader reader(false);
  LControlMessage message;
  char chunk[65536];
  long expected = 0;
  for (;;) {
    pollfd wait{fd, POLLIN, 0};
    if (poll(&wait, 1, 30000) != 1) return result;
    const ssize_t got = recv(fd, chunk, sizeof(chunk), 0);
    if (got <= 0) return result;
    reader.Feed(chunk, static_cast<size_t>(got));
    while (reader.Next(&message) == LControlMessageReader::Status::kMessage) {
      const std::string text = LControlSplitLogLine(message.payload, message.header.extra).second;
      long number = 0;
      if (sscanf(text.c_str(), "load %ld", &number) == 1) {
        result.lost += number - expected;
        expected = number + 1;
        ++result.received;
      } else if (text == "load done") {
        return result;
      } else if (text.find(" log lines were not sent") != std::string::npos) {
        result.toldDropped += atol(text.c_str());
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 && argv[1][0] != '-' ? atoi(argv[1]) : 10;
  const int perSecond = argc > 2 ? atoi(argv[2]) : 10000;
  const size_t kReaders = argc > 3 ? static_cast<size_t>(atoi(argv[3])) : 20;
  char folder[] = "/tmp/kavrix-control-bench.XXXXXX";
  if (mkdtemp(folder) == nullptr) return 1;
  setenv("KAVRIX_ROOT", folder, 1);
  const std::string socketPath = std::string(folder) + "/.spipe.bench";

  LServiceEngine<QuietEngine> service(socketPath, MakeEngine);
  service.Start();
  std::thread dispatcher([&] { service.Wait(nullptr); });

  // One at a time: the listener's backlog is 5, and a local connect to a
  // full backlog fails at once.
  std::vector<LUniqueFd> sockets;
  for (size_t i = 0; i <= kReaders; ++i) {
    sockets.push_back(LNamedPipeRef::OpenPath(socketPath));
    if (!sockets.back()) return 1;
    while (service.ConnectionCount() < i + 1) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::vector<ReaderResult> results(kReaders);
  std::vector<std::thread> readers;
  for (size_t i = 0; i < kReaders; ++i) {
    readers.emplace_back([&, i] { results[i] = ReadUntilDone(sockets[i].Get()); });
  }

  const long baseKiB = ResidentKiB();
  long peakKiB = baseKiB;
  const long total = static_cast<long>(seconds) * perSecond;
  const std::string filler(60, 'x');
  const Clock::time_point start = Clock::now();
  Clock::time_point nextSample = start;
  std::printf("second  rss_kib\n");
  for (long n = 0; n < total; ++n) {
    // Paced: line n is due at n / perSecond seconds.
    const auto due = start + std::chrono::microseconds(n * 1000000 / perSecond);
    if (Clock::now() < due) std::this_thread::sleep_until(due);
    LOGF("load %ld %s", n, filler.c_str());
    if (Clock::now() >= nextSample) {
      const long rss = ResidentKiB();
      peakKiB = std::max(peakKiB, rss);
      std::printf("%6.1f  %ld\n", std::chrono::duration<double>(Clock::now() - start).count(), rss);
      nextSample += std::chrono::seconds(1);
    }
  }
  const double took = std::chrono::duration<double>(Clock::now() - start).count();
  LOG("load done");
  for (auto& reader : readers) reader.join();

  long lostTotal = 0;
  std::printf("\n%ld lines logged in %.2f s (%.0f lines/s)\n", total, took, total / took);
  for (size_t i = 0; i < kReaders; ++i) {
    const ReaderResult& r = results[i];
    lostTotal += total - r.received;
    std::printf("reader %2zu: received %ld, lost %ld\n", i, r.received, total - r.received);
  }
  std::printf("lines lost over all %zu reading desktops: %ld\n", kReaders, lostTotal);
  std::printf("memory: %ld KiB before, peak %ld KiB (growth %ld KiB) with one desktop not reading\n", baseKiB,
              peakKiB, peakKiB - baseKiB);
  // Now the one that did not read catches up.
  LOG("load done");
  const ReaderResult slow = ReadUntilDone(sockets[kReaders].Get());
  // The dropped count covers every line it missed, the first "load done"
  // included.
  std::printf("desktop that did not read: received %ld of the %ld numbered lines, told of %ld lines dropped\n",
              slow.received, total, slow.toldDropped);

  service.StopThreadSoon();
  dispatcher.join();
  service.Shutdown();
  const std::string cleanup = std::string("rm -rf ") + folder;
  return system(cleanup.c_str()) == 0 ? 0 : 1;
}
