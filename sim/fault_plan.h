#pragma once
// Misbehaviour of the instrument on chosen requests, so that a test can fail
// exactly one exchange: "no reply to the 3rd read", "error replies to every
// write", "another name on identify".

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/instrument.h"

namespace orti::sim {

enum class FaultKind {
  NoReply,         // the request is lost: not carried out, not answered
  ErrorReply,      // refused with an error code instead of carried out
  OtherName,       // identify answers with another instrument name
  OverlongReply,   // the reply is padded with zero bytes to `kOverlongReplyLength` characters
  SplitReply,      // the reply arrives in two halves with a pause between
  LeadingGarbage,  // characters on the line before the ":"
  Latency,         // the reply starts late
};

constexpr size_t kOverlongReplyLength = 121;
constexpr std::chrono::milliseconds kDefaultSplitPause{400};

struct FaultRule {
  FaultKind kind = FaultKind::NoReply;
  std::optional<RequestKind> on;  // none: requests of every kind
  int nth = 0;                    // 1-based among the requests `on` names; 0: every one
  uint8_t errorCode = kErrorExecution;
  std::chrono::milliseconds duration{0};  // split pause or latency
  std::string text;                       // other name (UTF-8) or leading characters
};

// What happens to the reply of one request; all matching rules together.
struct ReplyFaults {
  bool noReply = false;
  std::optional<uint8_t> errorCode;
  std::optional<std::string> otherName;
  bool overlong = false;
  std::optional<std::chrono::milliseconds> splitPause;
  std::string leadingGarbage;
  std::chrono::milliseconds latency{0};
};

class FaultPlan {
 public:
  void Add(FaultRule rule) { rules_.push_back(std::move(rule)); }
  bool Empty() const { return rules_.empty(); }
  // Counts the request and returns the faults chosen for it.
  ReplyFaults Next(RequestKind kind);

 private:
  std::vector<FaultRule> rules_;
  int countByKind_[4] = {0, 0, 0, 0};
  int countAll_ = 0;
};

// "KIND[,on=identify|read|write|any][,nth=N][,code=C][,ms=N][,name=TEXT][,text=TEXT]"
// with KIND one of no-reply, error, name, overlong, split, garbage, latency.
// False with a reason when the text is not such a rule.
bool ParseFaultRule(std::string_view text, FaultRule& rule, std::string& error);

// The reply as a fault plan reshapes it (the timing faults are left to the line).
std::string ShapeReply(const ReplyFaults& faults, RequestKind kind, uint8_t function,
                       const Instrument& instrument, std::string reply);

}  // namespace orti::sim
