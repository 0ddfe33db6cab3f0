#pragma once
// Row marks of the two views: "S" to save to a file, "P" to print, "D" to
// delete from the instrument. "D" is mirrored into the model, the journal and
// the other view's row that shows the same record.

#include <optional>
#include <string>

#include "model/notepad_model.h"
#include "model/string_grid.h"
#include "views/view_layout.h"

namespace orti {

struct RecordRef {
  int folder;
  int record;
};

// A block of selected rows of a view (top..bottom) and its cursor row.
struct RowSelection {
  int top = 1;
  int bottom = 1;
  int current = 1;
};

// The row ↔ record correspondences, over the model as it now is.
std::optional<RecordRef> FolderRowToRecord(const NotepadModel& model, int row);
std::optional<int> RecordToFolderRow(const NotepadModel& model, int folder, int record);
std::optional<RecordRef> DateRowToRecord(const NotepadModel& model, int row);
std::optional<int> RecordToDateRow(const NotepadModel& model, int folder, int record);

bool AnyRecordMarked(const NotepadModel& model);
bool FolderHasMarkedRecord(const NotepadModel& model, int folder);

// "S" and "P" toggles on the selected rows; rows marked "D" keep their mark.
void ToggleMark(StringGrid& view, const RowSelection& selection, char mark);
// Empties every "S" and "P" of the view; "D" stays.
void ResetMarks(StringGrid& view);

// What a deletion mark changes in the windows.
class DeletionMarkHooks {
 public:
  virtual ~DeletionMarkHooks() = default;
  virtual void MoveCursor(ViewKind view, int row) = 0;  // the other view's row
  virtual void AddJournalRow(const std::string& operation, const std::string& folderName) = 0;
  virtual void ShowWarningPanels(bool shown) = 0;
};

struct MarkViews {
  StringGrid& byFolders;
  StringGrid& byDate;
  StringGrid& Of(ViewKind kind) { return kind == ViewKind::kByFolders ? byFolders : byDate; }
};

// Marks the record of `row` in `view` for deletion, in both views and in the model.
void MarkForDeletion(ViewKind view, int row, MarkViews& views, NotepadModel& model,
                     DeletionMarkHooks& hooks);
// Takes a deletion mark back.
void TakeBackDeletion(ViewKind view, int row, MarkViews& views, NotepadModel& model,
                      DeletionMarkHooks& hooks);

enum class ExecuteChoice { kPrint, kExport, kSynchronise };

// The first marked row of the selection decides: "P" prints, "S" exports,
// "D" or no mark at all synchronises.
ExecuteChoice ChooseExecute(const StringGrid& view, const RowSelection& selection);

}  // namespace orti
