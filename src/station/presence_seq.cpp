#include "station/presence_seq.h"

#include <atomic>

namespace {

std::atomic<std::uint32_t> gSeq{0};

}  // namespace

std::uint32_t LKXPresenceSeq() { return gSeq.load(); }

std::uint32_t LKXBumpPresenceSeq() { return ++gSeq; }
