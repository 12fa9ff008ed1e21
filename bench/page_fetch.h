#pragma once
// One whole page over loopback, and the process's CPU time: the page
// benchmarks run the server in their own process, so server and client CPU
// together is the figure that does not depend on what else the machine runs.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>

#include <cstdint>
#include <string>

#include "foundation/unique_fd.h"
#include "web/http/gzip_deflater.h"

// The whole answer to "GET /path" with the session cookie (or, with
// `headers`, those header lines instead); empty when the server could not be
// reached. With `gzip` the request accepts it and a
// compressed body is unpacked here, as a browser does, so that the time is
// the whole request's; `wireBytes` receives the bytes that came over the
// socket.
inline std::string BenchFetchPage(std::uint16_t port, const std::string& path, const std::string& session,
                                  bool gzip = false, std::size_t* wireBytes = nullptr,
                                  const std::string& headers = "") {
  LUniqueFd fd(::socket(AF_INET, SOCK_STREAM, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return {};
  const std::string request = "GET /" + path + " HTTP/1.0\r\n" +
                              (headers.empty() ? "Cookie: sess=" + session + "\r\n" : headers) +
                              (gzip ? "Accept-Encoding: gzip\r\n" : "") + "\r\n";
  if (::send(fd.Get(), request.data(), request.size(), MSG_NOSIGNAL) < 0) return {};
  std::string answer;
  char buffer[65536];
  for (ssize_t got; (got = ::recv(fd.Get(), buffer, sizeof buffer, 0)) > 0;) {
    answer.append(buffer, static_cast<std::size_t>(got));
  }
  if (wireBytes != nullptr) *wireBytes = answer.size();
  const std::size_t headEnd = answer.find("\r\n\r\n");
  if (gzip && headEnd != std::string::npos &&
      answer.substr(0, headEnd).find("\r\nContent-Encoding: gzip") != std::string::npos) {
    answer = answer.substr(0, headEnd + 4) + LGzipDecompress(std::string_view(answer).substr(headEnd + 4));
  }
  return answer;
}

inline double BenchProcessCpuMs() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}
