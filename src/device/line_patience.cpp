#include "device/line_patience.h"

#include <algorithm>

namespace orti {

void LinePatience::Forget() {
  count_ = 0;
  next_ = 0;
}

void LinePatience::Measured(Millis turnaround) {
  recent_[next_] = std::max(Millis(0), turnaround);
  next_ = (next_ + 1) % kRemembered;
  count_ = std::min(count_ + 1, kRemembered);
}

std::optional<Millis> LinePatience::Turnaround() const {
  if (count_ == 0) return std::nullopt;
  std::array<Millis, kRemembered> sorted = recent_;
  std::sort(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(count_));
  return sorted[count_ / 2];
}

Millis LinePatience::AttemptWindow(size_t requestChars, size_t replyChars, Millis pause) const {
  const std::optional<Millis> turnaround = Turnaround();
  if (!turnaround || *turnaround <= pause) return pause;
  return std::max(pause,
                  WireTime(requestChars) + *turnaround + WireTime(replyChars) + kPatienceMargin);
}

Millis LinePatience::ExchangeLimit(Millis base) const {
  const std::optional<Millis> turnaround = Turnaround();
  if (!turnaround) return base;
  return std::max(base, 3 * (*turnaround + WireTime(kLongestReplyChars)));
}

}  // namespace orti
