#pragma once
// The common layout of the by-folders and by-date views: ten columns, one
// title row, the icon column, two hidden columns (the mark and a spare one),
// and the seven columns the operator may hide through the check lists.

#include <string>
#include <vector>

#include "model/string_grid.h"
#include "model/view_mark.h"

namespace orti {

constexpr int kViewColumns = 10;
constexpr int kViewFixedRows = 1;
constexpr int kIconColumn = 0;
constexpr int kMarkColumn = 1;         // "", "S", "P" or "D": what the icon column draws
constexpr int kSpareColumn = 2;        // always empty
constexpr int kFirstChoiceColumn = 3;  // check-list item k stands for column k + 3
constexpr int kChoiceColumns = 7;
constexpr int kLastChoiceColumn = kFirstChoiceColumn + kChoiceColumns - 1;  // 9
constexpr int kIconColumnWidth = 20;

// The last field of an exported or printed header line.
constexpr const char* kOperatorTitle = "Исполнитель";

// Column titles 3 .. 9 of a view, each list ending in an empty entry.
constexpr const char* kFolderViewTitles[] = {"Папка",    "Режим", "Дата/Время", "T (C)",
                                             "ЭДС (мВ)", "pH",    "pH25",       ""};
constexpr const char* kDateViewTitles[] = {"Дата/Время", "Папка", "Режим", "T (C)",
                                           "ЭДС (мВ)",   "pH",    "pH25",  ""};
// Widths of columns 3 .. 9 while ticked; they belong to the titles.
constexpr int kFolderViewWidths[kChoiceColumns] = {151, 97, 159, 72, 76, 76, 76};
constexpr int kDateViewWidths[kChoiceColumns] = {159, 151, 97, 72, 76, 76, 76};

// The titles of a view up to the empty entry: row 0 and the check-list items.
std::vector<std::string> ColumnTitles(ViewKind kind);

// Hides columns 1 and 2, sizes the icon column and writes the titles
// into row 0.
void PrepareViewGrid(ViewKind kind, StringGrid& grid);

// Width of column k + 3 = the width table's entry k when item k is ticked,
// else 0. Every call re-applies all the widths it is given ticks for.
void ApplyColumnChoice(ViewKind kind, StringGrid& grid, const std::vector<bool>& ticked);
inline void ApplyFolderColumns(StringGrid& grid, const std::vector<bool>& ticked) {
  ApplyColumnChoice(ViewKind::kByFolders, grid, ticked);
}
inline void ApplyDateColumns(StringGrid& grid, const std::vector<bool>& ticked) {
  ApplyColumnChoice(ViewKind::kByDate, grid, ticked);
}

}  // namespace orti
