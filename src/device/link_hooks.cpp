#include "device/link_hooks.h"

namespace orti {

void ClockLinkHooks::StartReplyTimer(std::chrono::milliseconds interval) {
  running_ = true;
  startedAt_ = clock_.Now();
  interval_ = interval;
}

void ClockLinkHooks::ProcessMessages() {
  if (running_ && clock_.Now() - startedAt_ >= interval_) {
    // What Timer1Timer does: set the flag and stop the timer.
    state_.link.timeout = true;
    running_ = false;
  }
}

}  // namespace orti
