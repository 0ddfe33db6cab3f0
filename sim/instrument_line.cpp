#include "sim/instrument_line.h"

#include <algorithm>

namespace orti::sim {

InstrumentLine::InstrumentLine(Instrument& instrument, FaultPlan& faults, bool pacing)
    : instrument_(instrument), faults_(faults), pacing_(pacing) {}

void InstrumentLine::Receive(std::string_view chars, Micros now) {
  for (const std::string& frame : framer_.Feed(chars)) {
    const RequestKind kind = ClassifyRequest(frame);
    const ReplyFaults faults = faults_.Next(kind);
    // A lost or refused request leaves the memory as it was.
    if (faults.noReply) continue;
    std::string reply = faults.errorCode ? std::string() : instrument_.HandleFrame(frame);
    if (reply.empty() && !faults.errorCode) continue;
    reply = ShapeReply(faults, kind, RequestFunctionCode(frame), instrument_, std::move(reply));

    Micros start = now + faults.latency;
    // One transmitter: a reply starts after the previous one has gone out.
    if (!outgoing_.empty()) start = std::max(start, outgoing_.back().at);
    if (faults.splitPause) {
      const size_t half = reply.size() / 2;
      Schedule(reply.substr(0, half), start);
      start = outgoing_.empty() ? start : outgoing_.back().at;
      Schedule(reply.substr(half), start + *faults.splitPause);
    } else {
      Schedule(reply, start);
    }
  }
}

void InstrumentLine::Schedule(const std::string& text, Micros start) {
  for (size_t i = 0; i < text.size(); ++i) {
    outgoing_.push_back({pacing_ ? start + CharacterTime(i + 1) : start, text[i]});
  }
}

std::string InstrumentLine::TakeArrived(Micros now, size_t capacity) {
  std::string arrived;
  while (!outgoing_.empty() && arrived.size() < capacity && outgoing_.front().at <= now) {
    arrived += outgoing_.front().c;
    outgoing_.pop_front();
  }
  return arrived;
}

void InstrumentLine::DropArrived(Micros now) {
  while (!outgoing_.empty() && outgoing_.front().at <= now) outgoing_.pop_front();
}

std::optional<Micros> InstrumentLine::NextArrival() const {
  if (outgoing_.empty()) return std::nullopt;
  return outgoing_.front().at;
}

}  // namespace orti::sim
