#include "model/notepad_model.h"

namespace orti {

void ByDateIndex::Clear() {
  for (int i = 0; i < kByDateCapacity; ++i) {
    folder[i] = -1;
    record[i] = -1;
    dateTime[i] = 0;
  }
}

int ByDateIndex::Count() const {
  int n = 0;
  while (n < kByDateCapacity && folder[n] != -1) ++n;
  return n;
}

bool AnyFolderPending(const NotepadModel& model) {
  for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) {
    if (model.folders[f].pending) return true;
  }
  return false;
}

}  // namespace orti
