#pragma once
// The panel's second listener: every connection it accepts speaks TLS and
// then runs exactly like a plain one, on a thread of the web server (which
// owns and stops it with the others).

#include <memory>

#include "engine/tcp_listener.h"

class LTlsServerContext;
class LWebletServer;

class LHttpsListener : public LTCPListener {
 public:
  explicit LHttpsListener(LWebletServer& server) : server_(server) {}
  ~LHttpsListener() override;

  // Used by connections accepted from now on; set while the thread is
  // stopped.
  void SetContext(std::shared_ptr<const LTlsServerContext> context) { context_ = std::move(context); }

 protected:
  void NewConnection(LIPSocketTCP& socket) override;
  void BindConflict() override;

 private:
  LWebletServer& server_;
  std::shared_ptr<const LTlsServerContext> context_;
};
