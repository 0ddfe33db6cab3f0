#include "app/icon_column_delegate.h"

#include <QPainter>

#include "app/row_icons.h"
#include "views/view_layout.h"

namespace orti {

RowIconSet::RowIconSet() {
  for (RowIcon icon :
       {RowIcon::kHeader, RowIcon::kRecord, RowIcon::kSave, RowIcon::kPrint, RowIcon::kDelete}) {
    icons_[{icon, 1.0}] = MakeRowIcon(icon);
  }
}

const QPixmap& RowIconSet::Get(RowIcon icon, qreal devicePixelRatio) const {
  const auto key = std::make_pair(icon, devicePixelRatio);
  auto found = icons_.find(key);
  if (found == icons_.end()) found = icons_.emplace(key, MakeRowIcon(icon, devicePixelRatio)).first;
  return found->second;
}

void RowIconSet::Paint(QPainter* painter, const QRect& cell, const QColor& background,
                       RowIcon icon) const {
  const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
  const QPixmap& pixmap = Get(icon, ratio);
  painter->fillRect(cell, background);
  // Placed by its size in logical pixels.
  const int x = IconLeft(cell.left(), cell.left() + cell.width(), IconSize(icon));
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
