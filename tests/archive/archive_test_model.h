#pragma once
// A small notepad as a reading leaves it: folders read in full, records with
// their bytes in the slot image as the instrument encodes them, one record in
// the slot the views never show.

#include <cstring>
#include <memory>
#include <string>

#include "device/record_decoder.h"
#include "folders/folder_compaction.h"
#include "model/notepad_model.h"
#include "platform/date_time.h"
#include "sim/record_encoding.h"

namespace orti::test {

// Record `s` of folder `f`: pH 4 + f + s / 100 taken on 1 March 2026 at f:s:08.
inline void PutRecord(NotepadModel& model, int f, int s, uint8_t mode = kModePh) {
  NotepadFolder& folder = model.folders[f];
  NotepadRecord& r = folder.records[s];
  r.mode = mode;
  r.dateTime = EncodeDate(2026, 3, 1) + EncodeTime(f, s, 8);
  r.temperature = 20.5f + s;
  r.emf = -100.25f + f;
  r.ph = 4.0f + f + s / 100.0f;
  r.ph25 = ComputePh25(r.temperature, r.ph);
  sim::Measurement m;
  m.mode = mode;
  m.dayOfYear = static_cast<uint16_t>(EncodeDate(2026, 3, 1) - EncodeDate(2026, 1, 1) + 1);
  m.timeUnits = static_cast<uint16_t>((f * 3600 + s * 60 + 8) / 2);
  m.temperature = r.temperature;
  m.emf = r.emf;
  m.ph = r.ph;
  const sim::RecordBytes bytes = sim::EncodeRecord(m);
  std::memcpy(StoredSlotBytes(folder, s), bytes.data(), bytes.size());
}

inline std::unique_ptr<NotepadModel> SmallNotepad(int folders, int recordsPerFolder) {
  auto model = std::make_unique<NotepadModel>();
  std::memcpy(model->identity.name, "ORTI415", 7);
  model->folderCount = folders;
  model->readTime = EncodeDate(2026, 3, 2);
  for (int f = 0; f < folders; ++f) {
    NotepadFolder& folder = model->folders[f];
    std::snprintf(folder.name, sizeof folder.name, "P%d", f);
    folder.state = FolderState::kAsRead;
    folder.readInFull = true;
    for (int s = 0; s < kSlotsPerFolder; ++s) {
      folder.records[s].mode = kModeEmpty;
      StoredSlotBytes(folder, s)[0] = kModeEmpty;
    }
    for (int s = 0; s < recordsPerFolder; ++s) PutRecord(*model, f, s);
  }
  return model;
}

}  // namespace orti::test
