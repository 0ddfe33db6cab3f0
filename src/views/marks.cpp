#include "views/marks.h"

#include <algorithm>

namespace orti {
namespace {

constexpr const char* kMarkSave = "S";
constexpr const char* kMarkPrint = "P";
constexpr const char* kMarkDelete = "D";

ViewKind OtherView(ViewKind view) {
  return view == ViewKind::kByFolders ? ViewKind::kByDate : ViewKind::kByFolders;
}

NotepadRecord& RecordOf(NotepadModel& model, const RecordRef& ref) {
  return model.folders[ref.folder].records[ref.record];
}

const NotepadRecord& RecordOf(const NotepadModel& model, const RecordRef& ref) {
  return model.folders[ref.folder].records[ref.record];
}

// The first and last row of the selection that show one of `records` (row 1 first).
int FirstRow(const RowSelection& selection) {
  return std::max(selection.top, kViewFixedRows);
}
int LastRow(const RowSelection& selection, const std::vector<RecordRef>& records) {
  return std::min(selection.bottom, static_cast<int>(records.size()));
}

}  // namespace

std::optional<RecordRef> RowToRecord(const NotepadModel& model, ViewKind view, int row) {
  const std::vector<RecordRef> records = ViewRecords(model, view);
  if (row < kViewFixedRows || row > static_cast<int>(records.size())) return std::nullopt;
  return records[static_cast<size_t>(row - kViewFixedRows)];
}

std::optional<int> RecordToRow(const NotepadModel& model, ViewKind view, int folder, int record) {
  const std::vector<RecordRef> records = ViewRecords(model, view);
  for (size_t i = 0; i < records.size(); ++i) {
    if (records[i].folder == folder && records[i].record == record) {
      return static_cast<int>(i) + kViewFixedRows;
    }
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

void ShowMark(StringGrid& grid, int row, const NotepadRecord& record, ViewKind view) {
  const char* text = "";
  if (record.deletionMark) {
    text = kMarkDelete;
  } else if (record.MarkIn(view) == ViewMark::kSave) {
    text = kMarkSave;
  } else if (record.MarkIn(view) == ViewMark::kPrint) {
    text = kMarkPrint;
  }
  grid.SetCell(kMarkColumn, row, text);
}

void ToggleMark(NotepadModel& model, ViewKind view, StringGrid& grid, const RowSelection& selection,
                ViewMark mark) {
  const std::vector<RecordRef> records = ViewRecords(model, view);
  for (int row = FirstRow(selection); row <= LastRow(selection, records); ++row) {
    NotepadRecord& record = RecordOf(model, records[static_cast<size_t>(row - kViewFixedRows)]);
    if (record.deletionMark) continue;
    ViewMark& current = record.MarkIn(view);
    current = current == mark ? ViewMark::kNone : mark;
    ShowMark(grid, row, record, view);
  }
}

void ResetMarks(NotepadModel& model, ViewKind view, StringGrid& grid) {
  const std::vector<RecordRef> records = ViewRecords(model, view);
  for (size_t i = 0; i < records.size(); ++i) {
    NotepadRecord& record = RecordOf(model, records[i]);
    if (record.MarkIn(view) == ViewMark::kNone) continue;
    record.MarkIn(view) = ViewMark::kNone;
    ShowMark(grid, static_cast<int>(i) + kViewFixedRows, record, view);
  }
}

std::vector<int> MarkedRows(const NotepadModel& model, ViewKind view, ViewMark mark) {
  const std::vector<RecordRef> records = ViewRecords(model, view);
  std::vector<int> rows;
  for (size_t i = 0; i < records.size(); ++i) {
    if (RecordOf(model, records[i]).MarkIn(view) == mark) {
      rows.push_back(static_cast<int>(i) + kViewFixedRows);
    }
  }
  return rows;
}

void KeepMarksOfShownRecords(NotepadModel& model, ViewKind view,
                             const std::vector<RecordRef>& shown) {
  bool kept[kMaxFolders][kSlotsPerFolder] = {};
  for (const RecordRef& ref : shown) kept[ref.folder][ref.record] = true;
  for (int f = 0; f < kMaxFolders; ++f) {
    for (int s = 0; s < kSlotsPerFolder; ++s) {
      if (!kept[f][s]) model.folders[f].records[s].MarkIn(view) = ViewMark::kNone;
    }
  }
}

void MarkForDeletion(ViewKind kind, int row, MarkViews& views, NotepadModel& model,
                     DeletionMarkHooks& hooks) {
  const auto ref = RowToRecord(model, kind, row);
  if (!ref) return;
  NotepadRecord& record = RecordOf(model, *ref);
  if (record.deletionMark || record.MarkIn(kind) != ViewMark::kNone) return;  // marked already
  const ViewKind otherKind = OtherView(kind);
  const auto other = RecordToRow(model, otherKind, ref->folder, ref->record);
  if (!other) return;
  record.deletionMark = 1;
  record.MarkIn(otherKind) = ViewMark::kNone;  // "D" takes the place of the other view's mark
  NotepadFolder& folder = model.folders[ref->folder];
  folder.pending = 1;
  folder.state = FolderState::kRewritePending;
  ShowMark(views.Of(kind), row, record, kind);
  hooks.MoveCursor(otherKind, *other);
  ShowMark(views.Of(otherKind), *other, record, otherKind);
  hooks.AddJournalRow("Удаление записи", FolderNameUtf8(folder));
  hooks.ShowWarningPanels(true);
}

void TakeBackDeletion(ViewKind kind, int row, MarkViews& views, NotepadModel& model,
                      DeletionMarkHooks& hooks) {
  const auto ref = RowToRecord(model, kind, row);
  if (!ref) return;
  NotepadRecord& record = RecordOf(model, *ref);
  if (!record.deletionMark) return;
  record.deletionMark = 0;
  if (!FolderHasMarkedRecord(model, ref->folder)) model.folders[ref->folder].pending = 0;
  ShowMark(views.Of(kind), row, record, kind);
  const ViewKind otherKind = OtherView(kind);
  const auto other = RecordToRow(model, otherKind, ref->folder, ref->record);
  if (!other) return;
  hooks.MoveCursor(otherKind, *other);
  ShowMark(views.Of(otherKind), *other, record, otherKind);
  hooks.AddJournalRow("Отмена удаления записи", FolderNameUtf8(model.folders[ref->folder]));
  if (!AnyRecordMarked(model)) hooks.ShowWarningPanels(false);
}

ExecuteChoice ChooseExecute(const NotepadModel& model, ViewKind view,
                            const RowSelection& selection) {
  const std::vector<RecordRef> records = ViewRecords(model, view);
  for (int row = FirstRow(selection); row <= LastRow(selection, records); ++row) {
    const NotepadRecord& record =
        RecordOf(model, records[static_cast<size_t>(row - kViewFixedRows)]);
    if (record.deletionMark) break;
    if (record.MarkIn(view) == ViewMark::kPrint) return ExecuteChoice::kPrint;
    if (record.MarkIn(view) == ViewMark::kSave) return ExecuteChoice::kExport;
  }
  return ExecuteChoice::kSynchronise;
}

}  // namespace orti
