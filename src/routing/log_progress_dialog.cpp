#include "routing/log_progress_dialog.h"

#include "foundation/log.h"
#include "foundation/thread.h"

namespace {

class StepLogger : public LProgressSink {
 public:
  explicit StepLogger(std::string title) : title_(std::move(title)) {}
  void ShowStep(std::string_view text) override { LOG(title_ + ": ", text); }

 private:
  const std::string title_;
};

class Worker : public LThread {
 public:
  Worker(LProgressProcess& process, LProgressSink& sink) : process_(process), sink_(sink) {}
  ~Worker() override { StopThreadNow(); }
  LProcessResult Result() const { return result_; }

 protected:
  void ThreadFunction() override { result_ = process_.Process(*this, sink_); }

 private:
  LProgressProcess& process_;
  LProgressSink& sink_;
  LProcessResult result_ = kLProcessFailed;
};

}  // namespace

LProcessResult LLogProgressDialog::RunProcess(std::string_view title, LProgressProcess& process) {
  StepLogger sink{std::string(title)};
  LOG(std::string(title) + ": ", process.Name());
  Worker worker(process, sink);
  bool started;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    started = worker.Start(0);
    if (started) worker_ = &worker;
  }
  if (started) worker.Join();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    worker_ = nullptr;
  }
  return worker.Result();
}

void LLogProgressDialog::Stop() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (worker_ != nullptr) worker_->StopThreadSoon();
}
