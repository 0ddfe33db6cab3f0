#pragma once
// Time source for every wait of the console (pauses between requests, the
// reply timer). Production sleeps for real; tests advance virtual time.

#include <chrono>

namespace orti {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds on a monotonic scale.
  virtual std::chrono::milliseconds Now() = 0;
  virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

class SystemClock final : public Clock {
 public:
  std::chrono::milliseconds Now() override;
  void Sleep(std::chrono::milliseconds duration) override;
};

}  // namespace orti
