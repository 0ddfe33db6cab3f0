#pragma once
// How long the exchange waits for this instrument. Real lines are slow: a
// request and its reply each take their time at 9600 baud, and slow firmware,
// a USB adapter's latency timer or a Bluetooth link delay the reply's start by
// tens to hundreds of milliseconds (the turnaround). An instrument that
// answers within the pause after a write is waited for exactly as always; one
// that answers later is given its measured turnaround before a request is
// sent again.

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>

#include "device/memory_map.h"
#include "device/reply_validation.h"

namespace orti {

using Millis = std::chrono::milliseconds;

// 9600 baud, 11 bits a character: start, 8 data, even parity, stop.
constexpr long long kLineBaud = 9600;
constexpr long long kBitsPerCharacter = 11;
constexpr Millis WireTime(size_t characters) {
  return Millis((static_cast<long long>(characters) * kBitsPerCharacter * 1000 + kLineBaud - 1) /
                kLineBaud);
}

// The longest reply the console asks for: a read of one chunk of five records.
constexpr size_t kLongestReplyChars = FrameChars(kReadReplyOverhead + kChunkSize);
// A line that has said nothing for this long has finished its frame: many
// character times, and above a USB adapter's usual 16 ms latency timer.
constexpr Millis kLineSilence{20};
// Room for jitter beyond what was measured.
constexpr Millis kPatienceMargin{150};

class LinePatience {
 public:
  // Forgets what was measured (another port, another instrument).
  void Forget();
  // One exchange's turnaround: last request character to first reply character.
  void Measured(Millis turnaround);
  // The turnaround the waits count on: the middle of the last three measured
  // (the larger of two), so that one exchange whose first request was lost
  // does not slow the line down, nor one instrument's quick answer before it
  // got slow hold it back.
  std::optional<Millis> Turnaround() const;

  // How long after handing a request of `requestChars` to the port the
  // attempt reads before sending again; never less than `pause`.
  Millis AttemptWindow(size_t requestChars, size_t replyChars, Millis pause) const;
  // The limit of one exchange: `base`, or three turnarounds and longest
  // replies when that is longer.
  Millis ExchangeLimit(Millis base) const;

 private:
  static constexpr size_t kRemembered = 3;
  std::array<Millis, kRemembered> recent_{};
  size_t count_ = 0;
  size_t next_ = 0;
};

}  // namespace orti
