#include "service/named_pipe.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>

#include "support/temp_root.h"

class NamedPipeTest : public KavrixTempRoot {};

TEST_F(NamedPipeTest, OpenConnectsNonBlockingAndCloseOnExecInTheSharedFolder) {
  EXPECT_EQ(LNamedPipeRef::MakeFilePath("kavrixserverd"), SharedFolder() + "/.spipe.kavrixserverd");
  const std::string path = TempDir() + "/.spipe.test";
  LUniqueFd listener(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  ASSERT_EQ(bind(listener.Get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ASSERT_EQ(listen(listener.Get(), 5), 0);
  LUniqueFd connection = LNamedPipeRef::OpenPath(path);
  ASSERT_TRUE(connection);
  EXPECT_TRUE(fcntl(connection.Get(), F_GETFL) & O_NONBLOCK);
  EXPECT_TRUE(fcntl(connection.Get(), F_GETFD) & FD_CLOEXEC);
}

TEST_F(NamedPipeTest, NothingListeningOrAPathTooLongGivesNoDescriptor) {
  EXPECT_FALSE(LNamedPipeRef::OpenPath(TempDir() + "/.spipe.none"));
  EXPECT_FALSE(LNamedPipeRef::_Open("kavrixserverd"));
  EXPECT_FALSE(LNamedPipeRef::OpenPath(TempDir() + "/" + std::string(200, 'x')));
  // A plain file at the path is no socket.
  ASSERT_TRUE(KavrixWriteFile(TempDir() + "/.spipe.file", ""));
  EXPECT_FALSE(LNamedPipeRef::OpenPath(TempDir() + "/.spipe.file"));
}
