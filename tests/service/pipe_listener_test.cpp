#include "service/pipe_listener.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>

#include "program_support.h"
#include "service/named_pipe.h"
#include "support/loopback.h"

namespace {

class CountingHandler : public LPipeConnectionHandler {
 public:
  void NewConnection(LUniqueFd socket) override {
    if ((fcntl(socket.Get(), F_GETFL) & O_NONBLOCK) != 0 && (fcntl(socket.Get(), F_GETFD) & FD_CLOEXEC) != 0) {
      ++accepted;
    }
  }
  std::atomic<int> accepted{0};
};

class PipeListenerTest : public KavrixTempRoot {
 protected:
  std::string Path() const { return TempDir() + "/.spipe.test"; }
  CountingHandler handler_;
};

}  // namespace

// A socket file whose process is gone is replaced. Both ends of a
// connection are non-blocking and close-on-exec.
TEST_F(PipeListenerTest, ReplacesAStaleSocketAcceptsAnyUserAndRemovesItsFileOnClose) {
  ASSERT_TRUE(KavrixBindUnix(Path(), false));
  LPipeListener listener(handler_);
  ASSERT_TRUE(listener.Open(Path()));
  ASSERT_TRUE(listener.Start(0));
  EXPECT_TRUE(std::filesystem::is_socket(Path()));
  EXPECT_EQ(KavrixFileMode(Path()), 0777u);
  {
    LUniqueFd client = LNamedPipeRef::OpenPath(Path());
    ASSERT_TRUE(client);
    EXPECT_TRUE(fcntl(client.Get(), F_GETFL) & O_NONBLOCK);
    EXPECT_TRUE(fcntl(client.Get(), F_GETFD) & FD_CLOEXEC);
    // The handler drops the socket once it has counted it.
    EXPECT_TRUE(KavrixPeerClosed(client.Get()));
    EXPECT_EQ(handler_.accepted.load(), 1);
  }
  listener.StopThreadNow();
  listener.Close();
  EXPECT_FALSE(KavrixFileExists(Path()));
  EXPECT_FALSE(LNamedPipeRef::OpenPath(Path()));
  // Too long for a socket address: never cut to another path.
  EXPECT_FALSE(LNamedPipeRef::OpenPath(TempDir() + "/" + std::string(200, 'x')));
}

// A live listener's socket is left alone, and the refused one's close leaves
// its file.
TEST_F(PipeListenerTest, APlantedLinkIsReplacedNotFollowedALiveSocketIsKept) {
  const std::string target = TempDir() + "/precious";
  ASSERT_TRUE(KavrixWriteFile(target, "keep"));
  ASSERT_EQ(chmod(target.c_str(), 0600), 0);
  ASSERT_EQ(symlink(target.c_str(), Path().c_str()), 0);
  LPipeListener first(handler_);
  ASSERT_TRUE(first.Open(Path()));
  ASSERT_TRUE(first.Start(0));
  EXPECT_TRUE(std::filesystem::is_socket(Path()));
  EXPECT_EQ(KavrixFileMode(target), 0600u);
  EXPECT_EQ(KavrixReadFile(target), "keep");
  LPipeListener second(handler_);
  EXPECT_FALSE(second.Open(Path()));
  second.Close();
  EXPECT_TRUE(LNamedPipeRef::OpenPath(Path()));
}
