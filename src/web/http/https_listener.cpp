#include "web/http/https_listener.h"

#include "foundation/log.h"
#include "web/http/weblet_server.h"

LHttpsListener::~LHttpsListener() { StopThreadNow(); }

void LHttpsListener::NewConnection(LIPSocketTCP& socket) {
  LWebletSecurity security;
  security.tls = context_;
  server_.StartConnection(socket, AcceptedPeer(), std::move(security));
}

void LHttpsListener::BindConflict() {
  LOGERRORF("The HTTPS listener cannot bind to TCP/IP port %d: some other program may be using it.",
            GetListenPort());
}
