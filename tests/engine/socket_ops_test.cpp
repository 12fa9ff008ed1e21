#include "engine/socket_ops.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "foundation/signal_object.h"
#include "socket_pair.h"
#include "support/loopback.h"
#include "support/test_helpers.h"

namespace {

using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  return bytes;
}

}  // namespace

// ---- send ----

TEST(ProcessSend, DeliversEveryByteInOrder) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  const std::string data = Pattern(1 << 20);
  std::string received;
  std::thread reader([&] { received = KavrixRecvUntilClose(pair.peer.Get()); });
  EXPECT_EQ(ProcessSend(nullptr, pair.ours.Get(), data.data(), data.size(), 5000), kLProcessDone);
  pair.ours.Reset();
  reader.join();
  EXPECT_EQ(received, data);
}

TEST(ProcessSend, ZeroLengthIsDone) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  EXPECT_EQ(ProcessSend(nullptr, pair.ours.Get(), "", 0, 0), kLProcessDone);
}

TEST(ProcessSend, TimesOutWhenThePeerNeverReads) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  KavrixShrinkBuffers(pair);
  const std::string data = Pattern(4 << 20);
  const auto start = Clock::now();
  EXPECT_EQ(ProcessSend(nullptr, pair.ours.Get(), data.data(), data.size(), 400), kLProcessFailed);
  EXPECT_GE(MillisecondsSince(start), 400);
}

// The process would die of SIGPIPE if the send did not suppress it.
TEST(ProcessSend, FailsWithoutSignalWhenThePeerIsGone) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  pair.peer.Reset();
  const std::string data = Pattern(1 << 20);
  EXPECT_EQ(ProcessSend(nullptr, pair.ours.Get(), data.data(), data.size(), 5000), kLProcessFailed);
}

TEST(ProcessSend, StopsWhenTheThreadIsStopped) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  KavrixShrinkBuffers(pair);
  const std::string data = Pattern(4 << 20);
  std::atomic<int> result{-1};
  LambdaThread sender([&](LThread* self) {
    result = ProcessSend(self, pair.ours.Get(), data.data(), data.size(), 600000);
  });
  ASSERT_TRUE(sender.Start(0));
  sender.StopThreadNow();
  EXPECT_EQ(result.load(), kLProcessStopped);
}

// ---- send a file ----

