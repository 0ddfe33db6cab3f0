#include "sim/fault_plan.h"

namespace orti::sim {

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
  }
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
