#pragma once
// Helpers of the service tests: the real program and its output, the
// daemons it leaves, sockets and file modes, and a whole service
// installation inside the test's folder.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/unique_fd.h"
#include "service/service_control.h"
#include "support/temp_root.h"

// Writes the routing settings of the test's data root with `port`.
bool KavrixWriteRoutingPort(const std::string& sharedFolder, uint16_t port);

// The children of this process (a subreaper) that are named "kavrixserverd".
std::vector<pid_t> KavrixAdoptedDaemons();

// One line of a child's output, without its newline; "<end>" when the
// output ended (or stayed silent for 30 s) before any byte of it.
std::string KavrixReadLine(int fd);

// A Unix socket bound at `path`, listening unless `listening` is false.
LUniqueFd KavrixBindUnix(const std::string& path, bool listening = true);

// The permission bits of `path` (not followed when a link); 01 when missing.
unsigned KavrixFileMode(const std::string& path);

// The whole installation lives in the test's folder; USER=root makes the
// root-prompt commands run directly with the shell. The fake process folder
// is empty, so services of other tests running meanwhile do not count.
class ServiceInstallTest : public KavrixTempRoot {
 protected:
  void SetUp() override;
  void TearDown() override;

  void WriteScript(const std::string& path, const std::string& body);
  // A machine booted with systemd, whose systemctl notes its arguments in
  // systemctl.log and fails for `failingVerb` only.
  void FakeSystemd(const std::string& failingVerb = "none");
  // Process 321 of the fake process folder is the service.
  void FakeRunningService();

  LServicePaths paths_;
  std::string savedUser_;
};
