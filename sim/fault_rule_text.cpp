// The text form of a fault rule, as --fault takes it.

#include <charconv>

#include "sim/fault_plan.h"

namespace orti::sim {

namespace {

constexpr std::chrono::milliseconds kMaxFaultDuration{60000};
constexpr long long kMaxNth = 1000000;
constexpr long long kMaxShortDigits = 1000;
constexpr long long kMaxPercent = 100;

struct KindName {
  std::string_view name;
  FaultKind kind;
};
constexpr KindName kKindNames[] = {
    {"no-reply", FaultKind::kNoReply},    {"error", FaultKind::kErrorReply},
    {"name", FaultKind::kOtherName},      {"overlong", FaultKind::kOverlongReply},
    {"split", FaultKind::kSplitReply},    {"garbage", FaultKind::kLeadingGarbage},
    {"latency", FaultKind::kLatency},     {"short", FaultKind::kShortReply},
    {"lrc", FaultKind::kWrongLrc},        {"echo", FaultKind::kWrongEcho},
    {"late", FaultKind::kLateReply},      {"noise", FaultKind::kNoise},
    {"unapplied", FaultKind::kUnapplied}, {"unanswered", FaultKind::kUnanswered},
    {"gone", FaultKind::kGone},           {"random", FaultKind::kRandom},
};

bool ParseNumber(std::string_view text, long long max, long long& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value >= 0 && value <= max;
}

std::optional<FaultKind> ParseKind(std::string_view name) {
  for (const KindName& k : kKindNames) {
    if (k.name == name) return k.kind;
  }
  return std::nullopt;
}

std::optional<EchoField> ParseField(std::string_view name) {
  if (name == "address") return EchoField::kAddress;
  if (name == "size") return EchoField::kSize;
  if (name == "function") return EchoField::kFunction;
  if (name == "device") return EchoField::kDevice;
  return std::nullopt;
}

bool IsWriteFault(FaultKind kind) {
  return kind == FaultKind::kUnapplied || kind == FaultKind::kUnanswered ||
         kind == FaultKind::kGone;
}

// One "key=value" item into `rule`; false when it is not one this kind takes.
bool ParseOption(std::string_view key, std::string_view value, FaultRule& rule) {
  long long number = 0;
  if (key == "on") {
    if (IsWriteFault(rule.kind)) return value == "write";
    if (value == "identify") {
      rule.on = RequestKind::kIdentify;
    } else if (value == "read") {
      rule.on = RequestKind::kRead;
    } else if (value == "write") {
      rule.on = RequestKind::kWrite;
    } else if (value == "any") {
      rule.on.reset();
    } else {
      return false;
    }
    return true;
  }
  if (key == "nth") {
    if (!ParseNumber(value, kMaxNth, number) || number == 0) return false;
    rule.nth = static_cast<int>(number);
    return true;
  }
  if (key == "code") {
    if (!ParseNumber(value, 0xFF, number)) return false;
    rule.errorCode = static_cast<uint8_t>(number);
    return true;
  }
  if (key == "ms") {
    if (!ParseNumber(value, kMaxFaultDuration.count(), number)) return false;
    rule.duration = std::chrono::milliseconds(number);
    return true;
  }
  if (key == "name" || key == "text") {
    rule.text = std::string(value);
    return true;
  }
  if (key == "n" && rule.kind == FaultKind::kShortReply) {
    if (!ParseNumber(value, kMaxShortDigits, number) || number == 0) return false;
    rule.count = static_cast<int>(number);
    return true;
  }
  if (key == "field" && rule.kind == FaultKind::kWrongEcho) {
    auto field = ParseField(value);
    if (field) rule.field = *field;
    return field.has_value();
  }
  if (key == "rate" && rule.kind == FaultKind::kRandom) {
    if (!ParseNumber(value, kMaxPercent, number)) return false;
    rule.ratePercent = static_cast<int>(number);
    return true;
  }
  if (key == "seed" && rule.kind == FaultKind::kRandom) {
    if (!ParseNumber(value, UINT32_MAX, number)) return false;
    rule.seed = static_cast<uint32_t>(number);
    return true;
  }
  return false;
}

}  // namespace

bool ParseFaultRule(std::string_view text, FaultRule& rule, std::string& error) {
  rule = FaultRule{};
  size_t comma = text.find(',');
  std::string_view kindName = text.substr(0, comma);
  auto kind = ParseKind(kindName);
  if (!kind) {
    error = "unknown fault \"" + std::string(kindName) + "\"";
    return false;
  }
  rule = DefaultRule(*kind);
  bool rateGiven = false;
  while (comma != std::string_view::npos) {
    text.remove_prefix(comma + 1);
    comma = text.find(',');
    std::string_view item = text.substr(0, comma);
    size_t eq = item.find('=');
    if (eq == std::string_view::npos ||
        !ParseOption(item.substr(0, eq), item.substr(eq + 1), rule)) {
      error = "bad fault option \"" + std::string(item) + "\"";
      return false;
    }
    rateGiven = rateGiven || item.substr(0, eq) == "rate";
  }
  if (rule.kind == FaultKind::kRandom && !rateGiven) {
    error = "random needs rate=P (percent of replies)";
    return false;
  }
  return true;
}

}  // namespace orti::sim
