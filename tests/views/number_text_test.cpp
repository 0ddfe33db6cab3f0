#include "views/number_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace orti {
namespace {

TEST(NumberText, OneDecimalWithFiveSignificantDigits) {
  EXPECT_EQ(OneDecimalText(25, ","), "25,0");
  EXPECT_EQ(OneDecimalText(25, "."), "25.0");
  EXPECT_EQ(OneDecimalText(0, ","), "0,0");
  EXPECT_EQ(OneDecimalText(-120, ","), "-120,0");
  EXPECT_EQ(OneDecimalText(23.5f, ","), "23,5");
  EXPECT_EQ(OneDecimalText(-0.35f, ","), "-0,3");  // the float is 0.3499999940...
  EXPECT_EQ(OneDecimalText(2.25, ","), "2,3");     // ties go away from zero
  EXPECT_EQ(OneDecimalText(-2.25, ","), "-2,3");
  EXPECT_EQ(OneDecimalText(1234.56, ","), "1234,6");
  EXPECT_EQ(OneDecimalText(12345.6, ","), "12346,0");  // the sixth digit is written as 0
  EXPECT_EQ(OneDecimalText(-9999.96, ","), "-10000,0");
  EXPECT_EQ(OneDecimalText(0.05, ","), "0,1");
}

TEST(NumberText, ValuesRoundingToZeroCarryNoSign) {
  EXPECT_EQ(OneDecimalText(-0.04, ","), "0,0");
  EXPECT_EQ(OneDecimalText(-0.0, ","), "0,0");
  EXPECT_EQ(ThreeDecimalsText(1e-30, ","), "0,000");
}

TEST(NumberText, ThreeDecimalsWithSixSignificantDigits) {
  EXPECT_EQ(ThreeDecimalsText(7, ","), "7,000");
  EXPECT_EQ(ThreeDecimalsText(7.25f, ","), "7,250");
  EXPECT_EQ(ThreeDecimalsText(7.2201f, ","), "7,220");
  EXPECT_EQ(ThreeDecimalsText(6.6496f, ","), "6,650");
  EXPECT_EQ(ThreeDecimalsText(0.0005, ","), "0,001");
  EXPECT_EQ(ThreeDecimalsText(1234.5678, ","), "1234,570");
  EXPECT_EQ(ThreeDecimalsText(-14.0004, ","), "-14,000");
}

TEST(NumberText, MoreIntegerDigitsThanSignificantOnesGiveTheExponentForm) {
  EXPECT_EQ(OneDecimalText(123456, ","), "1,2346E5");
  EXPECT_EQ(OneDecimalText(99999.96, ","), "1E5");  // rounds up past five digits
  EXPECT_EQ(OneDecimalText(9999.94, ","), "9999,9");
  EXPECT_EQ(OneDecimalText(-3.0e10, ","), "-3E10");
  EXPECT_EQ(ThreeDecimalsText(1234567, "."), "1.23457E6");
  EXPECT_EQ(ThreeDecimalsText(999999.4, ","), "999999,000");
}

TEST(NumberText, NotANumberAndInfinities) {
  EXPECT_EQ(OneDecimalText(std::numeric_limits<float>::quiet_NaN(), ","), "NAN");
  EXPECT_EQ(OneDecimalText(std::numeric_limits<float>::infinity(), ","), "INF");
  EXPECT_EQ(ThreeDecimalsText(-std::numeric_limits<float>::infinity(), ","), "-INF");
  EXPECT_EQ(OneDecimalText(std::numeric_limits<float>::max(), ","), "3,4028E38");
}

TEST(NumberText, SeparatorMayBeLongerThanOneByte) {
  EXPECT_EQ(ThreeDecimalsText(7.5, "\xD9\xAB"),
            "7\xD9\xAB"
            "500");
  EXPECT_EQ(FormatFixed(41.6, 3, 0, ","), "42");
}

}  // namespace
}  // namespace orti
