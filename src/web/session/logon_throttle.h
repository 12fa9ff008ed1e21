#pragma once
// Slows down the guessing of passwords. Every place that checks a password
// typed or sent by somebody (the logon dialog, the station logon, the setup
// wizard's first step) counts failures per account and per client address;
// after kLKXLogonFreeFailures of either, further attempts wait, twice as long
// after each further failure, up to kLKXLogonMaxDelaySeconds.
//
// The two counts wait at different moments, so that an attacker cannot lock
// the real user out:
// - An address waits before its password is checked, and concurrent attempts
//   from one address take turns, so opening more connections gains nothing.
//   The real user, coming from another address, is not held up.
// - An account makes only its failures wait, after the check: the right
//   password is answered at once however many wrong ones others sent. A wait
//   before the check would let anybody keep a user out by failing on purpose.
// Nothing waits while holding the throttle's mutex, and every wait ends
// within 200 ms of its thread being asked to stop.
//
// Counts live in memory only: a restart forgets them, which costs an
// attacker a restart of the server, not of his own program.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

class LThread;

// Failures answered without a wait.
inline constexpr int kLKXLogonFreeFailures = 5;
// The wait after the free failures; it doubles with each further failure.
inline constexpr int kLKXLogonFirstDelaySeconds = 1;
// The doubling stops here.
inline constexpr int kLKXLogonMaxDelaySeconds = 30;
// An address whose queue of waiting attempts reaches further than this is
// answered as a failure at once, without a check and without a wait.
inline constexpr int kLKXLogonMaxQueueSeconds = 2 * kLKXLogonMaxDelaySeconds;
// An account or address that has not failed for this long starts afresh.
inline constexpr int kLKXLogonForgetSeconds = 15 * 60;
// Accounts and addresses remembered, each; beyond that the one that failed
// longest ago is forgotten, so that a flood of made-up names cannot grow
// the server's memory.
inline constexpr std::size_t kLKXLogonMaxTracked = 4096;

class LKXLogonThrottle {
 public:
  // The wait that `failures` earlier failures call for.
  static int DelaySeconds(int failures);

  // Before a check of a password sent from `address`: the seconds to wait
  // first (the attempt's turn is reserved), or -1 when the attempt is to be
  // refused unchecked.
  int AddressTurn(std::string_view address);
  // After a failed check: counts the failure for both, logs when either
  // starts being slowed down, and returns the seconds the answer waits.
  int Failed(std::string_view account, std::string_view address);
  // After an accepted check: the account starts afresh. The address keeps
  // its count (until it is forgotten): otherwise an attacker holding one
  // account of his own could clear his address's count between guesses.
  void Succeeded(std::string_view account);

  void Clear();

 private:
  struct Entry {
    int failures = 0;
    std::int64_t lastFailure = 0;  // seconds since 1970
    std::int64_t nextTurn = 0;     // an address's next attempt is checked no earlier
  };
  using Table = std::unordered_map<std::string, Entry>;
  // The entry of `key`, forgotten first when it is stale; makes room when
  // the table is full.
  static Entry& Find(Table& table, const std::string& key, std::int64_t now);

  std::mutex mutex_;  // guards accounts_ and addresses_; never held while waiting
  Table accounts_;    // lower-cased account names
  Table addresses_;   // client addresses without the port
};

// The one throttle of the process.
LKXLogonThrottle& KXLogonThrottle();

// The client address of a peer text "%d.%d.%d.%d:%d": the part before the
// port, which a client changes with every connection.
std::string KXLogonPeerHost(std::string_view peer);

// Waits `seconds` or until `thread` is asked to stop; false when stopped.
using LKXLogonWaitFunction = bool (*)(LThread* thread, int seconds);
// Tests put a wait of their own here (to see the waits without spending
// them); null restores the real one.
void KXSetLogonWaitFunction(LKXLogonWaitFunction wait);

// One attempt to log on, through the throttle: the constructor waits for
// the address's turn; then the caller checks the password (unless Refused())
// and reports the outcome.
class LKXLogonAttempt {
 public:
  LKXLogonAttempt(LThread* thread, std::string_view account, std::string_view peer);
  LKXLogonAttempt(const LKXLogonAttempt&) = delete;
  LKXLogonAttempt& operator=(const LKXLogonAttempt&) = delete;

  // True when the password must not be checked: the address has too many
  // attempts waiting, or the thread was stopped while waiting. The attempt
  // is answered as a failure (Failed() is not called for it).
  bool Refused() const { return refused_; }
  // Counts the failure and waits the account's delay before the answer.
  void Failed();
  void Succeeded();

 private:
  LThread* thread_;
  std::string account_;
  std::string address_;
  bool refused_ = false;
};
