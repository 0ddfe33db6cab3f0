#pragma once
// The instrument's side of the line protocol, kept apart from the console's
// codec so that the tests compare two independent readings of the protocol:
// ":" then each byte as two hexadecimal digits, the LRC, CR LF.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orti::sim {

constexpr uint8_t kFuncRead = 0x02;
constexpr uint8_t kFuncIdentify = 0x0F;
constexpr uint8_t kFuncWrite = 0x12;
// Set in the function code of a reply that refuses the request.
constexpr uint8_t kErrorFlag = 0x80;

// Bytes of a read or write reply before its data: device, function, address
// high and low, size.
constexpr size_t kEchoBytes = 5;
// Characters of a frame besides its bytes: ":", the LRC's two digits, CR LF.
constexpr size_t kFrameOverhead = 5;

// The byte that brings the 8-bit sum of `bytes` to zero.
uint8_t FrameLrc(const uint8_t* bytes, size_t count);
inline uint8_t FrameLrc(const std::vector<uint8_t>& bytes) {
  return FrameLrc(bytes.data(), bytes.size());
}

// Upper-case digit of a nibble.
char HexDigit(uint8_t nibble);
// Either case, as the instrument reads a request; nothing for a non-digit.
std::optional<uint8_t> HexValue(char c);
void AppendHexByte(std::string& text, uint8_t byte);

// ":" `bytes` `lrc` CR LF.
std::string FrameWithLrc(const std::vector<uint8_t>& bytes, uint8_t lrc);
// ":" `bytes` and their LRC, CR LF.
inline std::string EncodeFrame(const std::vector<uint8_t>& bytes) {
  return FrameWithLrc(bytes, FrameLrc(bytes));
}

// Every byte between ":" and CR LF, the LRC last; nothing when `frame` is not
// ":", whole hexadecimal bytes and CR LF.
std::optional<std::vector<uint8_t>> FrameBytes(std::string_view frame);
// The byte whose digits start at `pos`, if both are digits.
std::optional<uint8_t> FrameByteAt(std::string_view frame, size_t pos);
// True when the last byte is the LRC of the ones before it.
bool LrcHolds(const std::vector<uint8_t>& bytesWithLrc);

}  // namespace orti::sim
