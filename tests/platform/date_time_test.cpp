#include "platform/date_time.h"

#include <gtest/gtest.h>

#include "platform/utf8.h"

namespace orti {
namespace {

TEST(DateTime, DaysCountFromThirtiethOfDecember1899) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(1970, 1, 1), 25569.0);
  EXPECT_EQ(EncodeDate(2024, 2, 29) + 1, EncodeDate(2024, 3, 1));
  EXPECT_EQ(EncodeDate(2026, 12, 31) + 1, EncodeDate(2027, 1, 1));
}

TEST(DateTime, FormatsDayMonthYearAndTime) {
  double t = EncodeDate(2026, 2, 14) + EncodeTime(12, 34, 56);
  EXPECT_EQ(FormatDateTime(t), "14.02.2026 12:34:56");
  EXPECT_EQ(FormatDateTime(t, "  "), "14.02.2026  12:34:56");
  EXPECT_EQ(FormatDateTime(EncodeDate(2026, 1, 1) + EncodeTime(23, 59, 58)), "01.01.2026 23:59:58");
}

TEST(DateTime, DecodeRoundsToTheMillisecond) {
  // Fractions of a day rarely sum exactly; 12:34:56 must not read as 12:34:55.
  for (int s = 0; s < 86400; s += 2) {
    double t = EncodeDate(2025, 6, 1) + s / 86400.0;
    CivilDateTime c = DecodeDateTime(t);
    ASSERT_EQ(c.hour * 3600 + c.minute * 60 + c.second, s);
    ASSERT_EQ(c.day, 1);
  }
}

TEST(Utf8, FirstCharacterTakesAWholeLetter) {
  EXPECT_EQ(FirstCharacter("Иван"), "И");
  EXPECT_EQ(FirstCharacter("Ivan"), "I");
  EXPECT_EQ(FirstCharacter(""), "");
  EXPECT_EQ(CharacterCount("Новая папка"), 11u);
}

}  // namespace
}  // namespace orti
