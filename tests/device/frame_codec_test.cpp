#include "device/frame_codec.h"

#include <gtest/gtest.h>

#include "device/reply_validation.h"

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

TEST(FrameCodec, DigitsWrittenUpperCaseAndReadInEitherCase) {
  EXPECT_EQ(NibbleToHexDigit(9), '9');
  EXPECT_EQ(NibbleToHexDigit(10), 'A');
  EXPECT_EQ(NibbleToHexDigit(15), 'F');
  EXPECT_EQ(HexDigitValue('0'), 0);
  EXPECT_EQ(HexDigitValue('F'), 15);
  EXPECT_EQ(HexDigitValue('a'), 10);
  EXPECT_EQ(HexDigitValue('f'), 15);
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

TEST(ReplyValidation, OnlyAFrameThatAnswersTheRequestIsTheReply) {
  const std::string read = BuildReadRequest(1, 0x3200, 2);
  const std::string write = BuildWriteRequest(1, 0x3212, nullptr, 0);
  const std::string identify = BuildIdentifyRequest(1);
  const std::string readReply = EncodeFrame({1, 2, 0x32, 0x00, 2, 0xAB, 0xCD});
  std::vector<uint8_t> identity(23, 0x41);
  identity[0] = 1;
  identity[1] = 0x0F;
  struct Case {
    const std::string& request;
    std::string received;
    ReplyVerdict verdict;
  } cases[] = {
      {read, readReply, ReplyVerdict::kValid},
      {read, "noise:12\r\n" + readReply + "tail", ReplyVerdict::kValid},
      {read, ":0102320002abcd" + readReply.substr(15), ReplyVerdict::kValid},
      {read, readReply.substr(0, 14) + "E" + readReply.substr(15), ReplyVerdict::kBadLrc},
      {read, EncodeFrame({2, 2, 0x32, 0x00, 2, 0xAB, 0xCD}), ReplyVerdict::kOtherRequest},
      {read, EncodeFrame({1, 0x12, 0x32, 0x00, 2}), ReplyVerdict::kOtherRequest},
      {read, EncodeFrame({1, 2, 0x32, 0x01, 2, 0xAB, 0xCD}), ReplyVerdict::kOtherRequest},
      {read, EncodeFrame({1, 2, 0x32, 0x00, 3, 0xAB, 0xCD}), ReplyVerdict::kOtherRequest},
      {read, EncodeFrame({1, 2, 0x32, 0x00, 2, 0xAB}), ReplyVerdict::kBadLength},
      {read, EncodeFrame({1, 2, 0x32, 0x00, 2, 0xAB, 0xCD, 0}), ReplyVerdict::kBadLength},
      {read, ":0102320002ABCD6\r\n", ReplyVerdict::kBadLength},  // odd digits
      {read, EncodeFrame({1, 0x82, 0x02}), ReplyVerdict::kErrorReply},
      {read, EncodeFrame({1, 0x92, 0x02}), ReplyVerdict::kOtherRequest},
      {read, ":0102320002ABCD\r", ReplyVerdict::kNoFrame},
      {read, ":0102 320002ABCD6D\r\n", ReplyVerdict::kNoFrame},
      {read, "0102320002ABCD6D\r\n", ReplyVerdict::kNoFrame},
      {write, EncodeFrame({1, 0x12, 0x32, 0x12, 0}), ReplyVerdict::kValid},
      {write, EncodeFrame({1, 0x12, 0x32, 0x12, 0x13}), ReplyVerdict::kOtherRequest},
      {identify, EncodeFrame(identity), ReplyVerdict::kValid},
      {identify, EncodeFrame(std::vector<uint8_t>(identity.begin(), identity.end() - 1)),
       ReplyVerdict::kBadLength},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindReply(c.request, c.received).verdict, c.verdict) << c.received;
  }
  // The last acceptable frame wins; a refused one after it does not matter.
  const std::string second = EncodeFrame({1, 2, 0x32, 0x00, 2, 0x00, 0x01});
  const std::string received = readReply + second + ":00\r\n";  // the frame points into it
  const FoundReply found = FindReply(read, received);
  EXPECT_EQ(found.verdict, ReplyVerdict::kValid);
  EXPECT_EQ(found.frame, second);
}

TEST(FrameCodec, DeviceErrorTexts) {
  EXPECT_EQ(DeviceErrorText('1'), "Ошибка выполнения команды");
  EXPECT_EQ(DeviceErrorText('2'), "Недопустимая команда (Команда не может быть выполнена)");
  EXPECT_EQ(DeviceErrorText('3'), "Неизвестная команда (Код команды не существует)");
  for (char c : {'0', '4', 'F'}) EXPECT_EQ(DeviceErrorText(c), "Неизвестная ошибка") << c;
}

}  // namespace
}  // namespace orti
