#pragma once
// Row marks of the two views: "S" to save to a file, "P" to print, "D" to
// delete from the instrument. The model holds them (each view its own "S"
// and "P", "D" as the record's deletion mark); the functions here change the
// model and show the change in the mark column of the rows it touches.

#include <optional>
#include <string>
#include <vector>

#include "model/notepad_model.h"
#include "model/string_grid.h"
#include "views/shown_records.h"
#include "views/view_layout.h"

namespace orti {

// A block of selected rows of a view (top..bottom) and its cursor row.
struct RowSelection {
  int top = 1;
  int bottom = 1;
  int current = 1;
};

// The row ↔ record correspondences, over the model as it now is.
std::optional<RecordRef> RowToRecord(const NotepadModel& model, ViewKind view, int row);
std::optional<int> RecordToRow(const NotepadModel& model, ViewKind view, int folder, int record);

bool AnyRecordMarked(const NotepadModel& model);
bool FolderHasMarkedRecord(const NotepadModel& model, int folder);

// Writes the record's mark into the mark column of `row`: "D" for a record
// marked for deletion, else the view's own "S" or "P", else nothing.
void ShowMark(StringGrid& grid, int row, const NotepadRecord& record, ViewKind view);

// "S" and "P" toggles on the selected rows; rows marked "D" keep their mark.
void ToggleMark(NotepadModel& model, ViewKind view, StringGrid& grid, const RowSelection& selection,
                ViewMark mark);
// Takes every "S" and "P" of the view off; "D" stays.
void ResetMarks(NotepadModel& model, ViewKind view, StringGrid& grid);
// The rows of the view whose records carry `mark` there, in row order.
std::vector<int> MarkedRows(const NotepadModel& model, ViewKind view, ViewMark mark);
// After a rebuild: the view's "S" and "P" stay only on the records it still
// shows (`shown`, as ViewRecords gives them); a record gone from the view
// loses them for good.
void KeepMarksOfShownRecords(NotepadModel& model, ViewKind view,
                             const std::vector<RecordRef>& shown);

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

// Marks the record of `row` in `view` for deletion: in the model, shown in both views.
void MarkForDeletion(ViewKind view, int row, MarkViews& views, NotepadModel& model,
                     DeletionMarkHooks& hooks);
// Takes a deletion mark back.
void TakeBackDeletion(ViewKind view, int row, MarkViews& views, NotepadModel& model,
                      DeletionMarkHooks& hooks);

enum class ExecuteChoice { kPrint, kExport, kSynchronise };

// The first marked row of the selection decides: "P" prints, "S" exports,
// "D" or no mark at all synchronises.
ExecuteChoice ChooseExecute(const NotepadModel& model, ViewKind view,
                            const RowSelection& selection);

}  // namespace orti
