#pragma once
// What the fuzz targets put around the code under test: virtual time, no
// dialogs, no work log, and a check that stops the run.

#include <chrono>
#include <string>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/log_sink.h"

namespace orti::fuzz {

inline void Check(bool condition) {
  if (!condition) __builtin_trap();
}

class VirtualClock final : public Clock {
 public:
  std::chrono::milliseconds Now() override { return now_; }
  void Sleep(std::chrono::milliseconds d) override { now_ += d; }

 private:
  std::chrono::milliseconds now_{0};
};

class QuietDialogs final : public Dialogs {
 public:
  DialogAnswer Ask(const std::string&, const std::string&, DialogIcon, DialogButtons) override {
    return DialogAnswer::kOk;
  }
  void ShowMessage(const std::string&) override {}
};

class NullLog final : public LogSink {
 public:
  void AddLogLine(const std::string&) override {}
};

}  // namespace orti::fuzz
