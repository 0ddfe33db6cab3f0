#include "sim/fault_plan.h"

#include <charconv>

namespace orti::sim {

namespace {

constexpr std::chrono::milliseconds kMaxFaultDuration{60000};

bool ParseNumber(std::string_view text, long long max, long long& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value >= 0 && value <= max;
}

std::optional<FaultKind> ParseKind(std::string_view name) {
  if (name == "no-reply") return FaultKind::NoReply;
  if (name == "error") return FaultKind::ErrorReply;
  if (name == "name") return FaultKind::OtherName;
  if (name == "overlong") return FaultKind::OverlongReply;
  if (name == "split") return FaultKind::SplitReply;
  if (name == "garbage") return FaultKind::LeadingGarbage;
  if (name == "latency") return FaultKind::Latency;
  return std::nullopt;
}

// Pads a well-formed reply with zero data bytes until it is long enough.
std::string Lengthen(const std::string& reply) {
  auto bytes = FrameBytes(reply);
  if (!bytes) return reply;
  bytes->pop_back();  // the LRC, made again for the longer frame
  while (bytes->size() * 2 + kFrameOverhead < kOverlongReplyLength) bytes->push_back(0);
  return EncodeFrame(*bytes);
}

bool IsRefusal(const std::string& reply) {
  auto function = FrameByteAt(reply, 3);
  return function && (*function & kErrorFlag) != 0;
}

}  // namespace

ReplyFaults FaultPlan::Next(RequestKind kind) {
  const int ofKind = ++countByKind_[static_cast<int>(kind)];
  const int ofAll = ++countAll_;
  ReplyFaults faults;
  for (const FaultRule& rule : rules_) {
    if (rule.on && *rule.on != kind) continue;
    const int count = rule.on ? ofKind : ofAll;
    if (rule.nth != 0 && rule.nth != count) continue;
    switch (rule.kind) {
      case FaultKind::NoReply:
        faults.noReply = true;
        break;
      case FaultKind::ErrorReply:
        faults.errorCode = rule.errorCode;
        break;
      case FaultKind::OtherName:
        faults.otherName = rule.text;
        break;
      case FaultKind::OverlongReply:
        faults.overlong = true;
        break;
      case FaultKind::SplitReply:
        faults.splitPause = rule.duration;
        break;
      case FaultKind::LeadingGarbage:
        faults.leadingGarbage += rule.text;
        break;
      case FaultKind::Latency:
        faults.latency += rule.duration;
        break;
    }
  }
  return faults;
}

bool ParseFaultRule(std::string_view text, FaultRule& rule, std::string& error) {
  rule = FaultRule{};
  size_t comma = text.find(',');
  std::string_view kindName = text.substr(0, comma);
  auto kind = ParseKind(kindName);
  if (!kind) {
    error = "unknown fault \"" + std::string(kindName) + "\"";
    return false;
  }
  rule.kind = *kind;
  if (rule.kind == FaultKind::OtherName) rule.text = "ОРТИ-416";
  if (rule.kind == FaultKind::LeadingGarbage) rule.text = "\x7F??";
  if (rule.kind == FaultKind::SplitReply) rule.duration = kDefaultSplitPause;
  while (comma != std::string_view::npos) {
    text.remove_prefix(comma + 1);
    comma = text.find(',');
    std::string_view item = text.substr(0, comma);
    size_t eq = item.find('=');
    std::string_view key = item.substr(0, eq);
    std::string_view value =
        eq == std::string_view::npos ? std::string_view() : item.substr(eq + 1);
    long long number = 0;
    bool ok = eq != std::string_view::npos;
    if (!ok) {
    } else if (key == "on") {
      if (value == "identify")
        rule.on = RequestKind::Identify;
      else if (value == "read")
        rule.on = RequestKind::Read;
      else if (value == "write")
        rule.on = RequestKind::Write;
      else if (value == "any")
        rule.on.reset();
      else
        ok = false;
    } else if (key == "nth") {
      ok = ParseNumber(value, 1000000, number) && number > 0;
      rule.nth = static_cast<int>(number);
    } else if (key == "code") {
      ok = ParseNumber(value, 0xFF, number);
      rule.errorCode = static_cast<uint8_t>(number);
    } else if (key == "ms") {
      ok = ParseNumber(value, kMaxFaultDuration.count(), number);
      rule.duration = std::chrono::milliseconds(number);
    } else if (key == "name" || key == "text") {
      rule.text = std::string(value);
    } else {
      ok = false;
    }
    if (!ok) {
      error = "bad fault option \"" + std::string(item) + "\"";
      return false;
    }
  }
  return true;
}

std::string ShapeReply(const ReplyFaults& faults, RequestKind kind, uint8_t function,
                       const Instrument& instrument, std::string reply) {
  const InstrumentIdentity& id = instrument.Identity();
  if (faults.errorCode) {
    reply = BuildErrorReply(id.deviceAddress, function, *faults.errorCode);
  } else if (faults.otherName && kind == RequestKind::Identify && !reply.empty() &&
             !IsRefusal(reply)) {
    InstrumentIdentity other = id;
    other.name = *faults.otherName;
    reply = BuildIdentifyReply(other);
  }
  if (reply.empty()) return reply;
  if (faults.overlong) reply = Lengthen(reply);
  return faults.leadingGarbage + reply;
}

}  // namespace orti::sim
