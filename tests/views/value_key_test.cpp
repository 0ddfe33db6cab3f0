#include "views/value_key.h"

#include <gtest/gtest.h>

namespace orti {
namespace {

TEST(ValueKey, NumbersInTheFormsExportsAndSpreadsheetsWrite) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  } cases[] = {
      {"6.740", true, 6.74}, {"6,74", true, 6.74}, {"7", true, 7},    {"-226.5", true, -226.5},
      {"+1,0", true, 1},     {"", false, 0},       {"1e3", false, 0}, {"0x1A", false, 0},
      {"inf", false, 0},     {"nan", false, 0},    {" 7", false, 0},  {"7.", false, 0},
      {",5", false, 0},      {"1.2.3", false, 0},
  };
  for (const Case& c : cases) {
    double v = -1;
    EXPECT_EQ(ParseExportNumber(c.text, v), c.ok) << c.text;
    if (c.ok) EXPECT_DOUBLE_EQ(v, c.value) << c.text;
  }
  double v = 0;
  EXPECT_FALSE(ParseExportNumber(std::string_view("7\0", 2), v));  // a NUL is no digit
}

TEST(ValueKey, SameMeasurementWhateverTheSpreadsheetMadeOfIt) {
  const ValueFields written{"16.03.2026 10:15:42", "pH", "25.0", "-226.5", "6.740", "6.740"};
  const ValueFields resaved{"16.03.2026 10:15:42", "pH", "25", "-226,50", "6,74", "6,74"};
  const ValueFields noSeconds{"16.03.2026 10:15", "pH", "25", "-226,5", "6,74", "6,74"};
  const ValueFields nextYear{"16.03.2027 10:15:42", "pH", "25.0", "-226.5", "6.740", "6.740"};
  const ValueFields otherPh{"16.03.2026 10:15:42", "pH", "25.0", "-226.5", "6.741", "6.740"};
  EXPECT_EQ(ValueKey(written), "16.03.2026 10:15:42;pH;25.0;-226.5;6.740;6.740");
  EXPECT_EQ(ValueKey(resaved), ValueKey(written));
  EXPECT_EQ(ValueKey(noSeconds), "");  // seconds asked for, none given
  EXPECT_EQ(ValueKey(noSeconds, {true, false}), ValueKey(written, {true, false}));
  EXPECT_NE(ValueKey(nextYear), ValueKey(written));
  EXPECT_EQ(ValueKey(nextYear, {false, true}), ValueKey(written, {false, true}));
  EXPECT_NE(ValueKey(otherPh), ValueKey(written));
}

TEST(ValueKey, UnreadableFieldsGiveNoKey) {
  const char* dates[] = {"31.04.2026 10:15:42", "16.13.2026 10:15:42", "16.03.2026 24:00:00",
                         "16.03.26 10:15:42",   "16.03.2026 10:15:4",  "16.03.2026 10:15:42 "};
  for (const char* d : dates) {
    EXPECT_EQ(ValueKey({d, "pH", "25.0", "1.0", "7.000", "7.000"}), "") << d;
  }
  EXPECT_EQ(ValueKey({"16.03.2026 10:15:42", "ph", "25.0", "1.0", "7.000", "7.000"}), "");
  EXPECT_EQ(ValueKey({"16.03.2026 10:15:42", "pH", "25.0", "1e1", "7.000", "7.000"}), "");
}

}  // namespace
}  // namespace orti
