#include "device/record_decoder.h"

#include <cstring>

#include "device/frame_codec.h"
#include "model/folder_bytes.h"
#include "platform/date_time.h"

namespace orti {
namespace {

// Offsets of the fields within a slot, in bytes.
constexpr size_t kModeOffset = 0;
constexpr size_t kDayOffset = 1;
constexpr size_t kTimeOffset = 3;
constexpr size_t kTemperatureOffset = 5;
constexpr size_t kEmfOffset = 9;
constexpr size_t kPhOffset = 13;
constexpr size_t kExtraOffset = 17;

uint16_t SlotWord(const uint8_t* slot, size_t offset) {
  return static_cast<uint16_t>(slot[offset] + 256 * slot[offset + 1]);
}

// The instrument's floats are IEEE 754 singles, low byte first, taken as they are.
float SlotFloat(const uint8_t* slot, size_t offset) {
  uint32_t bits = 0;
  for (size_t i = 0; i < 4; ++i) bits |= static_cast<uint32_t>(slot[offset + i]) << (8 * i);
  float value;
  static_assert(sizeof value == sizeof bits, "float must be 32 bits");
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace

float ComputePh25(float t, float ph) {
  const double a = static_cast<float>(t - 25.0f);
  const float d = static_cast<float>((a * 0.00012) * a - a * 0.0325);
  if (!(ph > 6.0f)) return ph;  // also for a pH that is not a number
  if (d + 8.0 > ph) return static_cast<float>((ph + 3.0 * d) / (0.5 * d + 1.0));
  return static_cast<float>(ph - static_cast<double>(d));
}

double BaseDateFor(double today) {
  return EncodeDate(DecodeDateTime(today).year, 1, 1);
}

double RecordDateTime(uint16_t dayNumber, double timeOfDay, double today) {
  const int year = DecodeDateTime(today).year;
  // A day number of 0 falls on 31 December of the year before; no range check.
  const double thisYear = EncodeDate(year, 1, 1) + dayNumber - 1 + timeOfDay;
  if (thisYear <= today) return thisYear;
  return EncodeDate(year - 1, 1, 1) + dayNumber - 1 + timeOfDay;
}

SlotValues DecodeSlotValues(const uint8_t* slot) {
  SlotValues v;
  v.mode = RecordModeOf(slot[kModeOffset]);
  v.temperature = SlotFloat(slot, kTemperatureOffset);
  v.emf = SlotFloat(slot, kEmfOffset);
  v.ph = SlotFloat(slot, kPhOffset);
  v.ph25 = ComputePh25(v.temperature, v.ph);
  return v;
}

void DecodeRecord(NotepadRecord& record, std::string_view chars, double today, Dialogs& dialogs) {
  uint8_t slot[kRecordSize];
  for (int i = 0; i < kRecordSize; ++i) slot[i] = ReplyByteAt(chars, 2 * static_cast<size_t>(i));
  const SlotValues values = DecodeSlotValues(slot);
  record.mode = values.mode;
  // The stored byte, not the masked mode: 0x04 is a record of mode 0.
  if (slot[kModeOffset] == kModeEmpty || slot[kModeOffset] == kModeDeleted) return;

  for (size_t i = 0; i < 2; ++i) {
    record.rawDate[i] = slot[kDayOffset + i];
    record.rawTime[i] = slot[kTimeOffset + i];
    record.extra[i] = slot[kExtraOffset + i];
  }
  record.dayNumber = SlotWord(slot, kDayOffset);
  record.timeUnits = SlotWord(slot, kTimeOffset);
  record.seconds = 2 * static_cast<int32_t>(record.timeUnits);

  double time = 0;
  if (record.timeUnits < kTimeUnitsPerDay) {
    const int h = record.seconds / 3600;
    const int m = (record.seconds - 3600 * h) / 60;
    const int s = record.seconds - 3600 * h - 60 * m;
    time = EncodeTime(h, m, s);
  } else {
    dialogs.ShowMessage(kDateTimeConversionError);
  }
  record.dateTime = RecordDateTime(record.dayNumber, time, today);

  record.temperature = values.temperature;
  record.emf = values.emf;
  record.ph = values.ph;
  record.ph25 = values.ph25;
  record.deletionMark = 0;
}

void DecodeRecord(NotepadModel& model, int folder, int slot, std::string_view slotChars,
                  double today, Dialogs& dialogs) {
  if (folder < 0 || folder >= kMaxFolders || slot < 0 || slot >= kSlotsPerFolder) return;
  DecodeRecord(model.folders[folder].records[slot], slotChars, today, dialogs);
}

}  // namespace orti
