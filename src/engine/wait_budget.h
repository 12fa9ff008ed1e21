#pragma once
// The time-out arithmetic of the socket operations, kept apart from the
// sockets so that it can be checked exactly. A socket operation waits in
// slices of kLSocketSliceMs; only a slice in which nothing happened costs
// time, so a slow but living peer never times out while bytes keep coming,
// and a busy machine that wakes late does not eat the budget either.

inline constexpr int kLSocketSliceMs = 200;

class LWaitBudget {
 public:
  explicit LWaitBudget(int timeoutMs) : timeout_(timeoutMs), left_(timeoutMs) {}

  // A slice ended without readiness: charges it. False once less than 1 ms
  // is left, which is when the operation gives up.
  [[nodiscard]] bool ChargeEmptySlice() {
    left_ -= kLSocketSliceMs;
    return left_ >= 1;
  }
  // Bytes arrived: the silence starts to count afresh.
  void Restart() { left_ = timeout_; }
  int Left() const { return left_; }

 private:
  int timeout_;
  int left_;
};
