// How the faults of one request reshape the instrument's reply frame.

#include <algorithm>

#include "sim/fault_plan.h"

namespace orti::sim {

namespace {

// Digits of the device address and function code: a short reply keeps them.
constexpr size_t kHeadDigits = 4;
// A wrong address echo names the next folder's block: what a stale reply would.
constexpr uint16_t kWrongAddressStep = kFolderBlockSize;
// Another function that is still no error reply: 02 <-> 12, 0F -> 1F.
constexpr uint8_t kWrongFunctionBits = 0x10;

bool IsRefusal(const std::vector<uint8_t>& bytes) {
  return bytes.size() > 1 && (bytes[1] & kErrorFlag) != 0;
}

bool EchoesAddressAndSize(const std::vector<uint8_t>& bytes) {
  return bytes.size() >= kEchoBytes && !IsRefusal(bytes) &&
         (bytes[1] == kFuncRead || bytes[1] == kFuncWrite);
}

void Misecho(std::vector<uint8_t>& bytes, EchoField field) {
  switch (field) {
    case EchoField::kDevice:
      ++bytes[0];
      break;
    case EchoField::kFunction:
      bytes[1] ^= kWrongFunctionBits;
      break;
    case EchoField::kAddress:
      if (EchoesAddressAndSize(bytes)) {
        const uint16_t address =
            static_cast<uint16_t>(256u * bytes[2] + bytes[3] + kWrongAddressStep);
        bytes[2] = static_cast<uint8_t>(address >> 8);
        bytes[3] = static_cast<uint8_t>(address & 0xFF);
      }
      break;
    case EchoField::kSize:
      if (EchoesAddressAndSize(bytes)) ++bytes[4];
      break;
  }
}

}  // namespace

std::string ShapeReply(const ReplyFaults& faults, RequestKind kind, uint8_t function,
                       const Instrument& instrument, std::string reply) {
  const InstrumentIdentity& id = instrument.Identity();
  if (faults.errorCode) reply = BuildErrorReply(id.deviceAddress, function, *faults.errorCode);
  auto bytes = FrameBytes(reply);
  // Silence stays silence; the instrument's own frames always decode.
  if (!bytes || bytes->size() < 2) return reply;
  bytes->pop_back();  // the LRC, made again below

  if (faults.otherName && kind == RequestKind::kIdentify && !IsRefusal(*bytes)) {
    InstrumentIdentity other = id;
    other.name = *faults.otherName;
    bytes = FrameBytes(BuildIdentifyReply(other));
    bytes->pop_back();
  }
  if (faults.overlong) {
    while (2 * bytes->size() + kFrameOverhead < kOverlongReplyLength) bytes->push_back(0);
  }
  if (faults.wrongEcho) Misecho(*bytes, *faults.wrongEcho);

  std::string digits;
  for (uint8_t b : *bytes) AppendHexByte(digits, b);
  if (faults.shortDigits > 0) {
    const size_t cut =
        std::min(static_cast<size_t>(faults.shortDigits), digits.size() - kHeadDigits);
    digits.resize(digits.size() - cut);
    // The LRC covers the whole bytes that are left, as if the sender had counted wrong.
    bytes->resize(digits.size() / 2);
  }
  uint8_t lrc = FrameLrc(*bytes);
  if (faults.wrongLrc) ++lrc;

  std::string shaped = faults.leadingGarbage + ":" + digits;
  AppendHexByte(shaped, lrc);
  return shaped + "\r\n";
}

}  // namespace orti::sim
