#include "device/frame_codec.h"

#include <vector>

namespace orti {

uint8_t ComputeLrc(const uint8_t* bytes, size_t count) {
  uint8_t sum = 0;
  for (size_t i = 0; i < count; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
  return static_cast<uint8_t>(-sum);
}

char NibbleToHexDigit(uint8_t nibble) {
  nibble &= 0x0F;
  return static_cast<char>(nibble <= 9 ? 0x30 + nibble : 0x37 + nibble);
}

uint8_t HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<uint8_t>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<uint8_t>(c - 'a' + 10);
  return 0;
}

void SplitByte(uint8_t byte, uint8_t& high, uint8_t& low) {
  high = static_cast<uint8_t>(byte >> 4);
  low = static_cast<uint8_t>(byte & 0x0F);
}

uint8_t JoinNibbles(uint8_t high, uint8_t low) {
  return static_cast<uint8_t>(16 * high + low);
}

uint16_t ParseWord16(const char* d) {
  return static_cast<uint16_t>(4096 * HexDigitValue(d[0]) + 256 * HexDigitValue(d[1]) +
                               16 * HexDigitValue(d[2]) + HexDigitValue(d[3]));
}

uint8_t ReplyByteAt(std::string_view block, size_t pos) {
  return JoinNibbles(HexDigitValue(BlockChar(block, pos)),
                     HexDigitValue(BlockChar(block, pos + 1)));
}

bool IsErrorReply(std::string_view frame) {
  return (HexDigitValue(BlockChar(frame, 3)) & 0x08) != 0;
}

std::string DeviceErrorText(char digit) {
  switch (HexDigitValue(digit)) {
    case 1:
      return "Ошибка выполнения команды";
    case 2:
      return "Недопустимая команда (Команда не может быть выполнена)";
    case 3:
      return "Неизвестная команда (Код команды не существует)";
    default:
      return "Неизвестная ошибка";
  }
}

std::string EncodeFrame(const std::vector<uint8_t>& bytes) {
  std::string frame = ":";
  frame.reserve(bytes.size() * 2 + 5);
  auto put = [&frame](uint8_t b) {
    uint8_t h, l;
    SplitByte(b, h, l);
    frame += NibbleToHexDigit(h);
    frame += NibbleToHexDigit(l);
  };
  for (uint8_t b : bytes) put(b);
  put(ComputeLrc(bytes.data(), bytes.size()));
  frame += "\r\n";
  return frame;
}

std::string BuildIdentifyRequest(uint8_t deviceAddress) {
  return EncodeFrame({deviceAddress, kFuncIdentify});
}

std::string BuildReadRequest(uint8_t deviceAddress, uint16_t memoryAddress, uint8_t size) {
  return EncodeFrame({deviceAddress, kFuncRead, static_cast<uint8_t>(memoryAddress >> 8),
                      static_cast<uint8_t>(memoryAddress & 0xFF), size});
}

std::string BuildWriteRequest(uint8_t deviceAddress, uint16_t memoryAddress, const uint8_t* data,
                              uint8_t size) {
  std::vector<uint8_t> bytes{deviceAddress, kFuncWrite, static_cast<uint8_t>(memoryAddress >> 8),
                             static_cast<uint8_t>(memoryAddress & 0xFF), size};
  bytes.insert(bytes.end(), data, data + size);
  return EncodeFrame(bytes);
}

}  // namespace orti
