#include "archive/reading_measurements.h"

#include <map>

#include "device/memory_map.h"
#include "folders/folder_compaction.h"
#include "model/instrument_identity.h"

namespace orti {

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
