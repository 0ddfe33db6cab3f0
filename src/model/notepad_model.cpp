#include "model/notepad_model.h"

#include <cstring>

#include "platform/cp1251.h"

namespace orti {

void ByDateIndex::Clear() {
  for (int i = 0; i < kByDateCapacity; ++i) {
    folder[i] = -1;
    record[i] = -1;
    dateTime[i] = 0;
  }
}

void MakeFree(NotepadFolder& folder) {
  folder.state = FolderState::kFree;
  std::memset(folder.name, 0, sizeof folder.name);
  std::strncpy(folder.name, Utf8ToCp1251(kFreeFolderName).c_str(), kFolderNameChars);
}

int ByDateIndex::Count() const {
  int n = 0;
  while (n < kByDateCapacity && folder[n] != -1) ++n;
  return n;
}

int IndexStoredRecords(NotepadModel& model) {
  model.byDate.Clear();
  int used = 0;
  int leftOut = 0;
  for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) {
    const NotepadFolder& folder = model.folders[f];
    if (folder.state == FolderState::kFree) continue;
    for (int s = 0; s < kShownSlots; ++s) {
      if (!folder.records[s].HoldsRecord()) continue;
      if (used == kByDateCapacity) {
        ++leftOut;
        continue;
      }
      model.byDate.folder[used] = f;
      model.byDate.record[used] = s;
      model.byDate.dateTime[used] = folder.records[s].dateTime;
      ++used;
    }
  }
  return leftOut;
}

std::string FolderNameUtf8(const NotepadFolder& folder) {
  std::string name(folder.name, strnlen(folder.name, kFolderNameChars));
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return Cp1251ToUtf8(name);
}

void ClearViewMarks(NotepadModel& model) {
  for (NotepadFolder& folder : model.folders) {
    for (NotepadRecord& record : folder.records) {
      for (ViewMark& mark : record.viewMarks) mark = ViewMark::kNone;
    }
  }
}

bool AnyFolderPending(const NotepadModel& model) {
  for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) {
    if (model.folders[f].pending) return true;
  }
  return false;
}

}  // namespace orti
