#include "web/session/logon_throttle.h"

#include <algorithm>
#include <atomic>

#include "foundation/date_time.h"
#include "foundation/log.h"
#include "foundation/process_wait.h"
#include "foundation/settings_parse.h"
#include "foundation/signal_object.h"

namespace {

bool WaitOrStop(LThread* thread, int seconds) {
  // No object of its own: only the thread's stop signal ends the wait early.
  return ProcessWaitSignal(thread, LSignalObjectRef(), seconds * 1000) != kLProcessStopped;
}

std::atomic<LKXLogonWaitFunction> gWait{&WaitOrStop};

std::int64_t Now() { return LDateTime::Now().value; }

}  // namespace

int LKXLogonThrottle::DelaySeconds(int failures) {
  if (failures < kLKXLogonFreeFailures) return 0;
  const int doublings = failures - kLKXLogonFreeFailures;
  // Past the cap's doubling the shift would only overflow.
  if (doublings >= 16) return kLKXLogonMaxDelaySeconds;
  return std::min(kLKXLogonFirstDelaySeconds << doublings, kLKXLogonMaxDelaySeconds);
}

LKXLogonThrottle::Entry& LKXLogonThrottle::Find(Table& table, const std::string& key, std::int64_t now) {
  auto it = table.find(key);
  if (it != table.end()) {
    if (now - it->second.lastFailure >= kLKXLogonForgetSeconds && it->second.nextTurn <= now) it->second = Entry();
    return it->second;
  }
  if (table.size() >= kLKXLogonMaxTracked) {
    auto oldest = std::min_element(table.begin(), table.end(), [](const auto& a, const auto& b) {
      return a.second.lastFailure < b.second.lastFailure;
    });
    table.erase(oldest);
  }
  return table[key];
}

int LKXLogonThrottle::AddressTurn(std::string_view address) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::int64_t now = Now();
  Entry& entry = Find(addresses_, std::string(address), now);
  if (entry.failures < kLKXLogonFreeFailures) return 0;
  const std::int64_t turn = std::max(now, entry.nextTurn);
  if (turn - now > kLKXLogonMaxQueueSeconds) return -1;
  // The attempt after this one waits its own delay behind this one's turn,
  // also when both arrive at the same moment on different connections.
  entry.nextTurn = turn + DelaySeconds(entry.failures);
  return static_cast<int>(turn - now);
}

int LKXLogonThrottle::Failed(std::string_view account, std::string_view address) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::int64_t now = Now();
  Entry& byAccount = Find(accounts_, LSettingsLowerCase(account), now);
  Entry& byAddress = Find(addresses_, std::string(address), now);
  const int accountWait = DelaySeconds(byAccount.failures);
  for (Entry* entry : {&byAccount, &byAddress}) {
    if (entry->failures < kLKXLogonFreeFailures + 32) ++entry->failures;  // the wait is capped long before
    entry->lastFailure = now;
    entry->nextTurn = std::max(entry->nextTurn, now + DelaySeconds(entry->failures));
  }
  if (byAccount.failures == kLKXLogonFreeFailures) {
    LOGWARNF("%d failed logons for %s: further attempts are slowed down.", kLKXLogonFreeFailures,
             std::string(account).c_str());
  }
  if (byAddress.failures == kLKXLogonFreeFailures) {
    LOGWARNF("%d failed logons from %s: further attempts are slowed down.", kLKXLogonFreeFailures,
             std::string(address).c_str());
  }
  return accountWait;
}

void LKXLogonThrottle::Succeeded(std::string_view account) {
  std::lock_guard<std::mutex> lock(mutex_);
  accounts_.erase(LSettingsLowerCase(account));
}

void LKXLogonThrottle::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  accounts_.clear();
  addresses_.clear();
}

LKXLogonThrottle& KXLogonThrottle() {
  static LKXLogonThrottle throttle;
  return throttle;
}

std::string KXLogonPeerHost(std::string_view peer) {
  const std::size_t colon = peer.rfind(':');
  return std::string(colon == std::string_view::npos ? peer : peer.substr(0, colon));
}

void KXSetLogonWaitFunction(LKXLogonWaitFunction wait) { gWait.store(wait != nullptr ? wait : &WaitOrStop); }

LKXLogonAttempt::LKXLogonAttempt(LThread* thread, std::string_view account, std::string_view peer)
    : thread_(thread), account_(account), address_(KXLogonPeerHost(peer)) {
  const int wait = KXLogonThrottle().AddressTurn(address_);
  refused_ = wait < 0 || (wait > 0 && !gWait.load()(thread_, wait));
}

void LKXLogonAttempt::Failed() {
  const int wait = KXLogonThrottle().Failed(account_, address_);
  if (wait > 0) (void)gWait.load()(thread_, wait);
}

void LKXLogonAttempt::Succeeded() { KXLogonThrottle().Succeeded(account_); }
