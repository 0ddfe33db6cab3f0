#include "workflow/notepad_summary.h"

#include <string>

#include "platform/cp1251.h"

namespace orti {

int AppendSummaryAndIndex(NotepadModel& model, StringGrid& totalData) {
  auto writeRow = [&totalData](const std::string& left, const std::string& right) {
    const int last = totalData.RowCount() - 1;
    totalData.SetCell(0, last, left);
    totalData.SetCell(1, last, right);
    totalData.SetRowCount(last + 2);
  };
  writeRow("", "");
  writeRow("Список папок", "Количество записей");

  model.byDate.Clear();
  int used = 0;
  int leftOut = 0;
  for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) {
    const NotepadFolder& folder = model.folders[f];
    if (folder.state == FolderState::kFree) continue;
    int count = 0;
    for (int s = 0; s < kShownSlots; ++s) {
      const NotepadRecord& record = folder.records[s];
      if (!record.HoldsRecord()) continue;
      ++count;
      if (used == kByDateCapacity) {
        ++leftOut;
        continue;
      }
      model.byDate.folder[used] = f;
      model.byDate.record[used] = s;
      model.byDate.dateTime[used] = record.dateTime;
      ++used;
    }
    writeRow(Cp1251ToUtf8(folder.name), std::to_string(count));
  }
  return leftOut;
}

}  // namespace orti
