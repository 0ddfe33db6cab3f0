#include "sim/fault_plan.h"

namespace orti::sim {

namespace {

// The faults a soak picks from: each leaves the memory as a clean run would.
constexpr FaultKind kHarmlessFaults[] = {
    FaultKind::kShortReply,    FaultKind::kWrongLrc, FaultKind::kWrongEcho,
    FaultKind::kLateReply,     FaultKind::kNoise,    FaultKind::kSplitReply,
    FaultKind::kOverlongReply, FaultKind::kNoReply,  FaultKind::kLeadingGarbage,
    FaultKind::kLatency,
};
constexpr EchoField kEchoFields[] = {EchoField::kAddress, EchoField::kSize, EchoField::kFunction,
                                     EchoField::kDevice};
constexpr uint32_t kPercent = 100;

}  // namespace

FaultPlan::FaultPlan(RandomFaults random) {
  FaultRule rule;
  rule.kind = FaultKind::kRandom;
  rule.ratePercent = random.ratePercent;
  rule.seed = random.seed;
  Add(rule);
}

void FaultPlan::Add(FaultRule rule) {
  if (rule.kind == FaultKind::kRandom) rng_.seed(rule.seed);
  rules_.push_back(std::move(rule));
}

ReplyFaults FaultPlan::Next(RequestKind kind) {
  const int ofKind = ++countByKind_[static_cast<int>(kind)];
  const int ofAll = ++countAll_;
  ReplyFaults faults;
  for (const FaultRule& rule : rules_) {
    if (rule.on && *rule.on != kind) continue;
    const int count = rule.on ? ofKind : ofAll;
    if (rule.nth != 0 && rule.nth != count) continue;
    Apply(rule, faults);
  }
  return faults;
}

void FaultPlan::Apply(const FaultRule& rule, ReplyFaults& faults) {
  switch (rule.kind) {
    case FaultKind::kNoReply:
      faults.noReply = true;
      break;
    case FaultKind::kErrorReply:
      faults.errorCode = rule.errorCode;
      break;
    case FaultKind::kOtherName:
      faults.otherName = rule.text;
      break;
    case FaultKind::kOverlongReply:
      faults.overlong = true;
      break;
    case FaultKind::kSplitReply:
      faults.splitPause = rule.duration;
      break;
    case FaultKind::kLeadingGarbage:
      faults.leadingGarbage += rule.text;
      break;
    case FaultKind::kLatency:
      faults.latency += rule.duration;
      break;
    case FaultKind::kShortReply:
      faults.shortDigits += rule.count;
      break;
    case FaultKind::kWrongLrc:
      faults.wrongLrc = true;
      break;
    case FaultKind::kWrongEcho:
      faults.wrongEcho = rule.field;
      break;
    case FaultKind::kLateReply:
      faults.late = rule.duration;
      break;
    case FaultKind::kNoise:
      faults.leadingGarbage += rule.text.empty() ? RandomNoise() : rule.text;
      break;
    case FaultKind::kUnapplied:
      faults.unapplied = true;
      break;
    case FaultKind::kUnanswered:
      faults.unanswered = true;
      break;
    case FaultKind::kGone:
      faults.gone = true;
      break;
    case FaultKind::kRandom:
      if (Draw(kPercent) < static_cast<uint32_t>(rule.ratePercent)) AddRandomFault(faults);
      break;
  }
}

FaultRule DefaultRule(FaultKind kind) {
  FaultRule rule;
  rule.kind = kind;
  switch (kind) {
    case FaultKind::kOtherName:
      rule.text = "ОРТИ-416";
      break;
    case FaultKind::kLeadingGarbage:
      rule.text = kDefaultGarbage;
      break;
    case FaultKind::kSplitReply:
      rule.duration = kDefaultSplitPause;
      break;
    case FaultKind::kLateReply:
      rule.duration = kDefaultLatePause;
      break;
    case FaultKind::kUnapplied:
    case FaultKind::kUnanswered:
    case FaultKind::kGone:
      // A write fault counts writes, erases included.
      rule.on = RequestKind::kWrite;
      break;
    default:
      break;
  }
  return rule;
}

void FaultPlan::AddRandomFault(ReplyFaults& faults) {
  FaultRule rule = DefaultRule(kHarmlessFaults[Draw(std::size(kHarmlessFaults))]);
  if (rule.kind == FaultKind::kWrongEcho) rule.field = kEchoFields[Draw(std::size(kEchoFields))];
  if (rule.kind == FaultKind::kLatency) {
    rule.duration = std::chrono::milliseconds(1 + Draw(kMaxRandomLatency.count()));
  }
  Apply(rule, faults);
}

std::string FaultPlan::RandomNoise() {
  std::string noise(1 + Draw(kMaxNoiseLength), '\0');
  for (char& c : noise) {
    // Any byte but the ":" that starts a frame: the instrument's frame stays the only one.
    do {
      c = static_cast<char>(Draw(256));
    } while (c == ':');
  }
  return noise;
}

}  // namespace orti::sim
