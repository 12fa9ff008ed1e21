#pragma once
// A connected pair of loopback TCP sockets: `ours` non-blocking and
// close-on-exec as the program's sockets are, `peer` blocking for the test to
// drive.

#include "foundation/unique_fd.h"

struct KavrixSocketPair {
  LUniqueFd ours;
  LUniqueFd peer;
};

KavrixSocketPair KavrixMakeSocketPair();

// Shrinks both buffers of the pair so that a few kilobytes fill them.
void KavrixShrinkBuffers(const KavrixSocketPair& pair);
