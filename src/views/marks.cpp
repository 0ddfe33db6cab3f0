#include "views/marks.h"

#include <cctype>

#include "views/fill_grids.h"
#include "views/shown_records.h"
#include "views/view_layout.h"

namespace orti {
namespace {

constexpr const char* kMarkSave = "S";
constexpr const char* kMarkPrint = "P";
constexpr const char* kMarkDelete = "D";

std::string MarkOf(const StringGrid& view, int row) {
  std::string mark = view.Cell(kMarkColumn, row);
  for (char& c : mark) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return mark;
}

}  // namespace

std::optional<RecordRef> FolderRowToRecord(const NotepadModel& model, int row) {
  int counted = 0;
  for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) {
    for (int s = 0; s < kShownSlots; ++s) {
      if (IsShownRecord(model, f, s) && ++counted == row) return RecordRef{f, s};
    }
  }
  return std::nullopt;
}

std::optional<int> RecordToFolderRow(const NotepadModel& model, int folder, int record) {
  if (!IsShownRecord(model, folder, record)) return std::nullopt;
  int counted = 0;
  for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) {
    for (int s = 0; s < kShownSlots; ++s) {
      if (f == folder && s == record) return counted + 1;
      if (IsShownRecord(model, f, s)) ++counted;
    }
  }
  return std::nullopt;
}

std::optional<RecordRef> DateRowToRecord(const NotepadModel& model, int row) {
  int counted = 0;
  for (int i = 0; i < kByDateCapacity && model.byDate.folder[i] != -1; ++i) {
    const int f = model.byDate.folder[i];
    const int s = model.byDate.record[i];
    if (IsShownRecord(model, f, s) && ++counted == row) return RecordRef{f, s};
  }
  return std::nullopt;
}

std::optional<int> RecordToDateRow(const NotepadModel& model, int folder, int record) {
  int counted = 0;
  for (int i = 0; i < kByDateCapacity && model.byDate.folder[i] != -1; ++i) {
    const int f = model.byDate.folder[i];
    const int s = model.byDate.record[i];
    if (!IsShownRecord(model, f, s)) continue;
    ++counted;
    if (f == folder && s == record) return counted;
  }
  return std::nullopt;
}

bool FolderHasMarkedRecord(const NotepadModel& model, int folder) {
  for (int s = 0; s < kShownSlots; ++s) {
    if (model.folders[folder].records[s].deletionMark) return true;
  }
  return false;
}

bool AnyRecordMarked(const NotepadModel& model) {
  for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) {
    if (FolderHasMarkedRecord(model, f)) return true;
  }
  return false;
}

void ToggleMark(StringGrid& view, const RowSelection& selection, char mark) {
  const std::string letter(1, mark);
  for (int row = selection.top; row <= selection.bottom && row < view.RowCount(); ++row) {
    int folder = 0, record = 0;
    if (row < 1 || !RowRecord(view, row, folder, record)) continue;  // a row without a record
    const std::string current = view.Cell(kMarkColumn, row);
    if (current == letter) {
      view.SetCell(kMarkColumn, row, "");
    } else if (current != kMarkDelete) {
      view.SetCell(kMarkColumn, row, letter);
    }
  }
}

void ResetMarks(StringGrid& view) {
  for (int row = 1; row < view.RowCount(); ++row) {
    if (view.Cell(kMarkColumn, row) != kMarkDelete) view.SetCell(kMarkColumn, row, "");
  }
}

void MarkForDeletion(ViewKind kind, int row, MarkViews& views, NotepadModel& model,
                     DeletionMarkHooks& hooks) {
  StringGrid& view = views.Of(kind);
  if (row < 1 || row >= view.RowCount() || !view.Cell(kMarkColumn, row).empty()) return;
  view.SetCell(kMarkColumn, row, kMarkDelete);
  const bool byFolders = kind == ViewKind::kByFolders;
  const auto ref = byFolders ? FolderRowToRecord(model, row) : DateRowToRecord(model, row);
  const auto other = ref ? (byFolders ? RecordToDateRow(model, ref->folder, ref->record)
                                      : RecordToFolderRow(model, ref->folder, ref->record))
                         : std::nullopt;
  if (!other) {
    view.SetCell(kMarkColumn, row, "");
    return;
  }
  NotepadFolder& folder = model.folders[ref->folder];
  folder.records[ref->record].deletionMark = 1;
  folder.pending = 1;
  folder.state = FolderState::kRewritePending;
  const ViewKind otherKind = byFolders ? ViewKind::kByDate : ViewKind::kByFolders;
  hooks.MoveCursor(otherKind, *other);
  views.Of(otherKind).SetCell(kMarkColumn, *other, kMarkDelete);
  hooks.AddJournalRow("Удаление записи", FolderNameUtf8(model.folders[ref->folder]));
  hooks.ShowWarningPanels(true);
}

void TakeBackDeletion(ViewKind kind, int row, MarkViews& views, NotepadModel& model,
                      DeletionMarkHooks& hooks) {
  StringGrid& view = views.Of(kind);
  if (row < 1 || row >= view.RowCount() || view.Cell(kMarkColumn, row) != kMarkDelete) return;
  view.SetCell(kMarkColumn, row, "");
  const bool byFolders = kind == ViewKind::kByFolders;
  const auto ref = byFolders ? FolderRowToRecord(model, row) : DateRowToRecord(model, row);
  if (!ref) return;
  auto clearFlags = [&] {
    model.folders[ref->folder].records[ref->record].deletionMark = 0;
    if (!FolderHasMarkedRecord(model, ref->folder)) model.folders[ref->folder].pending = 0;
  };
  std::optional<int> other;
  if (byFolders) {
    clearFlags();
    other = RecordToDateRow(model, ref->folder, ref->record);
    if (!other) return;
  } else {
    other = RecordToFolderRow(model, ref->folder, ref->record);
    if (!other) return;
    clearFlags();
  }
  const ViewKind otherKind = byFolders ? ViewKind::kByDate : ViewKind::kByFolders;
  hooks.MoveCursor(otherKind, *other);
  views.Of(otherKind).SetCell(kMarkColumn, *other, "");
  hooks.AddJournalRow("Отмена удаления записи", FolderNameUtf8(model.folders[ref->folder]));
  if (!AnyRecordMarked(model)) hooks.ShowWarningPanels(false);
}

ExecuteChoice ChooseExecute(const StringGrid& view, const RowSelection& selection) {
  for (int row = selection.top; row <= selection.bottom && row < view.RowCount(); ++row) {
    if (row < 1) continue;
    const std::string mark = MarkOf(view, row);
    if (mark == kMarkPrint) return ExecuteChoice::kPrint;
    if (mark == kMarkSave) return ExecuteChoice::kExport;
    if (mark == kMarkDelete) break;
  }
  return ExecuteChoice::kSynchronise;
}

}  // namespace orti
