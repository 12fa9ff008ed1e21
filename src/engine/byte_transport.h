#pragma once
// What a connection reads and sends through: the plain socket, or TLS over
// it. The HTTP code is written once against this seam; the operations keep
// the meaning, time-outs and results of the socket operations (socket_ops.h),
// and every wait still lasts at most 200 ms between tests of the stop flag.

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/recv_deadline.h"
#include "engine/socket_ops.h"
#include "foundation/process_result.h"

class LThread;

class LByteTransport {
 public:
  virtual ~LByteTransport() = default;

  // The connection's socket, for what only the socket can tell (its peer).
  virtual int Fd() const = 0;
  // True when the bytes travel encrypted (TLS).
  virtual bool IsSecure() const = 0;

  [[nodiscard]] virtual LProcessResult Send(LThread* thread, const void* data, std::size_t length,
                                            int timeoutMs,
                                            std::size_t pieceBytes = kLSendPieceBytes) = 0;
  // `length` bytes of the open file `fileFd` from its current offset.
  [[nodiscard]] virtual LProcessResult SendFile(LThread* thread, int fileFd, std::uint64_t length,
                                                int timeoutMs) = 0;
  [[nodiscard]] virtual LProcessResult RecvBytes(LThread* thread, void* buffer, std::size_t length,
                                                 int timeoutMs,
                                                 const LRecvDeadline& deadline = LRecvDeadline()) = 0;
  [[nodiscard]] virtual LProcessResult RecvLine(LThread* thread, std::string& line,
                                                std::size_t capacity, int timeoutMs,
                                                const LRecvDeadline& deadline = LRecvDeadline()) = 0;
  [[nodiscard]] virtual LProcessResult WaitReadable(LThread* thread, int timeoutMs) = 0;
  // Ends the sending side: after it the peer reads the end of the stream.
  virtual void ShutdownSend(LThread* thread) = 0;
};

// The socket as it is.
class LPlainTransport : public LByteTransport {
 public:
  explicit LPlainTransport(int fd) : fd_(fd) {}

  int Fd() const override { return fd_; }
  bool IsSecure() const override { return false; }
  LProcessResult Send(LThread* thread, const void* data, std::size_t length, int timeoutMs,
                      std::size_t pieceBytes) override {
    return ProcessSendPieces(thread, fd_, data, length, timeoutMs, pieceBytes);
  }
  LProcessResult SendFile(LThread* thread, int fileFd, std::uint64_t length, int timeoutMs) override {
    return ProcessSendFile(thread, fd_, fileFd, length, timeoutMs);
  }
  LProcessResult RecvBytes(LThread* thread, void* buffer, std::size_t length, int timeoutMs,
                           const LRecvDeadline& deadline) override {
    return ProcessRecvBytes(thread, fd_, buffer, length, timeoutMs, deadline);
  }
  LProcessResult RecvLine(LThread* thread, std::string& line, std::size_t capacity, int timeoutMs,
                          const LRecvDeadline& deadline) override {
    return ProcessRecvLine(thread, fd_, line, capacity, timeoutMs, deadline);
  }
  LProcessResult WaitReadable(LThread* thread, int timeoutMs) override {
    return ProcessWaitReadable(thread, fd_, timeoutMs);
  }
  void ShutdownSend(LThread* thread) override;

 private:
  const int fd_;
};
