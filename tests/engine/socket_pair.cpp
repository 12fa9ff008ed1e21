#include "socket_pair.h"

#include <sys/socket.h>

#include "support/loopback.h"
#include "support/loopback_listener.h"

KavrixSocketPair KavrixMakeSocketPair() {
  KavrixSocketPair pair;
  const std::uint16_t port = KavrixFreeLoopbackPort();
  const LUniqueFd listener = KavrixListenLoopback(port, 1);
  pair.peer = KavrixConnectLoopback(port);
  if (listener && pair.peer) pair.ours.Reset(::accept4(listener.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
  return pair;
}

void KavrixShrinkBuffers(const KavrixSocketPair& pair) {
  const int small = 4096;
  for (const LUniqueFd* fd : {&pair.ours, &pair.peer}) {
    ::setsockopt(fd->Get(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
    ::setsockopt(fd->Get(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  }
}
