#include "sim/frame_text.h"

namespace orti::sim {

namespace {
constexpr std::string_view kDigits = "0123456789ABCDEF";
constexpr std::string_view kTrailer = "\r\n";
}  // namespace

uint8_t FrameLrc(const uint8_t* bytes, size_t count) {
  unsigned sum = 0;
  for (size_t i = 0; i < count; ++i) sum += bytes[i];
  return static_cast<uint8_t>(0x100 - (sum & 0xFF));
}

char HexDigit(uint8_t nibble) {
  return kDigits[nibble & 0x0F];
}

std::optional<uint8_t> HexValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<uint8_t>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<uint8_t>(c - 'a' + 10);
  return std::nullopt;
}

void AppendHexByte(std::string& text, uint8_t byte) {
  text += HexDigit(byte >> 4);
  text += HexDigit(byte);
}

std::string FrameWithLrc(const std::vector<uint8_t>& bytes, uint8_t lrc) {
  std::string frame(1, ':');
  frame.reserve(2 * bytes.size() + 5);
  for (uint8_t b : bytes) AppendHexByte(frame, b);
  AppendHexByte(frame, lrc);
  frame += kTrailer;
  return frame;
}

std::optional<uint8_t> FrameByteAt(std::string_view frame, size_t pos) {
  if (frame.size() < pos + 2) return std::nullopt;
  auto high = HexValue(frame[pos]);
  auto low = HexValue(frame[pos + 1]);
  if (!high || !low) return std::nullopt;
  return static_cast<uint8_t>(*high << 4 | *low);
}

std::optional<std::vector<uint8_t>> FrameBytes(std::string_view frame) {
  if (frame.size() < 1 + kTrailer.size() || frame.front() != ':' ||
      frame.substr(frame.size() - kTrailer.size()) != kTrailer) {
    return std::nullopt;
  }
  const size_t digits = frame.size() - 1 - kTrailer.size();
  if (digits % 2 != 0) return std::nullopt;
  std::vector<uint8_t> bytes;
  bytes.reserve(digits / 2);
  for (size_t pos = 1; pos < 1 + digits; pos += 2) {
    auto byte = FrameByteAt(frame, pos);
    if (!byte) return std::nullopt;
    bytes.push_back(*byte);
  }
  return bytes;
}

bool LrcHolds(const std::vector<uint8_t>& bytesWithLrc) {
  if (bytesWithLrc.empty()) return false;
  return FrameLrc(bytesWithLrc.data(), bytesWithLrc.size() - 1) == bytesWithLrc.back();
}

}  // namespace orti::sim
