#pragma once
// Rebuilding the two views from the notepad model.

#include <string>

#include "model/notepad_model.h"
#include "model/string_grid.h"
#include "views/record_text.h"
#include "views/view_layout.h"

namespace orti {

// Rebuilds the record rows of both views: the by-folders view in folder and
// slot order, the by-date view in the order of the model's by-date index
// (sorted beforehand), both showing only the records IsShownRecord accepts.
// Columns 10 and 11 of every row hold the record's folder and slot number.
// A view without records keeps one empty row 1.
//
// The marks of column 1 stay with their records, not with row positions: a
// rebuild after a folder operation moves a mark to wherever its record is now
// shown and drops the marks of records no longer shown. Callers that want
// fresh marks empty column 1 first.
void FillGrids(const NotepadModel& model, StringGrid& byFolders, StringGrid& byDate,
               const std::string& decimalSeparator);

// Columns 3..9 of `row` in the view's order.
void WriteRecordCells(ViewKind kind, StringGrid& grid, int row, const RecordTexts& texts);

// Folder and slot number of a view row, from columns 10 and 11; false for the
// title row, an empty row or a row whose numbers do not read.
bool RowRecord(const StringGrid& grid, int row, int& folder, int& record);

}  // namespace orti