namespace {

// A file of `bytes` in a temporary folder, open for reading; removed at once.
LUniqueFd FileHolding(const std::string& bytes) {
  char name[] = "/tmp/kavrix-sendfile-XXXXXX";
  LUniqueFd fd(::mkstemp(name));
  ::unlink(name);
  EXPECT_EQ(::write(fd.Get(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ::lseek(fd.Get(), 0, SEEK_SET);
  return fd;
}

}  // namespace

TEST(ProcessSendFile, DeliversTheFileOrFailsWhenItEndsEarly) {
  const std::string data = Pattern(3 << 20);
  const struct {
    std::uint64_t length;
    LProcessResult result;
  } cases[] = {{data.size(), kLProcessDone}, {1000, kLProcessDone}, {0, kLProcessDone},
               {data.size() + 1, kLProcessFailed}};
  for (const auto& c : cases) {
    KavrixSocketPair pair = KavrixMakeSocketPair();
    LUniqueFd file = FileHolding(data);
    std::string received;
    std::thread reader([&] { received = KavrixRecvUntilClose(pair.peer.Get()); });
    EXPECT_EQ(ProcessSendFile(nullptr, pair.ours.Get(), file.Get(), c.length, 5000), c.result) << c.length;
    pair.ours.Reset();
    reader.join();
    EXPECT_EQ(received, data.substr(0, c.length)) << c.length;
  }
}

TEST(ProcessSendFile, TimesOutOrStopsWhenThePeerNeverReads) {
  const std::string data = Pattern(4 << 20);
  {
    KavrixSocketPair pair = KavrixMakeSocketPair();
    KavrixShrinkBuffers(pair);
    LUniqueFd file = FileHolding(data);
    const auto start = Clock::now();
    EXPECT_EQ(ProcessSendFile(nullptr, pair.ours.Get(), file.Get(), data.size(), 400), kLProcessFailed);
    EXPECT_GE(MillisecondsSince(start), 400);
  }
  KavrixSocketPair pair = KavrixMakeSocketPair();
  KavrixShrinkBuffers(pair);
  LUniqueFd file = FileHolding(data);
  std::atomic<int> result{-1};
  LambdaThread sender([&](LThread* self) {
    result = ProcessSendFile(self, pair.ours.Get(), file.Get(), data.size(), 600000);
  });
  ASSERT_TRUE(sender.Start(0));
  sender.StopThreadNow();
  EXPECT_EQ(result.load(), kLProcessStopped);
}

// ---- receive bytes ----

TEST(ProcessRecvBytes, ZeroLengthIsDoneAtOnceWithoutData) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  char byte = 0;
  EXPECT_EQ(ProcessRecvBytes(nullptr, pair.ours.Get(), &byte, 0, 0), kLProcessDone);
}

TEST(ProcessRecvBytes, CollectsChunksUntilTheLengthIsIn) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  LSignalObject firstTaken;
  std::thread peer([&] {
    KavrixSendAll(pair.peer.Get(), "ab");
    firstTaken.Ref().WaitSignal(10000);
    KavrixSendAll(pair.peer.Get(), "cde");
  });
  char buffer[5] = {};
  // Two bytes are there; the rest comes only after the test says so.
  EXPECT_EQ(ProcessRecvBytes(nullptr, pair.ours.Get(), buffer, 2, 5000), kLProcessDone);
  firstTaken.Signal();
  EXPECT_EQ(ProcessRecvBytes(nullptr, pair.ours.Get(), buffer + 2, 3, 5000), kLProcessDone);
  peer.join();
  EXPECT_EQ(std::string(buffer, 5), "abcde");
}

TEST(ProcessRecvBytes, FailsWhenThePeerClosesEarly) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  KavrixSendAll(pair.peer.Get(), "ab");
  pair.peer.Reset();
  char buffer[5];
  EXPECT_EQ(ProcessRecvBytes(nullptr, pair.ours.Get(), buffer, 5, 5000), kLProcessFailed);
}

TEST(ProcessRecvBytes, TimesOutAfterSilence) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  char buffer[1];
  const auto start = Clock::now();
  EXPECT_EQ(ProcessRecvBytes(nullptr, pair.ours.Get(), buffer, 1, 400), kLProcessFailed);
  EXPECT_GE(MillisecondsSince(start), 400);
}

// The peer paces five bytes half a second apart: the whole receive takes
// longer than its time-out, which only counts the silence between bytes
// (the exact arithmetic is checked in wait_budget_test.cpp).
TEST(ProcessRecvBytes, SlowLinkLongerThanTheTimeoutCompletes) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  std::thread peer([&] {
    for (char c = '1'; c <= '5'; ++c) {
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
      KavrixSendAll(pair.peer.Get(), std::string(1, c));
    }
  });
  char buffer[5] = {};
  const auto start = Clock::now();
  EXPECT_EQ(ProcessRecvBytes(nullptr, pair.ours.Get(), buffer, 5, 2000), kLProcessDone);
  EXPECT_GE(MillisecondsSince(start), 2000);
  peer.join();
  EXPECT_EQ(std::string(buffer, 5), "12345");
}

TEST(ProcessRecvBytes, StopsWhenTheThreadIsStopped) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  std::atomic<int> result{-1};
  LambdaThread receiver([&](LThread* self) {
    char buffer[5];
    result = ProcessRecvBytes(self, pair.ours.Get(), buffer, 5, 600000);
  });
  ASSERT_TRUE(receiver.Start(0));
  receiver.StopThreadNow();
  EXPECT_EQ(result.load(), kLProcessStopped);
}

