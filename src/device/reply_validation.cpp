#include "device/reply_validation.h"

#include <cstdint>
#include <vector>

#include "device/frame_codec.h"
#include "device/memory_map.h"

namespace orti {
namespace {

constexpr uint8_t kErrorFlag = 0x80;
// Address, function code, two extra bytes, eight name bytes, the version,
// five 16-bit words and the LRC.
constexpr size_t kIdentifyReplyBytes = 24;
constexpr size_t kWriteReplyBytes = 6;

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The frame's bytes, or false when its digits are odd in number.
bool FrameBytes(std::string_view frame, std::vector<uint8_t>& bytes) {
  const std::string_view digits = frame.substr(1, frame.size() - 3);
  if (digits.size() % 2 != 0) return false;
  bytes.clear();
  for (size_t i = 0; i < digits.size(); i += 2) {
    bytes.push_back(JoinNibbles(HexDigitValue(digits[i]), HexDigitValue(digits[i + 1])));
  }
  return true;
}

ReplyVerdict Judge(const std::vector<uint8_t>& req, std::string_view frame) {
  std::vector<uint8_t> rep;
  if (!FrameBytes(frame, rep) || rep.size() < 3) return ReplyVerdict::kBadLength;
  uint8_t sum = 0;
  for (uint8_t b : rep) sum = static_cast<uint8_t>(sum + b);
  if (sum != 0) return ReplyVerdict::kBadLrc;
  if (req.size() < 2 || rep[0] != req[0]) return ReplyVerdict::kOtherRequest;
  const uint8_t function = req[1];
  if (rep[1] == (function | kErrorFlag)) return ReplyVerdict::kErrorReply;
  if (rep[1] != function) return ReplyVerdict::kOtherRequest;

  switch (function) {
    case kFuncIdentify:
      return rep.size() == kIdentifyReplyBytes ? ReplyVerdict::kValid : ReplyVerdict::kBadLength;
    case kFuncRead:
    case kFuncWrite: {
      if (req.size() < 5) return ReplyVerdict::kOtherRequest;
      if (rep.size() < kWriteReplyBytes) return ReplyVerdict::kBadLength;
      if (rep[2] != req[2] || rep[3] != req[3] || rep[4] != req[4]) {
        return ReplyVerdict::kOtherRequest;
      }
      const size_t expected =
          function == kFuncRead ? kReadReplyOverhead + req[4] : kWriteReplyBytes;
      return rep.size() == expected ? ReplyVerdict::kValid : ReplyVerdict::kBadLength;
    }
    default:
      return ReplyVerdict::kOtherRequest;
  }
}

}  // namespace

namespace {

// The request's bytes without its LRC; empty when it is no frame.
std::vector<uint8_t> RequestBytes(std::string_view request) {
  std::vector<uint8_t> req;
  const size_t requestEnd = request.find("\r\n");
  if (request.empty() || requestEnd == std::string_view::npos ||
      !FrameBytes(request.substr(0, requestEnd + 2), req)) {
    req.clear();
  }
  if (!req.empty()) req.pop_back();
  return req;
}

}  // namespace

size_t ExpectedReplyLength(std::string_view request) {
  const std::vector<uint8_t> req = RequestBytes(request);
  size_t bytes = kReadReplyOverhead + kChunkSize;
  if (req.size() >= 2 && req[1] == kFuncIdentify) bytes = kIdentifyReplyBytes;
  if (req.size() >= 2 && req[1] == kFuncWrite) bytes = kWriteReplyBytes;
  if (req.size() >= 5 && req[1] == kFuncRead) bytes = kReadReplyOverhead + req[4];
  return FrameChars(bytes);
}

FoundReply FindReply(std::string_view request, std::string_view received) {
  const std::vector<uint8_t> req = RequestBytes(request);

  FoundReply best;
  FoundReply lastRejected;
  for (size_t colon = received.find(':'); colon != std::string_view::npos;
       colon = received.find(':', colon + 1)) {
    size_t end = colon + 1;
    while (end < received.size() && IsHexDigit(received[end])) ++end;
    if (end + 1 >= received.size() || received[end] != '\r' || received[end + 1] != '\n') continue;
    const std::string_view frame = received.substr(colon, end + 2 - colon);
    const ReplyVerdict verdict = Judge(req, frame);
    if (IsAcceptable(verdict)) {
      best = {verdict, frame};
    } else {
      lastRejected = {verdict, frame};
    }
  }
  return IsAcceptable(best.verdict) ? best : lastRejected;
}

const char* RejectionReason(ReplyVerdict verdict) {
  switch (verdict) {
    case ReplyVerdict::kBadLrc:
      return "контрольная сумма";
    case ReplyVerdict::kOtherRequest:
      return "ответ на другой запрос";
    case ReplyVerdict::kBadLength:
      return "длина ответа";
    default:
      return "";
  }
}

const char* VerdictName(ReplyVerdict verdict) {
  switch (verdict) {
    case ReplyVerdict::kValid:
      return "ok";
    case ReplyVerdict::kErrorReply:
      return "error-reply";
    case ReplyVerdict::kBadLrc:
      return "bad-lrc";
    case ReplyVerdict::kOtherRequest:
      return "other-request";
    case ReplyVerdict::kBadLength:
      return "bad-length";
    case ReplyVerdict::kNoFrame:
      break;
  }
  return "no-frame";
}

}  // namespace orti
