#include "service/named_pipe.h"

#include <fcntl.h>

#include "program_support.h"

class NamedPipeTest : public KavrixTempRoot {};

// A connection is non-blocking and close-on-exec; nothing listening, a path
// too long for a socket address or a plain file give no descriptor.
TEST_F(NamedPipeTest, OpenConnectsNonBlockingAndCloseOnExecInTheSharedFolderOnly) {
  EXPECT_EQ(LNamedPipeRef::MakeFilePath("kavrixserverd"), SharedFolder() + "/.spipe.kavrixserverd");
  const std::string path = TempDir() + "/.spipe.test";
  LUniqueFd listener = KavrixBindUnix(path);
  ASSERT_TRUE(listener);
  LUniqueFd connection = LNamedPipeRef::OpenPath(path);
  ASSERT_TRUE(connection);
  EXPECT_TRUE(fcntl(connection.Get(), F_GETFL) & O_NONBLOCK);
  EXPECT_TRUE(fcntl(connection.Get(), F_GETFD) & FD_CLOEXEC);
  EXPECT_FALSE(LNamedPipeRef::OpenPath(TempDir() + "/.spipe.none"));
  EXPECT_FALSE(LNamedPipeRef::_Open("kavrixserverd"));
  EXPECT_FALSE(LNamedPipeRef::OpenPath(TempDir() + "/" + std::string(200, 'x')));
  ASSERT_TRUE(KavrixWriteFile(TempDir() + "/.spipe.file", ""));
  EXPECT_FALSE(LNamedPipeRef::OpenPath(TempDir() + "/.spipe.file"));
}
