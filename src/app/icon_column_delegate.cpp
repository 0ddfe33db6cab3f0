#include "app/icon_column_delegate.h"

#include <QPainter>

#include "app/row_icons.h"
#include "views/view_layout.h"

namespace orti {

RowIconSet::RowIconSet() {
  for (RowIcon icon :
       {RowIcon::kHeader, RowIcon::kRecord, RowIcon::kSave, RowIcon::kPrint, RowIcon::kDelete}) {
    icons_[icon] = MakeRowIcon(icon);
  }
}

void RowIconSet::Paint(QPainter* painter, const QRect& cell, const QColor& background,
                       RowIcon icon) const {
  const QPixmap& pixmap = Get(icon);
  painter->fillRect(cell, background);
  const int x = IconLeft(cell.left(), cell.left() + cell.width(), pixmap.width());
  painter->drawPixmap(x, cell.top(), pixmap);
}

IconColumnDelegate::IconColumnDelegate(const RowIconSet& icons, QObject* parent)
    : QStyledItemDelegate(parent), icons_(icons) {}

void IconColumnDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  const QString mark = index.sibling(index.row(), kMarkColumn).data().toString();
  // Table rows start below the title row of the grid.
  const RowIcon icon = IconForCell(index.row() + kViewFixedRows, mark.toStdString());
  icons_.Paint(painter, option.rect, option.palette.color(QPalette::Base), icon);
}

IconColumnHeader::IconColumnHeader(const RowIconSet& icons, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), icons_(icons) {
  setSectionsClickable(false);
  setHighlightSections(false);
  setMinimumSectionSize(kIconColumnWidth);
  // Dragging the icon column wider is undone at once.
  connect(this, &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
    if (logical == kIconColumn && size != kIconColumnWidth)
      resizeSection(kIconColumn, kIconColumnWidth);
  });
}

void IconColumnHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  if (logicalIndex != kIconColumn) {
    QHeaderView::paintSection(painter, rect, logicalIndex);
    return;
  }
  icons_.Paint(painter, rect, palette().color(QPalette::Button), RowIcon::kHeader);
}

}  // namespace orti
