#pragma once
// The five small pictures of a view's icon column, drawn in code.

#include <QPixmap>

#include "views/icon_column.h"

namespace orti {

// 20 x 20 pixels, the print mark 16 x 16 (IconSize).
QPixmap MakeRowIcon(RowIcon icon);

}  // namespace orti
