#include "sim/fault_plan.h"

namespace orti::sim {

namespace {

// The faults a soak picks from: each leaves the memory as a clean run would.
constexpr FaultKind kHarmlessFaults[] = {
    FaultKind::ShortReply,    FaultKind::WrongLrc, FaultKind::WrongEcho,
    FaultKind::LateReply,     FaultKind::Noise,    FaultKind::SplitReply,
    FaultKind::OverlongReply, FaultKind::NoReply,  FaultKind::LeadingGarbage,
    FaultKind::Latency,
};
constexpr EchoField kEchoFields[] = {EchoField::Address, EchoField::Size, EchoField::Function,
                                     EchoField::Device};
constexpr uint32_t kPercent = 100;

}  // namespace

FaultPlan::FaultPlan(RandomFaults random) {
  FaultRule rule;
  rule.kind = FaultKind::Random;
  rule.ratePercent = random.ratePercent;
  rule.seed = random.seed;
  Add(rule);
}

void FaultPlan::Add(FaultRule rule) {
  if (rule.kind == FaultKind::Random) rng_.seed(rule.seed);
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
    case FaultKind::ShortReply:
      faults.shortDigits += rule.count;
      break;
    case FaultKind::WrongLrc:
      faults.wrongLrc = true;
      break;
    case FaultKind::WrongEcho:
      faults.wrongEcho = rule.field;
      break;
    case FaultKind::LateReply:
      faults.late = rule.duration;
      break;
    case FaultKind::Noise:
      faults.leadingGarbage += rule.text.empty() ? RandomNoise() : rule.text;
      break;
    case FaultKind::Unapplied:
      faults.unapplied = true;
      break;
    case FaultKind::Unanswered:
      faults.unanswered = true;
      break;
    case FaultKind::Gone:
      faults.gone = true;
      break;
    case FaultKind::Random:
      if (Draw(kPercent) < static_cast<uint32_t>(rule.ratePercent)) AddRandomFault(faults);
      break;
  }
}

FaultRule DefaultRule(FaultKind kind) {
  FaultRule rule;
  rule.kind = kind;
  switch (kind) {
    case FaultKind::OtherName:
      rule.text = "ОРТИ-416";
      break;
    case FaultKind::LeadingGarbage:
      rule.text = kDefaultGarbage;
      break;
    case FaultKind::SplitReply:
      rule.duration = kDefaultSplitPause;
      break;
    case FaultKind::LateReply:
      rule.duration = kDefaultLatePause;
      break;
    case FaultKind::Unapplied:
    case FaultKind::Unanswered:
    case FaultKind::Gone:
      // A write fault counts writes, erases included.
      rule.on = RequestKind::Write;
      break;
    default:
      break;
  }
  return rule;
}

void FaultPlan::AddRandomFault(ReplyFaults& faults) {
  FaultRule rule = DefaultRule(kHarmlessFaults[Draw(std::size(kHarmlessFaults))]);
  if (rule.kind == FaultKind::WrongEcho) rule.field = kEchoFields[Draw(std::size(kEchoFields))];
  if (rule.kind == FaultKind::Latency) {
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
