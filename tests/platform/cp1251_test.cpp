#include "platform/cp1251.h"

#include <gtest/gtest.h>

namespace orti {
namespace {

TEST(Cp1251, CyrillicRoundTripsThroughSingleBytes) {
  const std::string name = "ОРТИ-415 ёЁ №";
  const std::string bytes = Utf8ToCp1251(name);
  EXPECT_EQ(bytes, "\xCE\xD0\xD2\xC8-415 \xB8\xA8 \xB9");
  EXPECT_EQ(Cp1251ToUtf8(bytes), name);
}

TEST(Cp1251, UnrepresentableCharactersBecomeQuestionMarks) {
  bool lossless = true;
  EXPECT_EQ(Utf8ToCp1251("a€b漢c", &lossless),
            "a\x88"
            "b?c");
  EXPECT_FALSE(lossless);
  EXPECT_EQ(Utf8ToCp1251("plain", &lossless), "plain");
  EXPECT_TRUE(lossless);
}

TEST(Cp1251, InvalidUtf8AndUnmappedByteDoNotStopConversion) {
  EXPECT_EQ(Utf8ToCp1251("x\xFFy"), "x?y");
  EXPECT_EQ(Cp1251ToUtf8("a\x98z"), "a\xEF\xBF\xBDz");
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  std::string back = Utf8ToCp1251(Cp1251ToUtf8(all));
  ASSERT_EQ(back.size(), all.size());
  for (size_t i = 0; i < all.size(); ++i) {
    if (static_cast<unsigned char>(all[i]) != 0x98) EXPECT_EQ(back[i], all[i]) << i;
  }
}

}  // namespace
}  // namespace orti
