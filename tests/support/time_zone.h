#pragma once
// Points the C library's local time zone at `zone` for the life of the
// object (TZ plus tzset), and restores the previous setting afterwards.

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

class KavrixScopedTimeZone {
 public:
  explicit KavrixScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) previous_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~KavrixScopedTimeZone() {
    if (previous_) {
      setenv("TZ", previous_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  KavrixScopedTimeZone(const KavrixScopedTimeZone&) = delete;
  KavrixScopedTimeZone& operator=(const KavrixScopedTimeZone&) = delete;

 private:
  std::optional<std::string> previous_;
};
