#pragma once
// A file descriptor owned by one object and closed by its destructor, so that
// no error path needs its own close().

#include <unistd.h>

#include <utility>

class LUniqueFd {
 public:
  LUniqueFd() = default;
  explicit LUniqueFd(int fd) : fd_(fd) {}
  ~LUniqueFd() { Reset(); }
  LUniqueFd(const LUniqueFd&) = delete;
  LUniqueFd& operator=(const LUniqueFd&) = delete;
  LUniqueFd(LUniqueFd&& other) noexcept : fd_(other.Release()) {}
  LUniqueFd& operator=(LUniqueFd&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  int Get() const { return fd_; }
  bool IsValid() const { return fd_ >= 0; }
  explicit operator bool() const { return fd_ >= 0; }

  int Release() { return std::exchange(fd_, -1); }
  void Reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_ = -1;
};
