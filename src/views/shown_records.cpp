#include "views/shown_records.h"

namespace orti {

bool IsShownFolder(const NotepadModel& model, int folder) {
  if (folder < 0 || folder >= model.folderCount || folder >= kMaxFolders) return false;
  const FolderState state = model.folders[folder].state;
  return state == FolderState::kAsRead || state == FolderState::kRewritePending;
}

bool IsShownRecord(const NotepadModel& model, int folder, int record) {
  if (!IsShownFolder(model, folder) || record < 0 || record >= kShownSlots) return false;
  const uint8_t mode = model.folders[folder].records[record].mode;
  return mode == kModePh || mode == kModePh25 || mode == kModeMv;
}

int CountShownRecords(const NotepadModel& model) {
  return static_cast<int>(ViewRecords(model, ViewKind::kByFolders).size());
}

std::vector<RecordRef> ViewRecords(const NotepadModel& model, ViewKind view) {
  std::vector<RecordRef> records;
  if (view == ViewKind::kByFolders) {
    for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) {
      for (int s = 0; s < kShownSlots; ++s) {
        if (IsShownRecord(model, f, s)) records.push_back({f, s});
      }
    }
    return records;
  }
  const ByDateIndex& index = model.byDate;
  for (int i = 0; i < kByDateCapacity && index.folder[i] != -1; ++i) {
    if (IsShownRecord(model, index.folder[i], index.record[i])) {
      records.push_back({index.folder[i], index.record[i]});
    }
  }
  return records;
}

}  // namespace orti
