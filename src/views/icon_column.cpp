#include "views/icon_column.h"

namespace orti {

RowIcon IconForCell(int row, const std::string& mark) {
  if (row == 0) return RowIcon::kHeader;
  if (mark == "S") return RowIcon::kSave;
  if (mark == "P") return RowIcon::kPrint;
  if (mark == "D") return RowIcon::kDelete;
  return RowIcon::kRecord;
}

int IconSize(RowIcon icon) {
  return icon == RowIcon::kPrint ? kPrintIconSize : kRowIconSize;
}

}  // namespace orti
