#pragma once
// Archived measurements laid out as the by-date view, plus when each was
// first read, by whom, on which instrument, and who removed it from the
// instrument and when: the history page's table, the
// command line's rows and the export of selected rows all come from this grid.

#include <string>
#include <vector>

#include "archive/measurement.h"
#include "model/string_grid.h"
#include "views/view_layout.h"

namespace orti {

constexpr int kFirstReadColumn = kViewColumns;       // "Прочитано"
constexpr int kReadByColumn = kViewColumns + 1;      // "Оператор"
constexpr int kInstrumentColumn = kViewColumns + 2;  // "Прибор"
constexpr int kRemovedByColumn = kViewColumns + 3;   // "Удалил из прибора"
constexpr int kRemovedAtColumn = kViewColumns + 4;   // "Удалено"
constexpr int kArchiveColumns = kViewColumns + 5;

// The columns and titles, and no rows below them.
void PrepareArchiveGrid(StringGrid& grid);

// Row `row` (added when the grid is shorter) shows `m`.
void WriteArchiveRow(StringGrid& grid, int row, const Measurement& m,
                     const std::string& decimalSeparator);

// Rows 1.. hold the measurements in the given order; a grid without
// measurements keeps one empty row 1.
void FillArchiveGrid(const std::vector<Measurement>& measurements, StringGrid& grid,
                     const std::string& decimalSeparator);

}  // namespace orti
