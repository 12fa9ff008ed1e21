#include "program_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "foundation/unique_fd.h"
#include "support/temp_root.h"

std::string KavrixProgramPath() { return std::string(KAVRIX_TEST_BUILD_DIR) + "/kavrixserver"; }

uint16_t KavrixFreePort() {
  LUniqueFd probe(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  if (bind(probe.Get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) return 0;
  socklen_t length = sizeof(address);
  if (getsockname(probe.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  return ntohs(address.sin_port);
}

bool KavrixWriteRoutingPort(const std::string& sharedFolder, uint16_t port) {
  std::error_code error;
  std::filesystem::create_directories(sharedFolder, error);
  return KavrixWriteFile(sharedFolder + "/routing", "localport=" + std::to_string(port) + "\r\n");
}

std::vector<pid_t> KavrixAdoptedDaemons(const std::string& executable) {
  std::vector<pid_t> found;
  const std::string parentLine = "\nPPid:\t" + std::to_string(getpid()) + "\n";
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const std::string status = KavrixReadFile(entry.path().string() + "/status");
    if (status.find(parentLine) == std::string::npos) continue;
    if (executable.empty()) {
      if (status.rfind("Name:\tkavrixserverd\n", 0) != 0) continue;
    } else {
      std::error_code unreadable;
      if (std::filesystem::read_symlink(entry.path() / "exe", unreadable) != executable) continue;
    }
    found.push_back(static_cast<pid_t>(atoi(entry.path().filename().c_str())));
  }
  return found;
}
