#pragma once
// A small notepad as a reading leaves it: folders read in full, records with
// their bytes in the slot image, one record in the slot the views never show.

#include <cstring>
#include <memory>
#include <string>

#include "folders/folder_compaction.h"
#include "model/notepad_model.h"
#include "platform/date_time.h"

namespace orti::test {

// Record `s` of folder `f`: pH 4 + f + s / 100 taken on 1 March 2026 at f:s.
inline void PutRecord(NotepadModel& model, int f, int s, uint8_t mode = kModePh) {
  NotepadFolder& folder = model.folders[f];
  NotepadRecord& r = folder.records[s];
  r.mode = mode;
  r.dateTime = EncodeDate(2026, 3, 1) + EncodeTime(f, s, 7);
  r.temperature = 20.5f + s;
  r.emf = -100.25f + f;
  r.ph = 4.0f + f + s / 100.0f;
  r.ph25 = r.ph + 0.5f;
  uint8_t* bytes = StoredSlotBytes(folder, s);
  bytes[0] = mode;
  bytes[1] = static_cast<uint8_t>(f);
  bytes[2] = static_cast<uint8_t>(s);
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
