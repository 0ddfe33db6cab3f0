#include "views/view_layout.h"

namespace orti {
namespace {

const char* const* TitlesOf(ViewKind kind) {
  return kind == ViewKind::kByFolders ? kFolderViewTitles : kDateViewTitles;
}

const int* WidthsOf(ViewKind kind) {
  return kind == ViewKind::kByFolders ? kFolderViewWidths : kDateViewWidths;
}

// A grid that arrives smaller than the layout is widened, never narrowed.
void EnsureLayout(StringGrid& grid) {
  if (grid.ColCount() < kViewColumns) grid.SetColCount(kViewColumns);
  if (grid.RowCount() < kViewFixedRows + 1) grid.SetRowCount(kViewFixedRows + 1);
  grid.SetFixedRows(kViewFixedRows);
}

}  // namespace

std::vector<std::string> ColumnTitles(ViewKind kind) {
  std::vector<std::string> titles;
  for (const char* const* t = TitlesOf(kind); **t != '\0'; ++t) titles.emplace_back(*t);
  return titles;
}

void PrepareViewGrid(ViewKind kind, StringGrid& grid) {
  GridUpdate update(grid);
  EnsureLayout(grid);
  grid.SetColWidth(kIconColumn, kIconColumnWidth);
  for (int col : {kMarkColumn, kSpareColumn}) grid.SetColWidth(col, 0);
  const std::vector<std::string> titles = ColumnTitles(kind);
  for (size_t k = 0; k < titles.size(); ++k) {
    grid.SetCell(kFirstChoiceColumn + static_cast<int>(k), 0, titles[k]);
  }
}

void ApplyColumnChoice(ViewKind kind, StringGrid& grid, const std::vector<bool>& ticked) {
  const int* widths = WidthsOf(kind);
  GridUpdate update(grid);
  for (size_t k = 0; k < ticked.size() && k < static_cast<size_t>(kChoiceColumns); ++k) {
    grid.SetColWidth(kFirstChoiceColumn + static_cast<int>(k), ticked[k] ? widths[k] : 0);
  }
}

}  // namespace orti
