#include "archive/reading_measurements.h"

#include <cstring>

#include "device/memory_map.h"
#include "folders/folder_compaction.h"
#include "platform/cp1251.h"
#include "views/record_text.h"

namespace orti {
namespace {

constexpr const char* kKeySeparator = ".";

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

std::string MatchKey(const std::string& dateTime, const std::string& mode,
                     const std::string& temperature, const std::string& emf, const std::string& ph,
                     const std::string& ph25) {
  return dateTime + ";" + mode + ";" + temperature + ";" + emf + ";" + ph + ";" + ph25;
}

std::vector<Measurement> ReadingMeasurements(const NotepadModel& model,
                                             const std::string& operatorName) {
  std::vector<Measurement> result;
  const std::vector<uint8_t> identity = IdentityBytes(model.identity);
  const std::string instrument = InstrumentText(model.identity);
  for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) {
    const NotepadFolder& folder = model.folders[f];
    if (!folder.readInFull || folder.state == FolderState::kFree) continue;
    for (int s = 0; s < kSlotsPerFolder; ++s) {
      const NotepadRecord& r = folder.records[s];
      if (r.mode < kModePh || r.mode > kModeMv) continue;
      const RecordTexts t = MakeRecordTexts(folder, r, kKeySeparator);
      Measurement m;
      m.instrument = instrument;
      m.identity = identity;
      const uint8_t* bytes = StoredSlotBytes(folder, s);
      m.raw.assign(bytes, bytes + kRecordSize);
      m.folderIndex = f;
      m.folderName = t.folderName;
      m.slot = s;
      m.shown = s < kShownSlots;
      m.taken = r.dateTime;
      m.mode = r.mode;
      m.temperature = r.temperature;
      m.emf = r.emf;
      m.ph = r.ph;
      m.ph25 = r.ph25;
      m.matchKey = MatchKey(t.dateTime, t.mode, t.temperature, t.emf, t.ph, t.ph25);
      m.operatorName = operatorName;
      result.push_back(std::move(m));
    }
  }
  return result;
}

}  // namespace orti
