#include "archive/reading_measurements.h"

#include <cstring>
#include <map>

#include "device/memory_map.h"
#include "folders/folder_compaction.h"
#include "platform/cp1251.h"

namespace orti {
namespace {

template <typename T>
void Append(std::vector<uint8_t>& bytes, const T& value) {
  const auto* p = reinterpret_cast<const uint8_t*>(&value);
  bytes.insert(bytes.end(), p, p + sizeof(value));
}

std::vector<uint8_t> IdentityBytes(const DeviceIdentity& identity) {
  std::vector<uint8_t> bytes;
  Append(bytes, identity.name);
  Append(bytes, identity.version);
  Append(bytes, identity.extra);
  Append(bytes, identity.block);
  Append(bytes, identity.notepadAddress);
  return bytes;
}

std::string InstrumentText(const DeviceIdentity& identity) {
  const std::string name = Cp1251ToUtf8(std::string(identity.name, strnlen(identity.name, 9)));
  return name + " " + std::string(identity.version, strnlen(identity.version, 2));
}

}  // namespace

Reading ReadingMeasurements(const NotepadModel& model, const std::string& operatorName) {
  Reading reading;
  reading.identity = IdentityBytes(model.identity);
  reading.instrument = InstrumentText(model.identity);
  reading.operatorName = operatorName;
  std::map<std::vector<uint8_t>, int> seen;
  for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) {
    const NotepadFolder& folder = model.folders[f];
    if (!folder.readInFull || folder.state == FolderState::kFree) continue;
    const std::string folderName = FolderNameUtf8(folder);
    for (int s = 0; s < kSlotsPerFolder; ++s) {
      const NotepadRecord& r = folder.records[s];
      if (r.mode < kModePh || r.mode > kModeMv) continue;
      Measurement m;
      m.instrument = reading.instrument;
      const uint8_t* bytes = StoredSlotBytes(folder, s);
      m.raw.assign(bytes, bytes + kRecordSize);
      m.copy = seen[m.raw]++;
      m.folderIndex = f;
      m.folderName = folderName;
      m.slot = s;
      m.shown = s < kShownSlots;
      m.taken = ArchiveDays(ArchiveSeconds(r.dateTime));
      m.mode = r.mode;
      m.temperature = r.temperature;
      m.emf = r.emf;
      m.ph = r.ph;
      m.ph25 = r.ph25;
      m.matchKey = MatchKeyOf(MatchValues{m.taken, m.mode, m.temperature, m.emf, m.ph, m.ph25});
      m.operatorName = operatorName;
      reading.measurements.push_back(std::move(m));
    }
  }
  return reading;
}

}  // namespace orti
