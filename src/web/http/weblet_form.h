#pragma once
// LWebletForm: one request and its response. It lives on the connection
// thread's stack for one request and is handed by reference to the page
// handler, which reads the fields and writes its whole response (status line
// included) with wfprintf or the raw sends of weblet_send.h.

#include <string>
#include <string_view>

#include "engine/byte_transport.h"
#include "engine/ip_socket_tcp.h"
#include "web/http/request_parser.h"
#include "web/http/static_file.h"
#include "web/http/weblet_response.h"
#include "web/session/weblet_session.h"
#include "web/text/hash_table.h"

class LThread;

class LWebletForm {
 public:
  // Takes over the tables and the page name of a parsed request. Every
  // byte of the response goes through `transport` (the socket, or TLS).
  LWebletForm(LThread& thread, LIPSocketTCP& socket, LByteTransport& transport,
              LHttpRequest&& request, std::string remoteAddress);
  ~LWebletForm();
  LWebletForm(const LWebletForm&) = delete;
  LWebletForm& operator=(const LWebletForm&) = delete;

  // The connection thread: its stop flag cuts every socket wait short.
  LThread& Thread() const { return thread_; }
  // The bare socket, for a protocol that takes the connection over (the
  // station's); only on a connection that is not secure.
  LIPSocketTCP& Socket() const { return socket_; }
  LByteTransport& Transport() const { return transport_; }
  // True on the HTTPS listener's connections.
  bool IsSecure() const { return transport_.IsSecure(); }

  // Query-string fields first, then the fields of a POST body, in arrival
  // order; a name sent twice is found with its first value.
  LHashTable& Params() { return params_; }
  const LHashTable& Params() const { return params_; }
  LHashTable& Cookies() { return cookies_; }
  const LHashTable& Cookies() const { return cookies_; }
  // Request headers by name in any letter case; a repeated header keeps its
  // last value.
  LHashTable& Headers() { return headers_; }
  const LHashTable& Headers() const { return headers_; }

  // The peer as "%d.%d.%d.%d:%d".
  const std::string& RemoteAddress() const { return remoteAddress_; }
  // The decoded request path without its leading "/" and query string.
  const std::string& PageName() const { return pageName_; }
  const std::string& Method() const { return method_; }

  // What the request's headers say about a file it wants (handed-out
  // pictures and logs pass it on).
  LFileConditions FileConditions() const { return LFileConditionsOf(headers_, versionMilli_); }

  // The response's send path: every page write goes through it (see
  // weblet_response.h). Finish ends it; the destructor does so too.
  LProcessResult Send(std::string_view bytes, int timeoutMs) { return response_.Send(bytes, timeoutMs); }
  LProcessResult FinishResponse() { return response_.Finish(); }

  // Serves a file as a static file with no conditional headers (images,
  // CSV logs and the system log that pages hand out). True when the whole
  // file was sent.
  bool ServeFile(const char* path);

  // The web session named by the cookie "sess", loaded (after the purge of
  // expired sessions) when the form is made, for static files too, and
  // written back by the destructor when the request changed it.
  LWebletSessionData& Session() { return session_; }
  const LWebletSessionData& Session() const { return session_; }

 private:
  LThread& thread_;
  LIPSocketTCP& socket_;
  LByteTransport& transport_;
  LHashTable params_;
  LHashTable cookies_;
  std::string remoteAddress_;
  LWebletSessionData session_;
  LHashTable headers_;
  std::string pageName_;
  std::string method_;
  std::int64_t versionMilli_;
  LWebletResponse response_;
};
