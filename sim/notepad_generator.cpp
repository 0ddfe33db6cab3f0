#include "sim/notepad_generator.h"

#include <cmath>
#include <random>
#include <string>

#include "platform/cp1251.h"
#include "platform/date_time.h"
#include "sim/record_encoding.h"

namespace orti::sim {

namespace {

// No "я": it is 0xFF in cp1251, which ends a name in the header.
constexpr const char* kFolderWords[] = {"Проба",    "Образец", "Вода",       "Почва",
                                        "Буфер",    "Раствор", "Опыт",       "Замер",
                                        "Контроль", "Цех",     "Калибровка", "Стоки"};
constexpr uint16_t kTimeUnitsPerDay = 43200;
constexpr uint32_t kFullFolder = 2;
constexpr uint32_t kDeletedRecordFolder = 0;

// mt19937's output is fixed by the standard; the library's distributions are
// not, so values are drawn with plain arithmetic to keep images reproducible.
class Draw {
 public:
  explicit Draw(uint32_t seed) : engine_(seed) {}
  uint32_t Below(uint32_t n) { return n == 0 ? 0 : engine_() % n; }
  // A value in [low, high] in steps of `step`.
  float Steps(float low, float high, float step) {
    const auto count = static_cast<uint32_t>(std::lround((high - low) / step));
    return low + step * static_cast<float>(Below(count + 1));
  }

 private:
  std::mt19937 engine_;
};

Measurement DrawMeasurement(Draw& draw, int today) {
  Measurement m;
  m.mode = static_cast<uint8_t>(kModePh + draw.Below(3));
  m.dayOfYear = static_cast<uint16_t>(1 + draw.Below(static_cast<uint32_t>(today > 0 ? today : 1)));
  m.timeUnits = static_cast<uint16_t>(draw.Below(kTimeUnitsPerDay));
  m.temperature = draw.Steps(15.0f, 35.0f, 0.1f);
  m.ph = draw.Steps(2.0f, 12.0f, 0.001f);
  // An electrode's response: about 59 mV per pH unit at 25 °C, steeper when warmer.
  const double slope = 59.16 * (273.15 + m.temperature) / 298.15;
  m.emf = static_cast<float>(std::round((7.0 - m.ph) * slope * 10.0) / 10.0);
  return m;
}

std::string FolderName(Draw& draw) {
  std::string name = kFolderWords[draw.Below(std::size(kFolderWords))];
  name += ' ';
  name += std::to_string(1 + draw.Below(99));
  return Utf8ToCp1251(name);
}

void WriteBytes(MemoryImage& memory, uint32_t address, const uint8_t* bytes, size_t size) {
  for (size_t i = 0; i < size; ++i) memory[address + i] = bytes[i];
}

}  // namespace

MemoryImage GenerateNotepad(const GeneratorSettings& settings) {
  MemoryImage memory{};
  memory.fill(kErased);
  const uint32_t notepad = settings.notepadAddress;
  const uint32_t folders = FolderCount(notepad);
  Draw draw(settings.seed);
  for (uint32_t f = 0; f < folders; ++f) {
    const bool lastOfSeveral = folders > 1 && f == folders - 1;
    const bool free = lastOfSeveral || (f > kFullFolder && draw.Below(5) == 0);
    if (free) continue;
    const FolderHeaderBytes header = EncodeFolderHeader(FolderName(draw));
    WriteBytes(memory, FolderBase(notepad, f), header.data(), header.size());

    uint32_t records = draw.Below(kSlotsPerFolder);
    if (f == kFullFolder) records = kSlotsPerFolder;
    if (f == kDeletedRecordFolder && records < 3) records = 3;
    for (uint32_t s = 0; s < records; ++s) {
      Measurement m = DrawMeasurement(draw, settings.today);
      // The instrument marks a deleted record by clearing its mode byte only.
      const bool deleted = (f == kDeletedRecordFolder && s == 1) || draw.Below(8) == 0;
      if (deleted) m.mode = kModeDeleted;
      const RecordBytes bytes = EncodeRecord(m);
      WriteBytes(memory, SlotAddress(notepad, f, s), bytes.data(), bytes.size());
    }
  }
  return memory;
}

int DayOfYearToday() {
  const double now = LocalNow();
  const CivilDateTime civil = DecodeDateTime(now);
  return static_cast<int>(std::floor(now) - EncodeDate(civil.year, 1, 1)) + 1;
}

}  // namespace orti::sim
