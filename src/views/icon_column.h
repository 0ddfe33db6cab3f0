#pragma once
// What the icon column (column 0) of a view shows in each cell.

#include <string>

namespace orti {

enum class RowIcon {
  kHeader,  // the title cell
  kRecord,  // any other row, also the empty row of an empty view
  kSave,    // mark "S"
  kPrint,   // mark "P"
  kDelete,  // mark "D"
};

constexpr int kRowIconSize = 20;
constexpr int kPrintIconSize = 16;

// The icon of a cell of column 0 from its row and the row's mark; marks are
// compared exactly (upper case only).
RowIcon IconForCell(int row, const std::string& mark);

int IconSize(RowIcon icon);

// Left edge of an icon centred in a cell from `left` to `right` (exclusive);
// the icon sits at the cell's top edge.
inline int IconLeft(int left, int right, int iconWidth) {
  return (left + right - iconWidth) / 2;
}

}  // namespace orti
