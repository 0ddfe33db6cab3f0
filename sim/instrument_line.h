#pragma once
// The instrument at the far end of a serial line: requests arrive as
// characters at some moment, and each reply character reaches the console's
// side at a moment the fault plan and the optional 9600-baud pacing decide.
// Time is whatever scale the caller uses (virtual in tests, steady in the
// simulator program), in microseconds.

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "sim/fault_plan.h"
#include "sim/instrument.h"
#include "sim/request_framer.h"

namespace orti::sim {

using Micros = std::chrono::microseconds;

// 11 bits per character (start, 8 data, parity, stop) at 9600 baud.
constexpr long long kBitsPerCharacter = 11;
constexpr long long kBaudRate = 9600;
constexpr Micros CharacterTime(size_t characters) {
  return Micros(static_cast<long long>(characters) * kBitsPerCharacter * 1000000 / kBaudRate);
}

class InstrumentLine {
 public:
  InstrumentLine(Instrument& instrument, FaultPlan& faults, bool pacing = false);

  void SetPacing(bool pacing) { pacing_ = pacing; }

  // Characters the console sent, all received at `now`.
  void Receive(std::string_view chars, Micros now);
  // Takes at most `capacity` of the characters that have arrived by `now`.
  std::string TakeArrived(Micros now, size_t capacity);
  // Forgets what has arrived by `now`; what is still on its way keeps coming.
  void DropArrived(Micros now);
  // When the next character arrives, if one is on its way.
  std::optional<Micros> NextArrival() const;

 private:
  struct Timed {
    Micros at;
    char c;
  };
  void Schedule(const std::string& text, Micros start);

  Instrument& instrument_;
  FaultPlan& faults_;
  bool pacing_;
  RequestFramer framer_;
  std::deque<Timed> outgoing_;
};

}  // namespace orti::sim
