#pragma once
// Frames of the instrument's serial protocol: ":" then hexadecimal digits, the
// LRC of the raw bytes, CR LF. Pure functions, no I/O.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orti {

constexpr uint8_t kFuncRead = 0x02;
constexpr uint8_t kFuncIdentify = 0x0F;
constexpr uint8_t kFuncWrite = 0x12;
constexpr uint8_t kDefaultDeviceAddress = 1;

constexpr size_t kIdentifyRequestLength = 9;
constexpr size_t kReadRequestLength = 15;
constexpr size_t kReplyDataPosition = 11;  // first data digit of a read reply

// Two's complement of the 8-bit sum of the bytes.
uint8_t ComputeLrc(const uint8_t* bytes, size_t count);

// "0".."9", "A".."F".
char NibbleToHexDigit(uint8_t nibble);
// "0".."9", "A".."F" and "a".."f"; any other character reads as 0 (a
// validated frame holds none).
uint8_t HexDigitValue(char c);
void SplitByte(uint8_t byte, uint8_t& high, uint8_t& low);
uint8_t JoinNibbles(uint8_t high, uint8_t low);
// Four digits, high byte first.
uint16_t ParseWord16(const char* digits);

// Character at `pos` of a received block; a zero beyond its end, as in the
// zero-filled reply buffer.
inline char BlockChar(std::string_view block, size_t pos) {
  return pos < block.size() ? block[pos] : '\0';
}
// The byte whose two digits start at `pos`.
uint8_t ReplyByteAt(std::string_view block, size_t pos);

// A frame whose function code has its high bit set (bit 3 of the digit at position 3).
bool IsErrorReply(std::string_view frame);
// Text of a one-digit device error code.
std::string DeviceErrorText(char digit);

// ":" then the bytes as digits, their LRC, CR LF: a request, or the instrument's reply.
std::string EncodeFrame(const std::vector<uint8_t>& bytes);

std::string BuildIdentifyRequest(uint8_t deviceAddress);
std::string BuildReadRequest(uint8_t deviceAddress, uint16_t memoryAddress, uint8_t size);
// A write of `size` data bytes; size 0 erases the 512-byte folder block.
std::string BuildWriteRequest(uint8_t deviceAddress, uint16_t memoryAddress, const uint8_t* data,
                              uint8_t size);

}  // namespace orti
