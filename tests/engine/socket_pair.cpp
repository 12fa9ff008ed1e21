#include "socket_pair.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

KavrixSocketPair KavrixMakeSocketPair() {
  KavrixSocketPair pair;
  LUniqueFd listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (::bind(listener.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener.Get(), 1) != 0 ||
      ::getsockname(listener.Get(), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    return pair;
  }
  pair.peer.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (::connect(pair.peer.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    pair.peer.Reset();
    return pair;
  }
  pair.ours.Reset(::accept4(listener.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
  return pair;
}

void KavrixShrinkBuffers(const KavrixSocketPair& pair) {
  const int small = 4096;
  ::setsockopt(pair.ours.Get(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
  ::setsockopt(pair.ours.Get(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  ::setsockopt(pair.peer.Get(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
  ::setsockopt(pair.peer.Get(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
}
