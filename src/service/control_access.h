#pragma once
// Who may change or stop the service over the control channel. The socket
// is open to every local user so that anyone at a desktop sees the log; the
// commands that change or stop the root service (command, acknowledged
// command, stop) are for root, the user the service runs as, and members of
// the group that owns the shared data folder (the people who administer it).

#include <sys/types.h>

#include <cstdint>

// The peer's credentials as the kernel reports them (SO_PEERCRED).
struct LControlPeerCredentials {
  pid_t pid = 0;
  uid_t uid = static_cast<uid_t>(-1);
  gid_t gid = static_cast<gid_t>(-1);
};

// False when the kernel gives no credentials (the peer then counts as a
// stranger).
bool LControlReadPeerCredentials(int socket, LControlPeerCredentials* out);

// True for root, the service's own user, and members (primary or
// supplementary) of `adminGroup`.
bool LControlPeerMayCommand(const LControlPeerCredentials& peer, gid_t adminGroup);

// The group owning the shared data folder; -1 when it cannot be read.
gid_t LControlAdminGroup();

// True for the requests that change or stop the service.
bool LControlIsCommandRequest(uint16_t type);
