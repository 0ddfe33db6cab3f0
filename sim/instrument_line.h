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
#include <vector>

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

  // Characters the console sent, all handed to the line at `now`. Paced, they
  // then take their time on the wire; each reply starts its latency after
  // its request's last character is in.
  void Receive(std::string_view chars, Micros now);
  // Takes at most `capacity` of the characters that have arrived by `now`.
  std::string TakeArrived(Micros now, size_t capacity);
  // Forgets what has arrived by `now`; what is still on its way keeps coming.
  void DropArrived(Micros now);
  // When the next character arrives, if one is on its way.
  std::optional<Micros> NextArrival() const;
  // After a "gone" fault: nothing is answered or sent any more.
  bool Gone() const { return gone_; }

 private:
  struct Timed {
    Micros at;
    char c;
  };
  // A late reply waiting for its moment to go on the line.
  struct Held {
    Micros due;
    std::string reply;
    std::optional<std::chrono::milliseconds> splitPause;
  };
  // Carries out one request whose last character came in at `now`.
  void Answer(const std::string& frame, Micros now);
  void Transmit(const std::string& reply, Micros start,
                std::optional<std::chrono::milliseconds> splitPause);
  void Schedule(const std::string& text, Micros start);
  // Puts the late replies due by `now` on the line, behind whatever is on it.
  void ReleaseHeld(Micros now);

  Instrument& instrument_;
  FaultPlan& faults_;
  bool pacing_;
  bool gone_ = false;
  RequestFramer framer_;
  Micros inputFree_{0};  // when the last request character sent is in
  std::deque<Timed> outgoing_;
  std::vector<Held> held_;  // in order of `due`
};

}  // namespace orti::sim
