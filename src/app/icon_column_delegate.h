#pragma once
// Paints column 0 of a view: the title cell's icon in the header, and in
// every other row the record icon or the icon of the row's mark. The column
// never shows the selection colour.

#include <QHeaderView>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <map>
#include <utility>

#include "views/icon_column.h"

namespace orti {

// The five icons, drawn once per view and device pixel ratio.
class RowIconSet {
 public:
  RowIconSet();
  // At 1 device pixel per logical pixel.
  const QPixmap& Get(RowIcon icon) const { return Get(icon, 1.0); }
  // At `devicePixelRatio` (drawn on first use).
  const QPixmap& Get(RowIcon icon, qreal devicePixelRatio) const;

  // Fills `cell` with `background` and draws the icon at its top, centred,
  // at the painter's device pixel ratio.
  void Paint(QPainter* painter, const QRect& cell, const QColor& background, RowIcon icon) const;

 private:
  mutable std::map<std::pair<RowIcon, qreal>, QPixmap> icons_;
};

class IconColumnDelegate final : public QStyledItemDelegate {
  Q_OBJECT
 public:
  IconColumnDelegate(const RowIconSet& icons, QObject* parent);
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  const RowIconSet& icons_;
};

// The horizontal header of a view; keeps column 0 at its width.
class IconColumnHeader final : public QHeaderView {
  Q_OBJECT
 public:
  IconColumnHeader(const RowIconSet& icons, QWidget* parent);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

 private:
  const RowIconSet& icons_;
};

}  // namespace orti
