#pragma once
// The five small pictures of a view's icon column, drawn in code.

#include <QPixmap>

#include "views/icon_column.h"

namespace orti {

// 20 x 20 logical pixels, the print mark 16 x 16 (IconSize), drawn at
// `devicePixelRatio` device pixels per logical pixel.
QPixmap MakeRowIcon(RowIcon icon, qreal devicePixelRatio = 1.0);

}  // namespace orti
