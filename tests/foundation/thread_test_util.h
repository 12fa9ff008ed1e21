#pragma once
// A thread whose body is a lambda, for tests of the thread machinery.

#include <functional>
#include <utility>

#include "foundation/thread.h"

class LambdaThread : public LThread {
 public:
  explicit LambdaThread(std::function<void(LThread*)> body) : body_(std::move(body)) {}
  ~LambdaThread() override { StopThreadNow(); }

 protected:
  void ThreadFunction() override { body_(this); }

 private:
  std::function<void(LThread*)> body_;
};
