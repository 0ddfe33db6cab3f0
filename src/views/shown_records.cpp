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
  int count = 0;
  for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) {
    for (int r = 0; r < kShownSlots; ++r) {
      if (IsShownRecord(model, f, r)) ++count;
    }
  }
  return count;
}

}  // namespace orti
