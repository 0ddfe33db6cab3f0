#include "app/row_icons.h"

#include <QPainter>
#include <QPainterPath>

namespace orti {
namespace {

// A sheet of the notepad with a folded corner and three lines of text.
void DrawSheet(QPainter& p, QColor lines) {
  QPainterPath sheet;
  sheet.moveTo(4.5, 1.5);
  sheet.lineTo(12.5, 1.5);
  sheet.lineTo(16.5, 5.5);
  sheet.lineTo(16.5, 18.5);
  sheet.lineTo(4.5, 18.5);
  sheet.closeSubpath();
  p.setPen(QPen(QColor(70, 70, 70), 1));
  p.setBrush(Qt::white);
  p.drawPath(sheet);
  p.drawLine(QPointF(12.5, 1.5), QPointF(12.5, 5.5));
  p.drawLine(QPointF(12.5, 5.5), QPointF(16.5, 5.5));
  p.setPen(QPen(lines, 1.4));
  for (int i = 0; i < 3; ++i) p.drawLine(QPointF(6.5, 8.5 + 3 * i), QPointF(14.5, 8.5 + 3 * i));
}

void DrawHeader(QPainter& p) {
  // A small table: the title band and three rows.
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(2.5, 3.5, 15, 13));
  p.setBrush(QColor(40, 90, 170));
  p.drawRect(QRectF(2.5, 3.5, 15, 4));
  p.setPen(QPen(QColor(150, 150, 150), 1));
  for (int i = 0; i < 2; ++i) p.drawLine(QPointF(3, 10.5 + 3 * i), QPointF(17, 10.5 + 3 * i));
  p.drawLine(QPointF(8.5, 8), QPointF(8.5, 16));
}

void DrawSave(QPainter& p) {
  // A diskette: the record goes to a file.
  p.setPen(QPen(QColor(20, 40, 90), 1));
  p.setBrush(QColor(50, 100, 190));
  p.drawRect(QRectF(2.5, 2.5, 15, 15));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(5.5, 2.5, 9, 6));
  p.setBrush(QColor(200, 200, 210));
  p.drawRect(QRectF(5.5, 11.5, 9, 6));
  p.setBrush(QColor(20, 40, 90));
  p.drawRect(QRectF(11.5, 3.5, 2, 4));
}

void DrawPrint(QPainter& p) {
  // A printer, 16 x 16.
  p.setPen(QPen(QColor(50, 50, 50), 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4.5, 1.5, 7, 5));
  p.setBrush(QColor(170, 170, 180));
  p.drawRect(QRectF(1.5, 6.5, 13, 6));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4.5, 10.5, 7, 4));
  p.setPen(QPen(QColor(30, 150, 30), 1));
  p.drawPoint(QPointF(12.5, 8.5));
}

void DrawDelete(QPainter& p) {
  // The sheet crossed out in red.
  DrawSheet(p, QColor(180, 180, 180));
  p.setPen(QPen(QColor(210, 30, 30), 2.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(3.5, 4.5), QPointF(16.5, 17.5));
  p.drawLine(QPointF(16.5, 4.5), QPointF(3.5, 17.5));
}

}  // namespace

QPixmap MakeRowIcon(RowIcon icon, qreal devicePixelRatio) {
  const int size = IconSize(icon);
  const int pixels = qRound(size * devicePixelRatio);
  QPixmap pixmap(pixels, pixels);
  pixmap.setDevicePixelRatio(devicePixelRatio);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  switch (icon) {
    case RowIcon::kHeader:
      DrawHeader(p);
      break;
    case RowIcon::kRecord:
      DrawSheet(p, QColor(40, 90, 170));
      break;
    case RowIcon::kSave:
      DrawSave(p);
      break;
    case RowIcon::kPrint:
      DrawPrint(p);
      break;
    case RowIcon::kDelete:
      DrawDelete(p);
      break;
  }
  return pixmap;
}

}  // namespace orti
