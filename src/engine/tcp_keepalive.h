#pragma once
// TCP keep-alive on a connected socket: the kernel probes a peer that has
// been silent for `idleSeconds`, every `intervalSeconds`, and after `probes`
// unanswered probes the socket fails, so that the next wait on it returns.
// A peer that vanished without closing (power cut, cable pulled, laptop
// lid shut) would otherwise hold its connection for good. Probes are empty
// TCP segments that every stack answers; the bytes of the connection are
// not touched.

// False when the platform refused an option (the socket stays usable).
[[nodiscard]] bool LSetTcpKeepAlive(int fd, int idleSeconds, int intervalSeconds, int probes);
