#pragma once
// After a reading: the folder summary below the identity rows, and the by-date
// index of every stored record, made in one walk over the folders.

#include "model/notepad_model.h"
#include "model/string_grid.h"

namespace orti {

// Appends the folder rows to `totalData` and fills `model.byDate` (in reading
// order, not yet sorted). Records beyond the index's capacity are not indexed;
// returns how many were left out.
int AppendSummaryAndIndex(NotepadModel& model, StringGrid& totalData);

}  // namespace orti