// ---- receive line ----

TEST(ProcessRecvLine, DropsCarriageReturnsAndLeavesWhatFollows) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  KavrixSendAll(pair.peer.Get(), "GET / HTTP/1.1\r\nHo\rst: x\r\n\r\nBODY");
  const int fd = pair.ours.Get();
  std::string line;
  ASSERT_EQ(ProcessRecvLine(nullptr, fd, line, 259, 5000), kLProcessDone);
  EXPECT_EQ(line, "GET / HTTP/1.1");
  ASSERT_EQ(ProcessRecvLine(nullptr, fd, line, 259, 5000), kLProcessDone);
  EXPECT_EQ(line, "Host: x");
  ASSERT_EQ(ProcessRecvLine(nullptr, fd, line, 259, 5000), kLProcessDone);
  EXPECT_EQ(line, "");
  char body[4];
  ASSERT_EQ(ProcessRecvBytes(nullptr, fd, body, 4, 5000), kLProcessDone);
  EXPECT_EQ(std::string(body, 4), "BODY");
}

TEST(ProcessRecvLine, CutsALongLineButConsumesAllOfIt) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  std::string longLine;
  for (int i = 0; i < 400; ++i) longLine += static_cast<char>('a' + i % 26);
  KavrixSendAll(pair.peer.Get(), longLine + "\r\nnext\n");
  std::string line;
  ASSERT_EQ(ProcessRecvLine(nullptr, pair.ours.Get(), line, 259, 5000), kLProcessDone);
  EXPECT_EQ(line, longLine.substr(0, 259));
  ASSERT_EQ(ProcessRecvLine(nullptr, pair.ours.Get(), line, 259, 5000), kLProcessDone);
  EXPECT_EQ(line, "next");
}

TEST(ProcessRecvLine, PeerClosingEndsTheLineOrFails) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  KavrixSendAll(pair.peer.Get(), "partial");
  pair.peer.Reset();
  std::string line;
  EXPECT_EQ(ProcessRecvLine(nullptr, pair.ours.Get(), line, 259, 5000), kLProcessDone);
  EXPECT_EQ(line, "partial");
  EXPECT_EQ(ProcessRecvLine(nullptr, pair.ours.Get(), line, 259, 5000), kLProcessFailed);
  EXPECT_EQ(line, "");
  // A lone carriage return counts as a byte of the line.
  KavrixSocketPair lone = KavrixMakeSocketPair();
  KavrixSendAll(lone.peer.Get(), "\r");
  lone.peer.Reset();
  line = "old";
  EXPECT_EQ(ProcessRecvLine(nullptr, lone.ours.Get(), line, 259, 5000), kLProcessDone);
  EXPECT_EQ(line, "");
}

TEST(ProcessRecvLine, TimesOutAfterSilenceAndStops) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  std::string line;
  const auto start = Clock::now();
  EXPECT_EQ(ProcessRecvLine(nullptr, pair.ours.Get(), line, 259, 400), kLProcessFailed);
  EXPECT_GE(MillisecondsSince(start), 400);

  std::atomic<int> result{-1};
  LambdaThread receiver([&](LThread* self) {
    std::string text;
    result = ProcessRecvLine(self, pair.ours.Get(), text, 259, 600000);
  });
  ASSERT_TRUE(receiver.Start(0));
  receiver.StopThreadNow();
  EXPECT_EQ(result.load(), kLProcessStopped);
}

// ---- connect ----

