#include "engine/send_pace.h"

namespace {

thread_local LSendPaceScope* tScope = nullptr;

}  // namespace

LSendPaceScope::LSendPaceScope(const LTransferPace& pace)
    : pace_(pace), start_(std::chrono::steady_clock::now()), outer_(tScope) {
  tScope = this;
}

LSendPaceScope::~LSendPaceScope() { tScope = outer_; }

void LSendPaceScope::CountSent(std::uint64_t bytes) {
  if (tScope != nullptr) tScope->sent_ += bytes;
}

bool LSendPaceScope::WaitAllowed() {
  if (tScope == nullptr) return true;
  const auto spent = std::chrono::steady_clock::now() - tScope->start_;
  if (spent < std::chrono::milliseconds(tScope->pace_.AllowedMs(tScope->sent_))) return true;
  tScope->missed_ = true;
  return false;
}

LSendPaceLift::LSendPaceLift() : lifted_(tScope) { tScope = nullptr; }

LSendPaceLift::~LSendPaceLift() { tScope = lifted_; }
