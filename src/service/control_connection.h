#pragma once
// One connected desktop on the service side: a detached thread that reads
// the desktop's requests, hands each one to the dispatcher and waits until
// the dispatcher has run it (so at most one request per connection is in
// flight), and writes what is queued for the desktop. It is the only thread
// that touches the socket, so messages never interleave on it.

#include <memory>
#include <optional>

#include "foundation/detached_thread.h"
#include "service/control_peer.h"

// A request whose dispatcher has not finished within this time ends the
// connection.
inline constexpr int kLControlRequestWaitMs = 600000;
// A message that has begun must be complete within this time; a peer that
// stops in the middle is disconnected.
inline constexpr int kLControlMessageBudgetMs = 10000;

// What a connection needs of the service that owns it (the service engine).
class LControlConnectionOwner {
 public:
  virtual void RegisterConnection(const std::shared_ptr<LControlPeer>& peer) = 0;
  virtual void RemoveConnection(const std::shared_ptr<LControlPeer>& peer) = 0;
  // A request is queued for the dispatcher.
  virtual void SignalDispatcher() = 0;

 protected:
  ~LControlConnectionOwner() = default;
};

class LServiceControlConnection : public LDetachedThread {
 public:
  LServiceControlConnection(LControlConnectionOwner& engine, std::shared_ptr<LControlPeer> peer)
      : engine_(engine), peer_(std::move(peer)) {}
  ~LServiceControlConnection() override { StopThreadNow(); }

 protected:
  void ThreadFunction() override;

 private:
  // Why the conversation ended, for the log.
  enum class End { kStopped, kClosed, kBadMagic, kTooLarge, kRefused, kTimedOut, kGivenUp };
  struct Conversation;
  End Converse();
  // Hands each complete message read so far to the dispatcher, one at a
  // time; a value when the conversation ends.
  std::optional<End> HandOverMessages(Conversation& c);
  // Takes the next output once the last is written.
  void RefillOutput(Conversation& c);
  // Reads and writes what the wait found ready.
  std::optional<End> Transfer(Conversation& c, short ready, bool wantWrite);
  void LogEnd(End end);

  LControlConnectionOwner& engine_;
  const std::shared_ptr<LControlPeer> peer_;
};