TEST(ProcessConnect, UnresolvedAddressFailsAtOnceAndLeavesNoSocket) {
  LIPSocketTCP socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  ASSERT_TRUE(socket.IsValid());
  const int before = KavrixCountOpenFds();
  const sockaddr_in unresolved = LMakeSockaddrIPv4(0xFFFFFFFFu, 25);
  const auto start = Clock::now();
  EXPECT_EQ(ProcessConnect(nullptr, socket, unresolved, 10000), kLProcessFailed);
  EXPECT_LT(MillisecondsSince(start), 200);
  EXPECT_FALSE(socket.IsValid());
  EXPECT_EQ(socket.Get(), -1);
  EXPECT_EQ(KavrixCountOpenFds(), before - 1);  // the previous one is closed, none is new
}

TEST(ProcessConnect, ConnectsANonBlockingCloseOnExecSocket) {
  LUniqueFd listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const std::uint16_t port = KavrixFreeLoopbackPort();
  sockaddr_in address = LMakeSockaddrIPv4(INADDR_LOOPBACK, port);
  ASSERT_EQ(::bind(listener.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener.Get(), 5), 0);
  LIPSocketTCP socket;
  ASSERT_EQ(ProcessConnect(nullptr, socket, address, 5000), kLProcessDone);
  ASSERT_TRUE(socket.IsValid());
  EXPECT_NE(::fcntl(socket.Get(), F_GETFL) & O_NONBLOCK, 0);
  EXPECT_NE(::fcntl(socket.Get(), F_GETFD) & FD_CLOEXEC, 0);
  const char hello[] = "hi";
  EXPECT_EQ(ProcessSend(nullptr, socket.Get(), hello, 2, 5000), kLProcessDone);
}

// A refused connect reports the socket writable; it must still fail.
TEST(ProcessConnect, RefusedConnectFailsAndClosesTheSocket) {
  // A bound socket that does not listen keeps the port taken and refusing.
  LUniqueFd holder(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const std::uint16_t port = KavrixFreeLoopbackPort();
  sockaddr_in address = LMakeSockaddrIPv4(INADDR_LOOPBACK, port);
  ASSERT_EQ(::bind(holder.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  LIPSocketTCP socket;
  const int before = KavrixCountOpenFds();
  EXPECT_EQ(ProcessConnect(nullptr, socket, address, 5000), kLProcessFailed);
  EXPECT_FALSE(socket.IsValid());
  EXPECT_EQ(KavrixCountOpenFds(), before);
}

namespace {

// A listener whose accept queue is full: further connects get no answer.
struct KavrixFullListener {
  LUniqueFd listener;
  LUniqueFd fillers[4];
  sockaddr_in address{};

  KavrixFullListener() {
    listener.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    address = LMakeSockaddrIPv4(INADDR_LOOPBACK, KavrixFreeLoopbackPort());
    ::bind(listener.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener.Get(), 0);
    for (LUniqueFd& filler : fillers) {
      filler.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
      ::connect(filler.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
  }
};

}  // namespace

TEST(ProcessConnect, TimesOutWithoutAnswerAndClosesTheSocket) {
  KavrixFullListener full;
  LIPSocketTCP socket;
  const auto start = Clock::now();
  EXPECT_EQ(ProcessConnect(nullptr, socket, full.address, 600), kLProcessFailed);
  EXPECT_GE(MillisecondsSince(start), 600);
  EXPECT_FALSE(socket.IsValid());
}

TEST(ProcessConnect, StopLeavesTheSocketClosed) {
  KavrixFullListener full;
  LIPSocketTCP socket;
  std::atomic<int> result{-1};
  LambdaThread connector(
      [&](LThread* self) { result = ProcessConnect(self, socket, full.address, 600000); });
  ASSERT_TRUE(connector.Start(0));
  connector.StopThreadNow();
  EXPECT_EQ(result.load(), kLProcessStopped);
  EXPECT_FALSE(socket.IsValid());
}

TEST(IPv4Peer, TextIsDottedAddressAndPort) {
  EXPECT_EQ((LIPv4Peer{0xC0A80102u, 54321}).ToText(), "192.168.1.2:54321");
  EXPECT_EQ((LIPv4Peer{0, 0}).ToText(), "0.0.0.0:0");
}
