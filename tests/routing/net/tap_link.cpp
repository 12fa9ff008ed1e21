// A cable between two network namespaces, for kernels without veth: a TAP
// device named `ifname` in each namespace, and every Ethernet frame written
// to one is written to the other. Frames go nowhere else, so a test network
// built on it cannot reach this machine's own interfaces. Runs until
// SIGTERM or SIGINT; prints "ready" once both devices exist.
//
//   upnp_tap_link /run/netns/<a> /run/netns/<b> <ifname>

#include <fcntl.h>
#include <linux/if.h>
#include <linux/if_tun.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>

#include "foundation/unique_fd.h"

namespace {

volatile std::sig_atomic_t gStop = 0;
void OnSignal(int) { gStop = 1; }

// The TAP device `name` in the namespace at `nsPath`.
LUniqueFd OpenTap(const char* nsPath, const char* name) {
  const LUniqueFd ns(open(nsPath, O_RDONLY | O_CLOEXEC));
  if (!ns || setns(ns.Get(), CLONE_NEWNET) != 0) {
    std::perror(nsPath);
    return LUniqueFd();
  }
  LUniqueFd tap(open("/dev/net/tun", O_RDWR | O_CLOEXEC));
  ifreq request{};
  request.ifr_flags = IFF_TAP | IFF_NO_PI;
  std::strncpy(request.ifr_name, name, IFNAMSIZ - 1);
  if (!tap || ioctl(tap.Get(), TUNSETIFF, &request) != 0) {
    std::perror("TUNSETIFF");
    return LUniqueFd();
  }
  return tap;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s <netns-a> <netns-b> <ifname>\n", argv[0]);
    return 2;
  }
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGINT, OnSignal);
  const LUniqueFd a = OpenTap(argv[1], argv[3]);
  const LUniqueFd b = OpenTap(argv[2], argv[3]);
  if (!a || !b) return 1;
  std::printf("ready\n");
  std::fflush(stdout);
  pollfd fds[2] = {{a.Get(), POLLIN, 0}, {b.Get(), POLLIN, 0}};
  char frame[65536];
  while (!gStop) {
    if (poll(fds, 2, 200) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if ((fds[i].revents & POLLIN) == 0) continue;
      const ssize_t got = read(fds[i].fd, frame, sizeof frame);
      if (got > 0 && write(fds[1 - i].fd, frame, static_cast<std::size_t>(got)) < 0) {
        // A frame the other side cannot take is dropped, as on a wire.
      }
    }
  }
  return 0;
}
