#include "service/control_access.h"

#include <grp.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "foundation/paths.h"
#include "service/control_message.h"

namespace {

constexpr size_t kPasswdBuffer = 16384;
constexpr int kMaxGroups = 1024;

bool UserIsInGroup(uid_t uid, gid_t group) {
  passwd entry{};
  passwd* found = nullptr;
  std::vector<char> buffer(kPasswdBuffer);
  if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) return false;
  std::vector<gid_t> groups(kMaxGroups);
  int count = kMaxGroups;
  if (getgrouplist(entry.pw_name, entry.pw_gid, groups.data(), &count) < 0) return false;
  for (int i = 0; i < count; ++i) {
    if (groups[static_cast<size_t>(i)] == group) return true;
  }
  return false;
}

}  // namespace

bool LControlReadPeerCredentials(int socket, LControlPeerCredentials* out) {
  ucred credentials{};
  socklen_t length = sizeof(credentials);
  if (getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) return false;
  out->pid = credentials.pid;
  out->uid = credentials.uid;
  out->gid = credentials.gid;
  return true;
}

bool LControlPeerMayCommand(const LControlPeerCredentials& peer, gid_t adminGroup) {
  if (peer.uid == 0 || peer.uid == geteuid()) return true;
  if (adminGroup == static_cast<gid_t>(-1)) return false;
  return peer.gid == adminGroup || UserIsInGroup(peer.uid, adminGroup);
}

gid_t LControlAdminGroup() {
  struct stat info {};
  if (stat(LFile::GetSharedDataFolderApp().c_str(), &info) != 0) return static_cast<gid_t>(-1);
  return info.st_gid;
}

bool LControlIsCommandRequest(uint16_t type) {
  return type == kLServiceCommand || type == kLServiceAckCommand || type == kLServiceStop;
}
