#include "app/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace orti {
namespace {

void DrawFolder(QPainter& p, QRectF r, QColor fill) {
  QPainterPath path;
  path.moveTo(r.left(), r.top() + r.height() * 0.2);
  path.lineTo(r.left() + r.width() * 0.4, r.top() + r.height() * 0.2);
  path.lineTo(r.left() + r.width() * 0.5, r.top() + r.height() * 0.35);
  path.lineTo(r.right(), r.top() + r.height() * 0.35);
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.setBrush(fill);
  p.drawPath(path);
}

}  // namespace

QIcon MakeGlyph(Glyph glyph, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 1.2));
  const double s = size;
  switch (glyph) {
    case Glyph::kByFolders: {
      DrawFolder(p, QRectF(2, 3, s * 0.6, s * 0.45), QColor(240, 200, 80));
      p.setBrush(Qt::white);
      for (int i = 0; i < 3; ++i) p.drawRect(QRectF(s * 0.35, s * (0.5 + 0.15 * i), s * 0.58, s * 0.11));
      break;
    }
    case Glyph::kByDate: {
      p.setBrush(Qt::white);
      p.drawRect(QRectF(3, 5, s - 6, s - 8));
      p.setBrush(QColor(200, 60, 60));
      p.drawRect(QRectF(3, 5, s - 6, s * 0.2));
      p.setPen(QPen(QColor(90, 90, 90), 1));
      for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
          p.drawPoint(QPointF(7 + col * (s - 14) / 3.0, s * 0.5 + row * s * 0.14));
      break;
    }
    case Glyph::kFolders: {
      DrawFolder(p, QRectF(2, 4, s - 4, s - 8), QColor(240, 200, 80));
      p.setPen(QPen(QColor(30, 110, 30), 2.5));
      p.drawLine(QPointF(s * 0.5, s * 0.5), QPointF(s * 0.5, s * 0.8));
      p.drawLine(QPointF(s * 0.35, s * 0.65), QPointF(s * 0.65, s * 0.65));
      break;
    }
    case Glyph::kTools: {
      p.setBrush(QColor(150, 150, 160));
      QPointF c(s / 2, s / 2);
      for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(c);
        p.rotate(45.0 * i);
        p.drawRect(QRectF(-s * 0.07, -s * 0.45, s * 0.14, s * 0.2));
        p.restore();
      }
      p.drawEllipse(c, s * 0.3, s * 0.3);
      p.setBrush(Qt::white);
      p.drawEllipse(c, s * 0.1, s * 0.1);
      break;
    }
    case Glyph::kRefresh: {
      p.setPen(QPen(QColor(30, 90, 180), 3));
      p.setBrush(Qt::NoBrush);
      QRectF arc(5, 5, s - 10, s - 10);
      p.drawArc(arc, 30 * 16, 270 * 16);
      p.setBrush(QColor(30, 90, 180));
      p.setPen(Qt::NoPen);
      QPolygonF head;
      head << QPointF(s * 0.72, s * 0.08) << QPointF(s * 0.95, s * 0.34) << QPointF(s * 0.62, s * 0.38);
      p.drawPolygon(head);
      break;
    }
    case Glyph::kQuit: {
      p.setBrush(QColor(150, 100, 60));
      p.drawRect(QRectF(5, 3, s * 0.5, s - 6));
      p.setPen(QPen(QColor(200, 40, 40), 3));
      p.drawLine(QPointF(s * 0.45, s / 2), QPointF(s - 3, s / 2));
      p.drawLine(QPointF(s - 3, s / 2), QPointF(s - 9, s / 2 - 6));
      p.drawLine(QPointF(s - 3, s / 2), QPointF(s - 9, s / 2 + 6));
      break;
    }
  }
  return QIcon(pixmap);
}

}  // namespace orti
