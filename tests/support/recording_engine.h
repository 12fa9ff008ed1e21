#pragma once
// An engine for LServiceEngine and its proxy in tests: it records each
// command the dispatcher runs as "code:payload;".

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "engine/engine_notify.h"

class KavrixRecordingEngine {
 public:
  explicit KavrixRecordingEngine(LEngineNotifyHandler*) {}
  void Start() {}
  void Stop() {}
  void Control(uint32_t code, const void* data, uint32_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    commands_ += std::to_string(code) + ":" + std::string(static_cast<const char*>(data), data ? size : 0) + ";";
  }
  static std::unique_ptr<KavrixRecordingEngine> Make(LEngineNotifyHandler* handler) {
    return std::make_unique<KavrixRecordingEngine>(handler);
  }
  static std::string Commands() {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
  }
  static void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    commands_.clear();
  }

 private:
  static inline std::mutex mutex_;  // guards commands_
  static inline std::string commands_;
};
