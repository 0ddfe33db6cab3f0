#include "sim/instrument.h"

#include <algorithm>
#include <optional>

#include "platform/cp1251.h"

namespace orti::sim {

namespace {

constexpr size_t kIdentifyNameBytes = 8;

void PutWord(std::vector<uint8_t>& bytes, uint16_t value) {
  bytes.push_back(static_cast<uint8_t>(value >> 8));
  bytes.push_back(static_cast<uint8_t>(value & 0xFF));
}

}  // namespace

std::string BuildIdentifyReply(const InstrumentIdentity& id) {
  std::string name = Utf8ToCp1251(id.name);
  name.resize(kIdentifyNameBytes, ' ');
  std::vector<uint8_t> bytes{id.deviceAddress, kFuncIdentify, id.extra1, id.extra2};
  bytes.insert(bytes.end(), name.begin(), name.end());
  bytes.push_back(static_cast<uint8_t>(id.version));
  for (uint16_t block : id.addressBlocks) PutWord(bytes, block);
  PutWord(bytes, id.notepadAddress);
  return EncodeFrame(bytes);
}

std::string BuildErrorReply(uint8_t deviceAddress, uint8_t functionCode, uint8_t errorCode) {
  return EncodeFrame({deviceAddress, static_cast<uint8_t>(functionCode | kErrorFlag), errorCode});
}

uint8_t RequestFunctionCode(std::string_view frame) {
  return FrameByteAt(frame, 3).value_or(0);
}

RequestKind ClassifyRequest(std::string_view frame) {
  switch (RequestFunctionCode(frame)) {
    case kFuncIdentify:
      return RequestKind::kIdentify;
    case kFuncRead:
      return RequestKind::kRead;
    case kFuncWrite:
      return RequestKind::kWrite;
    default:
      return RequestKind::kOther;
  }
}

Instrument::Instrument(const MemoryImage& memory, InstrumentIdentity identity)
    : memory_(memory), identity_(std::move(identity)) {}

std::string Instrument::Error(uint8_t function, uint8_t code) const {
  return BuildErrorReply(identity_.deviceAddress, function, code);
}

std::string Instrument::HandleFrame(std::string_view frame, WriteEffect effect) {
  // Another device's request, or one whose address cannot even be read, is
  // none of this instrument's business: it stays silent as on a shared line.
  auto address = FrameByteAt(frame, 1);
  if (!address || *address != identity_.deviceAddress) return {};
  const uint8_t function = RequestFunctionCode(frame);
  auto bytes = FrameBytes(frame);
  if (!bytes || bytes->size() < 3) return Error(function, kErrorExecution);
  const uint8_t lrc = bytes->back();
  bytes->pop_back();
  if (FrameLrc(*bytes) != lrc) return Error(function, kErrorExecution);

  switch (function) {
    case kFuncIdentify:
      if (bytes->size() != 2) return Error(function, kErrorExecution);
      return BuildIdentifyReply(identity_);
    case kFuncRead:
      return Read(*bytes);
    case kFuncWrite:
      return Write(*bytes, effect);
    default:
      return Error(function, kErrorUnknownCommand);
  }
}

std::string Instrument::Read(const std::vector<uint8_t>& bytes) {
  if (bytes.size() != kEchoBytes) return Error(kFuncRead, kErrorExecution);
  const uint32_t address = 256u * bytes[2] + bytes[3];
  const uint32_t size = bytes[4];
  if (address + size > kMemorySize) return Error(kFuncRead, kErrorNotAllowed);
  std::vector<uint8_t> reply(bytes.begin(), bytes.end());
  reply.insert(reply.end(), memory_.begin() + address, memory_.begin() + address + size);
  return EncodeFrame(reply);
}

std::string Instrument::Write(const std::vector<uint8_t>& bytes, WriteEffect effect) {
  if (bytes.size() < kEchoBytes || bytes.size() != kEchoBytes + bytes[4]) {
    return Error(kFuncWrite, kErrorExecution);
  }
  const uint32_t address = 256u * bytes[2] + bytes[3];
  const uint32_t size = bytes[4];
  if (size == 0) return Erase(static_cast<uint16_t>(address), effect);
  // Only the notepad may be written; the rest of memory is the instrument's own.
  if (address < identity_.notepadAddress || address + size > kNotepadEnd) {
    return Error(kFuncWrite, kErrorNotAllowed);
  }
  const uint8_t* data = bytes.data() + kEchoBytes;
  if (strictErase_ && !std::equal(data, data + size, memory_.begin() + address) &&
      !std::all_of(memory_.begin() + address, memory_.begin() + address + size,
                   [](uint8_t b) { return b == kErased; })) {
    return Error(kFuncWrite, kErrorNotAllowed);
  }
  return Commit(address, bytes.data() + kEchoBytes, size, static_cast<uint8_t>(size), effect);
}

std::string Instrument::Erase(uint16_t address, WriteEffect effect) {
  const uint32_t notepad = identity_.notepadAddress;
  if (address < notepad || (address - notepad) % kFolderBlockSize != 0 ||
      address + kFolderBlockSize > kNotepadEnd) {
    return Error(kFuncWrite, kErrorNotAllowed);
  }
  std::array<uint8_t, kFolderBlockSize> erased{};
  erased.fill(kErased);
  return Commit(address, erased.data(), kFolderBlockSize, 0, effect);
}

std::string Instrument::Commit(uint32_t address, const uint8_t* data, uint32_t size,
                               uint8_t echoedSize, WriteEffect effect) {
  std::vector<uint8_t> reply{identity_.deviceAddress, kFuncWrite};
  PutWord(reply, static_cast<uint16_t>(address));
  reply.push_back(echoedSize);
  if (effect == WriteEffect::kDiscard) return EncodeFrame(reply);
  std::vector<uint8_t> before(memory_.begin() + address, memory_.begin() + address + size);
  std::copy(data, data + size, memory_.begin() + address);
  if (onChanged_ && !onChanged_(memory_)) {
    // A write the instrument cannot keep must not be reported as done.
    std::copy(before.begin(), before.end(), memory_.begin() + address);
    return Error(kFuncWrite, kErrorExecution);
  }
  return EncodeFrame(reply);
}

}  // namespace orti::sim
