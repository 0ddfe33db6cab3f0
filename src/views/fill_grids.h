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
// (sorted beforehand), both showing only the records IsShownRecord accepts,
// each row with its record's mark. A view without records keeps one empty
// row 1.
//
// The marks belong to the records, not to row positions: after a folder
// operation a mark is shown wherever its record is now, and a record that a
// view no longer shows loses its "S" and "P" there.
void FillGrids(NotepadModel& model, StringGrid& byFolders, StringGrid& byDate,
               const std::string& decimalSeparator);

// Columns 3..9 of `row` in the view's order.
void WriteRecordCells(ViewKind kind, StringGrid& grid, int row, const RecordTexts& texts);

}  // namespace orti
