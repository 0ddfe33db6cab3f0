#include "device/record_decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "platform/date_time.h"
#include "support/scripted_dialogs.h"

namespace orti {
namespace {

constexpr const char* kExampleSlot = "012D0078580000BC410000F0C20000E840FFFF";

// The example slot with other mode and time-of-day bytes.
std::string Slot(const char* mode, const char* timeLowHigh = "7858") {
  std::string s = kExampleSlot;
  s.replace(0, 2, mode);
  s.replace(6, 4, timeLowHigh);
  return s;
}

class RecordDecoding : public ::testing::Test {
 protected:
  const double today = EncodeDate(2026, 7, 15) + EncodeTime(9, 30, 0);
  const double base = BaseDateFor(today);
  test::ScriptedDialogs dialogs;
  NotepadRecord record;
};

TEST_F(RecordDecoding, BaseDateIsFirstJanuaryOfTodaysYear) {
  EXPECT_EQ(base, EncodeDate(2026, 1, 1));
  EXPECT_EQ(BaseDateFor(EncodeDate(2025, 12, 31) + 0.99), EncodeDate(2025, 1, 1));
  EXPECT_EQ(BaseDateFor(EncodeDate(2028, 1, 1)), EncodeDate(2028, 1, 1));
}

TEST_F(RecordDecoding, ARecordIsNeverLaterThanTheReading) {
  const double newYear = EncodeDate(2026, 1, 5) + EncodeTime(10, 0, 0);
  struct Case {
    uint16_t day;
    double time;
    double expected;
  } cases[] = {
      {358, EncodeTime(8, 0, 0), EncodeDate(2025, 12, 24) + EncodeTime(8, 0, 0)},
      {5, EncodeTime(9, 59, 58), EncodeDate(2026, 1, 5) + EncodeTime(9, 59, 58)},
      {5, EncodeTime(10, 0, 0), newYear},
      {5, EncodeTime(10, 0, 2), EncodeDate(2025, 1, 5) + EncodeTime(10, 0, 2)},
      {1, 0, EncodeDate(2026, 1, 1)},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(RecordDateTime(c.day, c.time, newYear), c.expected) << c.day;
  }
}

TEST_F(RecordDecoding, ExampleSlotGivesEveryValue) {
  DecodeRecord(record, kExampleSlot, today, dialogs);
  EXPECT_EQ(record.mode, kModePh);
  EXPECT_EQ(record.rawDate[0], 0x2D);
  EXPECT_EQ(record.rawDate[1], 0x00);
  EXPECT_EQ(record.rawTime[0], 0x78);
  EXPECT_EQ(record.rawTime[1], 0x58);
  EXPECT_EQ(record.dayNumber, 45);
  EXPECT_EQ(record.timeUnits, 22648);
  EXPECT_EQ(record.seconds, 45296);
  EXPECT_EQ(FormatDateTime(record.dateTime), "14.02.2026 12:34:56");
  EXPECT_DOUBLE_EQ(record.dateTime, EncodeDate(2026, 2, 14) + EncodeTime(12, 34, 56));
  EXPECT_EQ(record.temperature, 23.5f);
  EXPECT_EQ(record.emf, -120.0f);
  EXPECT_EQ(record.ph, 7.25f);
  EXPECT_NEAR(record.ph25, 7.2201f, 5e-5);
  EXPECT_EQ(record.extra[0], 0xFF);
  EXPECT_EQ(record.extra[1], 0xFF);
  EXPECT_EQ(record.deletionMark, 0);
  EXPECT_TRUE(dialogs.Calls().empty());
}

TEST_F(RecordDecoding, EmptyAndDeletedSlotsChangeOnlyTheMode) {
  DecodeRecord(record, kExampleSlot, today, dialogs);
  record.deletionMark = 1;
  const NotepadRecord before = record;
  DecodeRecord(record, "FF" + std::string(36, '0'), today, dialogs);
  EXPECT_EQ(record.mode, kModeEmpty);
  DecodeRecord(record, "00" + std::string(36, 'F'), today, dialogs);
  EXPECT_EQ(record.mode, kModeDeleted);
  EXPECT_FALSE(record.HoldsRecord());
  EXPECT_EQ(record.dateTime, before.dateTime);
  EXPECT_EQ(record.ph, before.ph);
  EXPECT_EQ(record.ph25, before.ph25);
  EXPECT_EQ(record.deletionMark, 1);
}

TEST_F(RecordDecoding, ModeIsTheLowTwoBits) {
  DecodeRecord(record, Slot("05"), today, dialogs);
  EXPECT_EQ(record.mode, kModePh);
  DecodeRecord(record, Slot("07"), today, dialogs);
  EXPECT_EQ(record.mode, kModeMv);
  // Mode 0 from 0x04: decoded, though the views will hide it.
  record = NotepadRecord{};
  DecodeRecord(record, Slot("04"), today, dialogs);
  EXPECT_EQ(record.mode, 0);
  EXPECT_EQ(record.ph, 7.25f);
  EXPECT_EQ(record.dayNumber, 45);
}

TEST_F(RecordDecoding, LastTimeOfDayAndOnePast) {
  DecodeRecord(record, Slot("01", "BFA8"), today, dialogs);  // 43199 units
  EXPECT_EQ(FormatDateTime(record.dateTime), "14.02.2026 23:59:58");
  EXPECT_TRUE(dialogs.Calls().empty());

  DecodeRecord(record, Slot("01", "C0A8"), today, dialogs);  // 43200 units
  ASSERT_EQ(dialogs.Calls().size(), 1u);
  EXPECT_EQ(dialogs.Calls()[0].text, "Ошибка при конвертации даты/времени");
  EXPECT_EQ(dialogs.Calls()[0].buttons, DialogButtons::kOk);
  EXPECT_EQ(record.timeUnits, 43200);
  EXPECT_EQ(FormatDateTime(record.dateTime), "14.02.2026 00:00:00");
  EXPECT_EQ(record.ph, 7.25f);  // the rest is still decoded

  DecodeRecord(record, Slot("01", "FFFF"), today, dialogs);
  EXPECT_EQ(dialogs.Calls().size(), 2u);
  EXPECT_EQ(record.seconds, 131070);
}

TEST_F(RecordDecoding, DayNumbersAreNotChecked) {
  std::string slot = kExampleSlot;
  slot.replace(2, 4, "0000");
  DecodeRecord(record, slot, today, dialogs);
  EXPECT_EQ(FormatDateTime(record.dateTime), "31.12.2025 12:34:56");
  slot.replace(2, 4, "6E01");  // day 366 of a 365-day year: later than today, so the year before
  DecodeRecord(record, slot, today, dialogs);
  EXPECT_EQ(FormatDateTime(record.dateTime), "01.01.2026 12:34:56");
}

TEST_F(RecordDecoding, ShortTextReadsLikeTheZeroFilledReplyBuffer) {
  const std::string cut = std::string(kExampleSlot).substr(0, 12);
  DecodeRecord(record, cut, today, dialogs);
  NotepadRecord padded;
  DecodeRecord(padded, cut + std::string(kRecordSlotChars - cut.size(), '\0'), today, dialogs);
  EXPECT_EQ(record.mode, kModePh);
  EXPECT_EQ(record.timeUnits, 22648);
  EXPECT_EQ(std::memcmp(&record.temperature, &padded.temperature, sizeof(float)), 0);
  EXPECT_EQ(std::memcmp(&record.ph, &padded.ph, sizeof(float)), 0);
  EXPECT_EQ(record.extra[1], padded.extra[1]);
}

TEST_F(RecordDecoding, ModelSlotIsAddressedAndBoundsAreKept) {
  auto owned = std::make_unique<NotepadModel>();
  NotepadModel& model = *owned;
  DecodeRecord(model, 99, 25, kExampleSlot, today, dialogs);
  EXPECT_EQ(model.folders[99].records[25].ph, 7.25f);
  EXPECT_EQ(model.folders[99].records[24].ph, 0.0f);
  for (auto [f, s] : {std::pair{-1, 0}, {100, 0}, {0, -1}, {0, 26}}) {
    DecodeRecord(model, f, s, kExampleSlot, today, dialogs);
  }
  EXPECT_EQ(model.folders[0].records[0].mode, 0);
}

TEST(Ph25, AtFortyDegrees) {
  EXPECT_EQ(ComputePh25(40, 5.0f), 5.0f);
  EXPECT_EQ(ComputePh25(40, 6.0f), 6.0f);
  EXPECT_NEAR(ComputePh25(40, 6.5f), 6.6496f, 5e-5);
  EXPECT_NEAR(ComputePh25(40, 12.0f), 12.4605f, 5e-5);
  // d = -0.4605: pH d + 8 maps to 8 from both sides.
  EXPECT_NEAR(ComputePh25(40, 7.5395f), 8.0f, 1e-4);
}

TEST(Ph25, AtTwentyFiveDegreesNothingChanges) {
  for (float ph : {-1.0f, 0.0f, 6.0f, 6.01f, 7.0f, 8.0f, 9.5f, 14.0f}) {
    EXPECT_EQ(ComputePh25(25, ph), ph) << ph;
  }
}

TEST(Ph25, NotANumberStaysNotANumber) {
  EXPECT_TRUE(std::isnan(ComputePh25(30, std::numeric_limits<float>::quiet_NaN())));
  EXPECT_TRUE(std::isnan(ComputePh25(std::numeric_limits<float>::quiet_NaN(), 7.0f)));
  EXPECT_EQ(ComputePh25(std::numeric_limits<float>::quiet_NaN(), 5.0f), 5.0f);
}

}  // namespace
}  // namespace orti
