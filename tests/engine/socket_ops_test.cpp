#include "engine/socket_ops.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "engine/socket_wait.h"
#include "socket_pair.h"
#include "support/loopback.h"
#include "support/loopback_listener.h"
#include "support/test_helpers.h"

namespace {

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  return bytes;
}

// A file in memory holding `bytes`, open for reading from its start.
LUniqueFd FileHolding(const std::string& bytes) {
  LUniqueFd fd(::memfd_create("kavrix-sendfile", MFD_CLOEXEC));
  EXPECT_EQ(::write(fd.Get(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ::lseek(fd.Get(), 0, SEEK_SET);
  return fd;
}

// A listener whose accept queue is full: further connects get no answer.
struct KavrixFullListener {
  LUniqueFd listener;
  LUniqueFd fillers[4];
  sockaddr_in address{};

  KavrixFullListener() {
    address = LMakeSockaddrIPv4(INADDR_LOOPBACK, KavrixFreeLoopbackPort());
    listener = KavrixListenLoopback(ntohs(address.sin_port), 0);
    for (LUniqueFd& filler : fillers) {
      filler.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
      ::connect(filler.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
  }
};

const std::string kBig = Pattern(4 << 20);

// What a blocked operation works on: a pair whose peer never reads nor
// writes, a listener that never accepts, and a file of kBig bytes.
struct Blocked {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  KavrixFullListener full;
  LIPSocketTCP socket;
  LUniqueFd file = FileHolding(kBig);
};

// One blocking operation: `ms` bounds it; `t` is null or the thread that runs it.
using BlockedOperation = LProcessResult (*)(Blocked& b, LThread* t, int ms);

const std::pair<const char*, BlockedOperation> kBlockedCases[] = {
    {"send", [](Blocked& b, LThread* t, int ms) { return ProcessSend(t, b.pair.ours.Get(), kBig.data(), kBig.size(), ms); }},
    {"send file",
     [](Blocked& b, LThread* t, int ms) { return ProcessSendFile(t, b.pair.ours.Get(), b.file.Get(), kBig.size(), ms); }},
    {"receive bytes",
     [](Blocked& b, LThread* t, int ms) {
       char buffer[5];
       return ProcessRecvBytes(t, b.pair.ours.Get(), buffer, 5, ms);
     }},
    {"receive line",
     [](Blocked& b, LThread* t, int ms) {
       std::string line;
       return ProcessRecvLine(t, b.pair.ours.Get(), line, 259, ms);
     }},
    {"connect", [](Blocked& b, LThread* t, int ms) { return ProcessConnect(t, b.socket, b.full.address, ms); }},
};

// A link whose peer sends one byte after every two empty slices; the
// silence is charged without the time passing.
int gSlowPeer = -1;
std::string gSlowBytes;
int gSlowSlices = 0;

LSocketSlice SlowLinkSlice(LThread* thread, int fd, short events) {
  if (++gSlowSlices % 3 != 0 || gSlowBytes.empty()) return LSocketSlice::kEmpty;
  KavrixSendAll(gSlowPeer, gSlowBytes.substr(0, 1));
  gSlowBytes.erase(0, 1);
  return LPollSocketSlice(thread, fd, events);
}

}  // namespace

// Ten empty slices (2000 ms) in all under a time-out of 500 ms: each byte
// starts the count of silence afresh, so the receive completes.
TEST(ProcessRecvBytes, ASlowLinkCountsOnlyItsSilence) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  gSlowPeer = pair.peer.Get();
  gSlowBytes = "12345";
  gSlowSlices = 0;
  LSetSocketSliceFunction(&SlowLinkSlice);
  char buffer[5] = {};
  EXPECT_EQ(ProcessRecvBytes(nullptr, pair.ours.Get(), buffer, 5, 500), kLProcessDone);
  LSetSocketSliceFunction(nullptr);
  EXPECT_EQ(std::string(buffer, 5), "12345");
  EXPECT_EQ(gSlowSlices, 15);
}

// Each operation gives up after its silence, and ends at once when its
// thread is stopped; a connect leaves no socket open either way.
TEST(SocketOps, BlockedOperationsTimeOutAndStop) {
  for (const auto& [name, operation] : kBlockedCases) {
    SCOPED_TRACE(name);
    for (const bool stop : {false, true}) {
      Blocked b;
      KavrixShrinkBuffers(b.pair);
      if (!stop) {
        EXPECT_EQ(operation(b, nullptr, 400), kLProcessFailed);
      } else {
        std::atomic<int> result{-1};
        LambdaThread worker([&, operation = operation](LThread* self) { result = operation(b, self, 600000); });
        ASSERT_TRUE(worker.Start(0));
        worker.StopThreadNow();
        EXPECT_EQ(result.load(), kLProcessStopped);
      }
      EXPECT_FALSE(b.socket.IsValid());
    }
  }
}

// Every byte in order, or a failure: a file that ends before the length, a
// peer gone (the process would die of SIGPIPE if the send did not suppress it).
TEST(ProcessSend, DeliversEveryByteInOrderOrFails) {
  const std::string data = Pattern(3 << 20);
  const struct { const char* what; bool file; std::uint64_t length; bool peer_gone; LProcessResult result; } cases[] = {
      {"bytes", false, data.size(), false, kLProcessDone}, {"no bytes", false, 0, false, kLProcessDone},
      {"peer gone", false, data.size(), true, kLProcessFailed}, {"file", true, data.size(), false, kLProcessDone},
      {"empty file", true, 0, false, kLProcessDone}, {"file too short", true, data.size() + 1, false, kLProcessFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    KavrixSocketPair pair = KavrixMakeSocketPair();
    LUniqueFd file = FileHolding(data);
    if (c.peer_gone) pair.peer.Reset();
    std::string received;
    std::thread reader([&] { received = c.peer_gone ? "" : KavrixRecvUntilClose(pair.peer.Get()); });
    EXPECT_EQ(c.file ? ProcessSendFile(nullptr, pair.ours.Get(), file.Get(), c.length, 5000)
                     : ProcessSend(nullptr, pair.ours.Get(), data.data(), c.length, 5000),
              c.result);
    pair.ours.Reset();
    reader.join();
    EXPECT_EQ(received, c.peer_gone ? std::string() : data.substr(0, c.length));
  }
}

// Chunked arrival is the slow link's; here the ends: nothing asked, and a
// peer that closes before the length is in.
TEST(ProcessRecvBytes, NothingAskedIsDoneAndAnEarlyCloseFails) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  char buffer[5] = {};
  EXPECT_EQ(ProcessRecvBytes(nullptr, pair.ours.Get(), buffer, 0, 0), kLProcessDone);
  KavrixSendAll(pair.peer.Get(), "ab");
  pair.peer.Reset();
  EXPECT_EQ(ProcessRecvBytes(nullptr, pair.ours.Get(), buffer, 5, 5000), kLProcessFailed);
}

TEST(ProcessRecvLine, DropsCarriageReturnsCutsLongLinesLeavesWhatFollowsAndEndsAtClose) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  std::string longLine;
  for (int i = 0; i < 400; ++i) longLine += static_cast<char>('a' + i % 26);
  KavrixSendAll(pair.peer.Get(), "GET / HTTP/1.1\r\nHo\rst: x\r\n\r\n" + longLine + "\r\nnext\nBODY");
  const int fd = pair.ours.Get();
  const std::vector<std::string> lines = {"GET / HTTP/1.1", "Host: x", "", longLine.substr(0, 259), "next"};
  for (const std::string& expected : lines) {
    std::string line;
    ASSERT_EQ(ProcessRecvLine(nullptr, fd, line, 259, 5000), kLProcessDone);
    EXPECT_EQ(line, expected);
  }
  char body[4];
  ASSERT_EQ(ProcessRecvBytes(nullptr, fd, body, 4, 5000), kLProcessDone);
  EXPECT_EQ(std::string(body, 4), "BODY");
  // The peer closing ends a line; after it a read fails.
  KavrixSendAll(pair.peer.Get(), "partial");
  pair.peer.Reset();
  std::string line;
  EXPECT_EQ(ProcessRecvLine(nullptr, fd, line, 259, 5000), kLProcessDone);
  EXPECT_EQ(line, "partial");
  EXPECT_EQ(ProcessRecvLine(nullptr, fd, line, 259, 5000), kLProcessFailed);
  EXPECT_EQ(line, "");
}

// An unresolved or refused connect fails and closes the socket (a refused
// one reports the socket writable); a good one is non-blocking, close-on-exec.
TEST(ProcessConnect, FailuresCloseTheSocketSuccessGivesAProgramSocket) {
  LIPSocketTCP socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  ASSERT_TRUE(socket.IsValid());
  const int before = KavrixCountOpenFds();
  EXPECT_EQ(ProcessConnect(nullptr, socket, LMakeSockaddrIPv4(0xFFFFFFFFu, 25), 10000), kLProcessFailed);
  EXPECT_FALSE(socket.IsValid());
  // A bound socket that does not listen keeps the port taken and refusing.
  LUniqueFd holder(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in address = LMakeSockaddrIPv4(INADDR_LOOPBACK, KavrixFreeLoopbackPort());
  ASSERT_EQ(::bind(holder.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  EXPECT_EQ(ProcessConnect(nullptr, socket, address, 5000), kLProcessFailed);
  EXPECT_FALSE(socket.IsValid());
  EXPECT_EQ(KavrixCountOpenFds(), before);  // the holder's only: the first socket is closed, none is new
  ASSERT_EQ(::listen(holder.Get(), 5), 0);
  ASSERT_EQ(ProcessConnect(nullptr, socket, address, 5000), kLProcessDone);
  EXPECT_TRUE((::fcntl(socket.Get(), F_GETFL) & O_NONBLOCK) && (::fcntl(socket.Get(), F_GETFD) & FD_CLOEXEC));
}
