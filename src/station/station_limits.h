#pragma once
// What one logged-on station may cost the server. A station is trusted with
// its user's records, not with the server's memory: a screenshot's declared
// length, a stalled body and a heap of parallel connections must not hold
// more than the bytes that really arrived, for longer than a real station
// needs, on more sockets than a real station opens.

#include <cstddef>

#include "engine/transfer_pace.h"

// A message body (the bytes after its header) that stays silent this long
// ends the session. Real stations send a screenshot in one go; even a slow
// link keeps bytes flowing, while a body that stalls would hold its buffer
// and its thread for as long as the peer likes.
inline constexpr int kLKXBodySilenceMs = 30000;

// Station connections one user may have open at once (logged on, until
// they end). A station opens its main session and one more connection for
// each screen its user watches live; a user may sit at two computers, and a
// station that reconnects after a network fault may briefly overlap its old
// session. Two main sessions and six live screens is more than any manager
// uses; 200 connections of one user were what exhausted the server's memory.
inline constexpr int kLKXMaxConnectionsPerUser = 8;

// A logged-on station whose computer vanished without closing (power cut,
// network gone) is probed after this much silence, every interval, and its
// session ends after the probes go unanswered: about two minutes. Without
// it such a session would hold one of its user's connections for good, and
// a station that reconnects after each fault would soon meet the limit.
inline constexpr int kLKXKeepAliveIdleSeconds = 60;
inline constexpr int kLKXKeepAliveIntervalSeconds = 10;
inline constexpr int kLKXKeepAliveProbes = 6;

// Received bytes are taken in pieces of this size, and the buffer grows
// only as they arrive: a declared length costs nothing until its bytes come.
inline constexpr std::size_t kLKXReceivePieceBytes = 64 * 1024;

// A team mate's state that cannot be handed to the station's socket within
// this time (its buffers full: the station stopped reading) ends the
// session: the message may be cut inside, and a station that does not read
// would otherwise hold its queue and thread for good.
inline constexpr int kLKXStateSendMs = 50000;

// A whole screenshot body must arrive within this much time plus a second
// for every kLKXScreenshotMinBytesPerSecond bytes it declares (the largest,
// 10,000,000 bytes: 230 s). The silence rule alone is defeated by a station
// that sends a byte now and then.
inline constexpr int kLKXScreenshotDeadlineBaseMs = 30000;
inline constexpr std::size_t kLKXScreenshotMinBytesPerSecond = 50000;

// Screenshot bytes the whole server holds at once for pictures still
// arriving; a screenshot that would take more ends its session, as an
// oversized one does. Six largest pictures fit; a whole office's ordinary
// ones (some 200 KB each) fit hundreds of times.
inline constexpr std::size_t kLKXScreenshotBytesInFlightCap = 64 * 1024 * 1024;

// The limits one station connection runs under. Tests lower them; the
// service uses the defaults.
struct LKXStationLimits {
  int bodySilenceMs = kLKXBodySilenceMs;
  int connectionsPerUser = kLKXMaxConnectionsPerUser;
  int stateSendMs = kLKXStateSendMs;
  LTransferPace screenshotPace{kLKXScreenshotDeadlineBaseMs, kLKXScreenshotMinBytesPerSecond};
};
