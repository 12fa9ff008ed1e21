#include "scripted_peer.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

#include "engine/ip_socket_tcp.h"
#include "support/loopback.h"

namespace {

// The probe's GET or POST: its head, then as many body bytes as it names.
std::string ReadRequest(int fd) {
  std::string request = KavrixRecvHttpHead(fd, 300);
  const std::size_t length = request.find("CONTENT-LENGTH: ");
  if (length != std::string::npos) {
    request += KavrixRecvExact(fd, std::stoul(request.substr(length + 16)), 300);
  }
  return request;
}

}  // namespace

ScriptedPeer::ScriptedPeer()
    : udp_(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)), tcp_(KavrixListenLoopback(0, 8)) {
  const sockaddr_in address = LMakeSockaddrIPv4(INADDR_LOOPBACK, 0);
  bind(udp_.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
  thread_ = std::thread([this] { Run(); });
}

ScriptedPeer::~ScriptedPeer() {
  stop_ = true;
  thread_.join();
}

void ScriptedPeer::SetSearchAnswer(std::string answer) {
  const std::string port = std::to_string(TcpPort());
  for (std::size_t at; (at = answer.find("%PORT%")) != std::string::npos;) answer.replace(at, 6, port);
  std::lock_guard<std::mutex> lock(mutex_);
  searchAnswer_ = std::move(answer);
}

void ScriptedPeer::AddAnswer(Answer answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_.push_back(std::move(answer));
}

std::vector<std::string> ScriptedPeer::Searches() {
  std::lock_guard<std::mutex> lock(mutex_);
  return searches_;
}

std::vector<std::string> ScriptedPeer::Requests() {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void ScriptedPeer::Run() {
  while (!stop_) {
    pollfd entries[2] = {{udp_.Get(), POLLIN, 0}, {tcp_.Get(), POLLIN, 0}};
    if (poll(entries, 2, 100) <= 0) continue;
    if (entries[0].revents & POLLIN) {
      char datagram[2048];
      sockaddr_in from{};
      socklen_t fromLength = sizeof from;
      const ssize_t got = recvfrom(udp_.Get(), datagram, sizeof datagram, 0,
                                   reinterpret_cast<sockaddr*>(&from), &fromLength);
      std::string answer;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (got >= 0) searches_.emplace_back(datagram, static_cast<std::size_t>(got));
        answer = searchAnswer_;
      }
      if (!answer.empty())
        sendto(udp_.Get(), answer.data(), answer.size(), 0, reinterpret_cast<sockaddr*>(&from), fromLength);
    }
    if (entries[1].revents & POLLIN) {
      LUniqueFd client(accept4(tcp_.Get(), nullptr, nullptr, SOCK_CLOEXEC));
      if (!client) continue;
      const std::string request = ReadRequest(client.Get());
      Answer answer;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        const std::size_t index = requests_.size();
        requests_.push_back(request);
        if (index < answers_.size()) answer = answers_[index];
      }
      Serve(client.Get(), answer);
    }
  }
}

void ScriptedPeer::Serve(int fd, const Answer& answer) {
  const std::size_t piece = answer.pieceBytes == 0 ? answer.bytes.size() : answer.pieceBytes;
  int tick = answer.pacedBy != nullptr ? answer.pacedBy->load() : 0;
  for (int round = 0; !stop_ && (answer.repeat == 0 || round < answer.repeat); ++round) {
    for (std::size_t at = 0; at < answer.bytes.size() && !stop_; at += piece) {
      // Waits for the next tick; the client closing (readable) ends it.
      while (answer.pacedBy != nullptr && answer.pacedBy->load() == tick) {
        pollfd entry{fd, POLLIN, 0};
        if (stop_ || poll(&entry, 1, 10) != 0) return;
      }
      if (answer.pacedBy != nullptr) tick = answer.pacedBy->load();
      const std::string_view part = std::string_view(answer.bytes).substr(at, piece);
      if (send(fd, part.data(), part.size(), MSG_NOSIGNAL) < 0) return;
    }
  }
}
