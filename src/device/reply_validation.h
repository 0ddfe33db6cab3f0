#pragma once
// Which of the frames that arrived answers the request. A frame is ":" then
// hexadecimal digits of either case then CR LF; it answers the request when
// its LRC is right and it echoes the request's address and function code, and
// for a read the memory address and size with exactly that many data bytes,
// for a write the memory address and size, for the identification its whole
// layout. An error reply (function code with bit 7 set) is checked for address,
// function code and LRC only. Pure functions, no I/O.

#include <cstddef>
#include <string_view>

namespace orti {

// A read reply's bytes beyond its data: address, function, 16-bit address, size, LRC.
constexpr size_t kReadReplyOverhead = 6;
// Characters of a frame of `bytes` bytes: ":", two digits a byte, CR LF.
constexpr size_t FrameChars(size_t bytes) {
  return 1 + 2 * bytes + 2;
}

enum class ReplyVerdict {
  kValid,
  kErrorReply,
  kBadLrc,        // the frame's bytes do not sum to its LRC
  kOtherRequest,  // an echoed field differs from the request
  kBadLength,     // too few or too many digits for the request
  kNoFrame,       // nothing of the form ":" digits CR LF arrived
};

struct FoundReply {
  ReplyVerdict verdict = ReplyVerdict::kNoFrame;
  // The frame from its ":" to its LF; for kValid and kErrorReply the reply,
  // otherwise the last frame that was turned down (empty for kNoFrame).
  std::string_view frame;
};

// The last acceptable frame of `received` for `request` (a frame the console
// built); when none is acceptable, the last frame and why it was turned down.
FoundReply FindReply(std::string_view request, std::string_view received);

// Characters of the reply that answers `request`, from ":" to LF; the longest
// read reply for a request of no known kind.
size_t ExpectedReplyLength(std::string_view request);

// What the work log says of a turned-down frame: "контрольная сумма",
// "ответ на другой запрос" or "длина ответа"; empty for the others.
const char* RejectionReason(ReplyVerdict verdict);

// A short word for the traffic trace.
const char* VerdictName(ReplyVerdict verdict);

inline bool IsAcceptable(ReplyVerdict verdict) {
  return verdict == ReplyVerdict::kValid || verdict == ReplyVerdict::kErrorReply;
}

}  // namespace orti
