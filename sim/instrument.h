#pragma once
// The instrument's protocol: one request frame in, one reply frame out, over a
// 64 KiB memory image. Knows nothing of time or of the line.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/frame_text.h"
#include "sim/notepad_layout.h"

namespace orti::sim {

// Error codes carried as the first data byte of an error reply.
constexpr uint8_t kErrorExecution = 1;   // malformed request, bad LRC, memory not saved
constexpr uint8_t kErrorNotAllowed = 2;  // address or size outside what may be touched
constexpr uint8_t kErrorUnknownCommand = 3;

enum class RequestKind { kIdentify, kRead, kWrite, kOther };

// Whether a write or erase changes the memory, or is only answered as if it had.
enum class WriteEffect { kApply, kDiscard };

struct InstrumentIdentity {
  uint8_t deviceAddress = 1;
  std::string name = "ОРТИ-415";  // UTF-8; sent as 8 cp1251 bytes
  char version = '3';
  uint8_t extra1 = 0x01;
  uint8_t extra2 = 0x00;
  std::array<uint16_t, 4> addressBlocks{0x0000, 0x0800, 0x1000, 0x2000};
  uint16_t notepadAddress = kDefaultNotepadAddress;
};

// The 51-character reply to an identify request.
std::string BuildIdentifyReply(const InstrumentIdentity& identity);
std::string BuildErrorReply(uint8_t deviceAddress, uint8_t functionCode, uint8_t errorCode);

// What a frame asks for, from its function code alone (no other check).
RequestKind ClassifyRequest(std::string_view frame);
// The function code of a frame, 0 when it has none.
uint8_t RequestFunctionCode(std::string_view frame);

class Instrument {
 public:
  // Called after every change of memory with the new image; false when the
  // change could not be kept (the instrument then undoes it and reports an error).
  using MemoryChanged = std::function<bool(const MemoryImage&)>;

  Instrument(const MemoryImage& memory, InstrumentIdentity identity);

  void OnMemoryChanged(MemoryChanged callback) { onChanged_ = std::move(callback); }
  // Flash-like: a write into bytes that are not erased (0xFF) gets an error
  // reply, unless they already hold what it writes (a repeated request).
  void SetStrictErase(bool strict) { strictErase_ = strict; }

  // `frame` is ":" … CR LF. Returns the reply frame, or nothing when the
  // request is addressed to another device.
  std::string HandleFrame(std::string_view frame, WriteEffect effect = WriteEffect::kApply);

  const MemoryImage& Memory() const { return memory_; }
  const InstrumentIdentity& Identity() const { return identity_; }

 private:
  std::string Read(const std::vector<uint8_t>& bytes);
  std::string Write(const std::vector<uint8_t>& bytes, WriteEffect effect);
  std::string Erase(uint16_t address, WriteEffect effect);
  // Writes, keeps, and answers with the address and `echoedSize` (0 for an erase).
  std::string Commit(uint32_t address, const uint8_t* data, uint32_t size, uint8_t echoedSize,
                     WriteEffect effect);
  std::string Error(uint8_t function, uint8_t code) const;

  MemoryImage memory_;
  InstrumentIdentity identity_;
  MemoryChanged onChanged_;
  bool strictErase_ = false;
};

}  // namespace orti::sim
