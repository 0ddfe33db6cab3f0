#pragma once
// A clock whose time moves only when the code under test sleeps or a test
// advances it.

#include <chrono>

#include "platform/clock.h"

namespace orti::test {

class FakeClock final : public Clock {
 public:
  std::chrono::milliseconds Now() override { return now_; }
  void Sleep(std::chrono::milliseconds duration) override {
    now_ += duration;
    slept_ += duration;
  }
  void Advance(std::chrono::milliseconds duration) { now_ += duration; }
  std::chrono::milliseconds Slept() const { return slept_; }

 private:
  std::chrono::milliseconds now_{0};
  std::chrono::milliseconds slept_{0};
};

}  // namespace orti::test
