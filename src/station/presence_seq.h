#pragma once
// The presence change sequence: bumped whenever any user's presence changes,
// after the record was written; it numbers the changes queued to the
// sessions' presence feeds and labels the shared snapshot.

#include <cstdint>

std::uint32_t LKXPresenceSeq();
// Bumps the sequence and returns the new number.
std::uint32_t LKXBumpPresenceSeq();

// Whether change sequence `a` comes after `b` (the counter wraps).
inline bool LKXSeqAfter(std::uint32_t a, std::uint32_t b) { return static_cast<std::int32_t>(a - b) > 0; }
