#include "engine/tcp_listener.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "support/loopback.h"
#include "support/loopback_listener.h"
#include "support/temp_root.h"

namespace {

class RecordingListener : public LTCPListener {
 public:
  ~RecordingListener() override { StopThreadNow(); }
  using LTCPListener::SetRetryWaitMs;

  std::mutex mutex;  // guards taken and peers
  std::vector<LIPSocketTCP> taken;
  std::vector<LIPv4Peer> peers;
  std::atomic<bool> takeSockets{true};
  LSignalObject accepted;
  LSignalObject conflicted;
  std::atomic<int> conflicts{0};

 protected:
  void NewConnection(LIPSocketTCP& socket) override {
    std::lock_guard<std::mutex> lock(mutex);
    peers.push_back(AcceptedPeer());
    if (takeSockets) taken.push_back(std::move(socket));
    accepted.Signal();
  }
  void BindConflict() override {
    ++conflicts;
    conflicted.Signal();
  }
};

class TcpListenerTest : public KavrixTempRoot {};

// Starts `listener` on `port` and waits until it listens.
bool ListenOn(RecordingListener& listener, std::uint16_t port) {
  listener.SetListenPort(port);
  return listener.Start(0) && listener.WaitListening(10000);
}

}  // namespace

TEST_F(TcpListenerTest, HandsOverNonBlockingSocketsWithThePeerAddress) {
  RecordingListener listener;
  const std::uint16_t port = KavrixFreeLoopbackPort();
  ASSERT_TRUE(ListenOn(listener, port));
  LUniqueFd client = KavrixConnectLoopback(port);
  ASSERT_TRUE(client);
  ASSERT_TRUE(listener.accepted.Ref().WaitSignal(10000));

  std::lock_guard<std::mutex> lock(listener.mutex);
  ASSERT_EQ(listener.taken.size(), 1u);
  const int fd = listener.taken[0].Get();
  EXPECT_TRUE((::fcntl(fd, F_GETFL) & O_NONBLOCK) && (::fcntl(fd, F_GETFD) & FD_CLOEXEC));
  EXPECT_EQ(listener.peers[0].ToText(), "127.0.0.1:" + std::to_string(KavrixLocalPort(client.Get())));
  // A socket that was not taken is closed.
  RecordingListener refusing;
  refusing.takeSockets = false;
  const std::uint16_t other = KavrixFreeLoopbackPort();
  ASSERT_TRUE(ListenOn(refusing, other));
  LUniqueFd refused = KavrixConnectLoopback(other);
  ASSERT_TRUE(refused);
  EXPECT_TRUE(KavrixPeerClosed(refused.Get()));
}

// A port in use is reported and tried again; a stop ends the pause between
// tries (30 seconds by default) and closes the listening socket.
TEST_F(TcpListenerTest, PortInUseIsTriedAgainUntilFreeOrStopped) {
  const std::uint16_t port = KavrixFreeLoopbackPort();
  LUniqueFd holder = KavrixListenLoopback(port);
  RecordingListener stopped;
  stopped.SetListenPort(port);
  ASSERT_TRUE(stopped.Start(0));
  ASSERT_TRUE(stopped.conflicted.Ref().WaitSignal(10000));
  stopped.StopThreadNow();
  EXPECT_FALSE(stopped.IsRunning());
  RecordingListener listener;
  listener.SetRetryWaitMs(50);
  listener.SetListenPort(port);
  ASSERT_TRUE(listener.Start(0));
  ASSERT_TRUE(listener.conflicted.Ref().WaitSignal(10000));
  EXPECT_FALSE(listener.WaitListening(0));
  holder.Reset();
  ASSERT_TRUE(listener.WaitListening(10000));
  listener.StopThreadNow();
  EXPECT_FALSE(listener.WaitListening(0));
  EXPECT_TRUE(KavrixListenLoopback(port));
}

// Connections that the server closed first linger on the port; a listener
// started again binds at once all the same.
TEST_F(TcpListenerTest, LingeringConnectionsDoNotBlockARestart) {
  const std::uint16_t port = KavrixFreeLoopbackPort();
  LUniqueFd client;
  {
    RecordingListener first;
    ASSERT_TRUE(ListenOn(first, port));
    client = KavrixConnectLoopback(port);
    ASSERT_TRUE(client);
    ASSERT_TRUE(first.accepted.Ref().WaitSignal(10000));
    first.StopThreadNow();
    std::lock_guard<std::mutex> lock(first.mutex);
    first.taken.clear();  // the server's side closes first and lingers
  }
  ASSERT_TRUE(KavrixPeerClosed(client.Get()));
  RecordingListener restarted;
  ASSERT_TRUE(ListenOn(restarted, port));
  EXPECT_EQ(restarted.conflicts.load(), 0);
}
