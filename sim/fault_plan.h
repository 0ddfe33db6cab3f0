#pragma once
// Misbehaviour of the instrument on chosen requests, so that a test can fail
// exactly one exchange: "no reply to the 3rd read", "error replies to every
// write", "another name on identify", "gone after the 2nd write" — or, for
// soaks, a given share of replies disturbed at random, reproducibly.

#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "sim/instrument.h"

namespace orti::sim {

enum class FaultKind {
  kNoReply,         // the request is lost: not carried out, not answered
  kErrorReply,      // refused with an error code instead of carried out
  kOtherName,       // identify answers with another instrument name
  kOverlongReply,   // the reply is padded with zero bytes to `kOverlongReplyLength` characters
  kSplitReply,      // the reply arrives in two halves with a pause between
  kLeadingGarbage,  // characters on the line before the ":"
  kLatency,         // the reply starts late, and the replies after it wait for it
  kShortReply,      // the reply lacks its last `count` digits; its LRC fits what is left
  kWrongLrc,        // the reply's LRC is off by one
  kWrongEcho,       // the reply echoes another `field` than the request's
  kLateReply,       // the reply is held back while later replies go out on time
  kNoise,           // `text`, or random characters, before the ":"
  kUnapplied,       // a write is answered as done but not carried out
  kUnanswered,      // a write is carried out but not answered
  kGone,            // a write is carried out, then the instrument is gone for good
  kRandom,          // `ratePercent` of replies get one random fault that spares the memory
};

// The field of a reply that repeats the request.
enum class EchoField { kAddress, kSize, kFunction, kDevice };

constexpr size_t kOverlongReplyLength = 121;
constexpr std::chrono::milliseconds kDefaultSplitPause{400};
constexpr std::chrono::milliseconds kDefaultLatePause{400};
constexpr int kDefaultShortDigits = 2;
constexpr char kDefaultGarbage[] = "\x7F??";
constexpr size_t kMaxNoiseLength = 16;
// A random latency stays within one exchange's first wait.
constexpr std::chrono::milliseconds kMaxRandomLatency{250};

struct FaultRule {
  FaultKind kind = FaultKind::kNoReply;
  std::optional<RequestKind> on;  // none: requests of every kind
  int nth = 0;                    // 1-based among the requests `on` names; 0: every one
  uint8_t errorCode = kErrorExecution;
  std::chrono::milliseconds duration{0};  // split pause, latency or hold-back
  std::string text;                       // other name (UTF-8) or leading characters
  int count = kDefaultShortDigits;        // digits a short reply lacks
  EchoField field = EchoField::kAddress;
  int ratePercent = 0;  // random: share of replies disturbed
  uint32_t seed = 1;    // random: which replies and how; also the noise characters
};

// What happens to one request and its reply; all matching rules together.
struct ReplyFaults {
  bool noReply = false;
  std::optional<uint8_t> errorCode;
  std::optional<std::string> otherName;
  bool overlong = false;
  std::optional<std::chrono::milliseconds> splitPause;
  std::string leadingGarbage;  // garbage and noise alike
  std::chrono::milliseconds latency{0};
  int shortDigits = 0;
  bool wrongLrc = false;
  std::optional<EchoField> wrongEcho;
  std::optional<std::chrono::milliseconds> late;
  bool unapplied = false;
  bool unanswered = false;
  bool gone = false;
};

// A soak: `ratePercent` of all replies disturbed, chosen from `seed`.
struct RandomFaults {
  int ratePercent = 0;
  uint32_t seed = 1;
};

class FaultPlan {
 public:
  FaultPlan() = default;
  explicit FaultPlan(RandomFaults random);

  // A random rule also reseeds the plan, so its run is the same every time.
  void Add(FaultRule rule);
  bool Empty() const { return rules_.empty(); }
  // Counts the request and returns the faults chosen for it.
  ReplyFaults Next(RequestKind kind);

 private:
  void Apply(const FaultRule& rule, ReplyFaults& faults);
  void AddRandomFault(ReplyFaults& faults);
  std::string RandomNoise();
  uint32_t Draw(uint32_t bound) { return static_cast<uint32_t>(rng_() % bound); }

  std::vector<FaultRule> rules_;
  int countByKind_[4] = {0, 0, 0, 0};
  int countAll_ = 0;
  std::mt19937 rng_{1};
};

// A rule of `kind` with the defaults the text form assumes.
FaultRule DefaultRule(FaultKind kind);

// "KIND[,on=identify|read|write|any][,nth=N][,code=C][,ms=N][,name=TEXT][,text=TEXT]
//  [,n=N][,field=address|size|function|device][,rate=P][,seed=S]"; see SimUsage for
// the kinds. The write faults take only writes (an erase is one). False with a
// reason when the text is not such a rule.
bool ParseFaultRule(std::string_view text, FaultRule& rule, std::string& error);

// The reply as a fault plan reshapes it (the timing faults are left to the line).
std::string ShapeReply(const ReplyFaults& faults, RequestKind kind, uint8_t function,
                       const Instrument& instrument, std::string reply);

}  // namespace orti::sim
