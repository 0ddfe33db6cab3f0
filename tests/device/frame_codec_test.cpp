#include "device/frame_codec.h"

#include <gtest/gtest.h>

namespace orti {
namespace {

TEST(FrameCodec, LrcIsTheNegatedByteSum) {
  const uint8_t a[] = {0x01, 0x0F};
  const uint8_t b[] = {0x01, 0x02, 0x03};
  EXPECT_EQ(ComputeLrc(a, 2), 0xF0);
  EXPECT_EQ(ComputeLrc(nullptr, 0), 0x00);
  EXPECT_EQ(ComputeLrc(b, 3), 0xFA);
  const uint8_t wrap[] = {0x80, 0x80};
  EXPECT_EQ(ComputeLrc(wrap, 2), 0x00);
}

TEST(FrameCodec, RequestsComeOutByteForByte) {
  EXPECT_EQ(BuildIdentifyRequest(1), ":010FF0\r\n");
  EXPECT_EQ(BuildReadRequest(1, 0x3200, 18), ":0102320012B9\r\n");
  EXPECT_EQ(BuildWriteRequest(1, 0x3200, nullptr, 0), ":0112320000BB\r\n");
  EXPECT_EQ(BuildIdentifyRequest(1).size(), kIdentifyRequestLength);
  EXPECT_EQ(BuildReadRequest(1, 0x3200, 95).size(), kReadRequestLength);
  uint8_t header[18] = {0x41, 0x42, 0x43};
  for (int i = 3; i < 16; ++i) header[i] = 0xFF;
  header[16] = 0xCA;
  header[17] = 0x0D;
  const std::string frame = BuildWriteRequest(1, 0x3200, header, 18);
  EXPECT_EQ(frame, ":0112320012414243" + std::string(26, 'F') + "CA0D19\r\n");
  EXPECT_EQ(frame.size(), 51u);
  uint8_t record[19] = {};
  EXPECT_EQ(BuildWriteRequest(1, 0x3212, record, 19).size(), 53u);
}

TEST(FrameCodec, DigitsWrittenUpperCaseAndReadStrictly) {
  EXPECT_EQ(NibbleToHexDigit(9), '9');
  EXPECT_EQ(NibbleToHexDigit(10), 'A');
  EXPECT_EQ(NibbleToHexDigit(15), 'F');
  EXPECT_EQ(HexDigitValue('0'), 0);
  EXPECT_EQ(HexDigitValue('F'), 15);
  EXPECT_EQ(HexDigitValue('a'), 42);  // lower case is not understood in data
  EXPECT_EQ(HexDigitValueAnyCase('a'), 10);
  EXPECT_EQ(HexDigitValueAnyCase('F'), 15);
  EXPECT_EQ(ParseWord16("3200"), 0x3200);
  EXPECT_EQ(ParseWord16("fa00"), 0xFA00);
  uint8_t h, l;
  SplitByte(0xC7, h, l);
  EXPECT_EQ(h, 0xC);
  EXPECT_EQ(l, 0x7);
  EXPECT_EQ(JoinNibbles(h, l), 0xC7);
  EXPECT_EQ(ReplyByteAt(":0102320012FF", 11), 0xFF);
}

TEST(FrameCodec, ErrorRepliesHaveTheFunctionCodeHighBitSet) {
  for (const char* code : {"82", "8F", "92", "F2"}) {
    EXPECT_TRUE(IsErrorReply(std::string(":01") + code + "02\r\n")) << code;
  }
  for (const char* code : {"02", "0F", "12"}) {
    EXPECT_FALSE(IsErrorReply(std::string(":01") + code + "02\r\n")) << code;
  }
  EXPECT_FALSE(IsErrorReply(""));
}

TEST(FrameCodec, CompleteReplyNeedsColonThenCrLf) {
  EXPECT_TRUE(IsCompleteReply(":\r\n"));
  EXPECT_TRUE(IsCompleteReply("junk:010F\r\n"));
  EXPECT_TRUE(IsCompleteReply("\r\n:01\r\nmore"));
  EXPECT_TRUE(IsCompleteReply(std::string("\0:\0\r\n", 5)));  // zeros are characters too
  EXPECT_FALSE(IsCompleteReply(""));
  EXPECT_FALSE(IsCompleteReply("0102\r\n"));   // no colon before the CR LF
  EXPECT_FALSE(IsCompleteReply("\r\n:0102"));  // CR LF only before the colon
  EXPECT_FALSE(IsCompleteReply(":0102\r"));    // CR as the last character
  EXPECT_FALSE(IsCompleteReply(":0102\n\r"));
  EXPECT_FALSE(IsCompleteReply(":0102\r \n"));
}

TEST(FrameCodec, DeviceErrorTexts) {
  EXPECT_EQ(DeviceErrorText('1'), "Ошибка выполнения команды");
  EXPECT_EQ(DeviceErrorText('2'), "Недопустимая команда (Команда не может быть выполнена)");
  EXPECT_EQ(DeviceErrorText('3'), "Неизвестная команда (Код команды не существует)");
  for (char c : {'0', '4', 'F'}) EXPECT_EQ(DeviceErrorText(c), "Неизвестная ошибка") << c;
}

}  // namespace
}  // namespace orti
