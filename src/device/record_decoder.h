#pragma once
// One 19-byte record slot of a folder block, as 38 hexadecimal characters of a
// read reply, turned into the values of a NotepadRecord. The console never
// encodes a record: slots go back to the instrument as the bytes were read.

#include <string_view>

#include "device/memory_map.h"
#include "model/notepad_model.h"
#include "platform/dialogs.h"

namespace orti {

constexpr size_t kRecordSlotChars = 2 * kRecordSize;
// Time of day is stored in units of 2 seconds; a day has 43200 of them.
constexpr unsigned kTimeUnitsPerDay = 43200;
constexpr const char* kDateTimeConversionError = "Ошибка при конвертации даты/времени";

// pH converted to 25 °C from the measured pH `ph` at temperature `t` (°C).
float ComputePh25(float t, float ph);

// 1 January of the year of `today` (a date value as the console stores dates).
double BaseDateFor(double today);

// The instrument stores no year: a record belongs to the year of `today`
// unless that would put it after `today`, then to the year before (a December
// record read in January).
double RecordDateTime(uint16_t dayNumber, double timeOfDay, double today);

// What a slot's 19 bytes measure: the mode as DecodeRecord stores it, the
// three values as stored and pH25 computed.
struct SlotValues {
  uint8_t mode = 0;
  float temperature = 0, emf = 0, ph = 0, ph25 = 0;
};
SlotValues DecodeSlotValues(const uint8_t* slot);

// Fills `record` from the 38 characters of its slot; missing characters read
// as zeros. An empty (0xFF) or deleted (0x00) slot changes only the mode. A
// time of day at or past midnight shows the conversion error and uses
// midnight. `today` is the moment the reading started (LocalNow()).
void DecodeRecord(NotepadRecord& record, std::string_view slotChars, double today,
                  Dialogs& dialogs);

// The same for slot `slot` of folder `folder` of the model; indexes outside
// the model's tables change nothing.
void DecodeRecord(NotepadModel& model, int folder, int slot, std::string_view slotChars,
                  double today, Dialogs& dialogs);

}  // namespace orti
