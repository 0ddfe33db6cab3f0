#include "workflow/notepad_summary.h"

#include <string>

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

  const int leftOut = IndexStoredRecords(model);
  for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) {
    const NotepadFolder& folder = model.folders[f];
    if (folder.state == FolderState::kFree) continue;
    int count = 0;
    for (int s = 0; s < kShownSlots; ++s) count += folder.records[s].HoldsRecord();
    writeRow(FolderNameUtf8(folder), std::to_string(count));
  }
  return leftOut;
}

}  // namespace orti
