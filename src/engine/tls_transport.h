#pragma once
// TLS over a connection's non-blocking socket, driven on the connection's
// own thread: the handshake, reads and sends wait in the same 200 ms slices
// as the plain socket operations, with the same silence budgets and the
// thread's stop signal in every wait. Decrypted bytes that arrived beyond
// what a read asked for wait in a small buffer of our own (the plain
// socket leaves them in the kernel), which is freed again once empty, and
// OpenSSL releases its record buffers between records, so an idle
// connection holds little more than its session.

#include <string>

#include "engine/byte_transport.h"
#include "engine/openssl_ptr.h"
#include "engine/wait_budget.h"

class LTlsServerContext;

class LTlsTransport : public LByteTransport {
 public:
  // `fd` stays owned by the caller and must outlive this object.
  LTlsTransport(const LTlsServerContext& context, int fd);

  // The server side of the handshake. `silenceMs` bounds each wait for the
  // client's next flight; the deadline bounds the whole handshake, however
  // the bytes trickle. Failed on any protocol error (a refused version
  // included).
  [[nodiscard]] LProcessResult Handshake(LThread* thread, int silenceMs, const LRecvDeadline& deadline);

  int Fd() const override { return fd_; }
  bool IsSecure() const override { return true; }
  LProcessResult Send(LThread* thread, const void* data, std::size_t length, int timeoutMs,
                      std::size_t pieceBytes) override;
  LProcessResult SendFile(LThread* thread, int fileFd, std::uint64_t length, int timeoutMs) override;
  LProcessResult RecvBytes(LThread* thread, void* buffer, std::size_t length, int timeoutMs,
                           const LRecvDeadline& deadline) override;
  LProcessResult RecvLine(LThread* thread, std::string& line, std::size_t capacity, int timeoutMs,
                          const LRecvDeadline& deadline) override;
  LProcessResult WaitReadable(LThread* thread, int timeoutMs) override;
  void ShutdownSend(LThread* thread) override;

 private:
  enum class Fill { kGot, kClosed, kStopped, kFailed };
  // Reads at least one decrypted byte into pending_.
  Fill FillPending(LThread* thread, LWaitBudget& budget, const LRecvDeadline& deadline);
  // Takes up to `length` bytes from the front of pending_.
  std::size_t TakePending(char* into, std::size_t length);
  void ReleaseIfEmpty();

  const int fd_;
  LSslPtr ssl_;
  std::string pending_;
  std::size_t pendingAt_ = 0;
};
