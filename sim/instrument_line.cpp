#include "sim/instrument_line.h"

#include <algorithm>

namespace orti::sim {

InstrumentLine::InstrumentLine(Instrument& instrument, FaultPlan& faults, bool pacing)
    : instrument_(instrument), faults_(faults), pacing_(pacing) {}

void InstrumentLine::Receive(std::string_view chars, Micros now) {
  ReleaseHeld(now);
  // Paced, the request itself takes its time on the line: a character is in
  // when its last bit is, and the instrument starts on a request only once
  // its last character is in.
  Micros arrived = now;
  for (char c : chars) {
    if (pacing_) {
      arrived = std::max(now, inputFree_) + CharacterTime(1);
      inputFree_ = arrived;
    }
    for (const std::string& frame : framer_.Feed(std::string_view(&c, 1))) {
      Answer(frame, arrived);
    }
  }
}

void InstrumentLine::Answer(const std::string& frame, Micros now) {
  if (gone_) return;
  const RequestKind kind = ClassifyRequest(frame);
  const ReplyFaults faults = faults_.Next(kind);
  // A lost or refused request leaves the memory as it was.
  if (faults.noReply) return;
  const WriteEffect effect = faults.unapplied ? WriteEffect::kDiscard : WriteEffect::kApply;
  std::string reply = faults.errorCode ? std::string() : instrument_.HandleFrame(frame, effect);
  if (faults.gone) {
    // Switched off right after the write: what was still to be sent is lost too.
    gone_ = true;
    while (!outgoing_.empty() && outgoing_.back().at > now) outgoing_.pop_back();
    held_.clear();
    return;
  }
  if (faults.unanswered) return;
  if (reply.empty() && !faults.errorCode) return;
  reply = ShapeReply(faults, kind, RequestFunctionCode(frame), instrument_, std::move(reply));

  if (faults.late) {
    const Held late{now + faults.late.value(), std::move(reply), faults.splitPause};
    auto after = std::upper_bound(held_.begin(), held_.end(), late.due,
                                  [](Micros due, const Held& h) { return due < h.due; });
    held_.insert(after, late);
    return;
  }
  // One transmitter: a reply starts after the previous one has gone out.
  Micros start = now + faults.latency;
  if (!outgoing_.empty()) start = std::max(start, outgoing_.back().at);
  Transmit(reply, start, faults.splitPause);
}

void InstrumentLine::Transmit(const std::string& reply, Micros start,
                              std::optional<std::chrono::milliseconds> splitPause) {
  if (!splitPause) {
    Schedule(reply, start);
    return;
  }
  const size_t half = reply.size() / 2;
  Schedule(reply.substr(0, half), start);
  start = outgoing_.empty() ? start : outgoing_.back().at;
  Schedule(reply.substr(half), start + *splitPause);
}

void InstrumentLine::Schedule(const std::string& text, Micros start) {
  for (size_t i = 0; i < text.size(); ++i) {
    outgoing_.push_back({pacing_ ? start + CharacterTime(i + 1) : start, text[i]});
  }
}

void InstrumentLine::ReleaseHeld(Micros now) {
  size_t released = 0;
  for (; released < held_.size() && held_[released].due <= now; ++released) {
    const Held& h = held_[released];
    const Micros start = outgoing_.empty() ? h.due : std::max(h.due, outgoing_.back().at);
    Transmit(h.reply, start, h.splitPause);
  }
  held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(released));
}

std::string InstrumentLine::TakeArrived(Micros now, size_t capacity) {
  ReleaseHeld(now);
  std::string arrived;
  while (!outgoing_.empty() && arrived.size() < capacity && outgoing_.front().at <= now) {
    arrived += outgoing_.front().c;
    outgoing_.pop_front();
  }
  return arrived;
}

void InstrumentLine::DropArrived(Micros now) {
  ReleaseHeld(now);
  while (!outgoing_.empty() && outgoing_.front().at <= now) outgoing_.pop_front();
}

std::optional<Micros> InstrumentLine::NextArrival() const {
  if (!outgoing_.empty()) return outgoing_.front().at;
  if (held_.empty()) return std::nullopt;
  // Nothing else is on the line, so the first late reply goes out at its moment.
  return held_.front().due + (pacing_ ? CharacterTime(1) : Micros(0));
}

}  // namespace orti::sim
