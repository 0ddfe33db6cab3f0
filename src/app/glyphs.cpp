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

// Draws `glyph` in a square of `size` logical pixels.
void DrawGlyph(QPainter& p, Glyph glyph, int size) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 1.2));
  const double s = size;
  switch (glyph) {
    case Glyph::kByFolders: {
      DrawFolder(p, QRectF(2, 3, s * 0.6, s * 0.45), QColor(240, 200, 80));
      p.setBrush(Qt::white);
      for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(s * 0.35, s * (0.5 + 0.15 * i), s * 0.58, s * 0.11));
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
    case Glyph::kArchive: {  // a trend on a sheet
      p.setBrush(Qt::white);
      p.drawRect(QRectF(3, 3, s - 6, s - 6));
      p.setPen(QPen(QColor(40, 90, 180), 2));
      p.drawPolyline(QPolygonF({QPointF(6, s * 0.75), QPointF(s * 0.35, s * 0.5),
                                QPointF(s * 0.55, s * 0.62), QPointF(s - 6, s * 0.25)}));
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
      head << QPointF(s * 0.72, s * 0.08) << QPointF(s * 0.95, s * 0.34)
           << QPointF(s * 0.62, s * 0.38);
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
    case Glyph::kSave: {
      // A diskette: body, shutter and label.
      p.setBrush(QColor(40, 80, 160));
      p.drawRoundedRect(QRectF(3, 3, s - 6, s - 6), 2, 2);
      p.setBrush(QColor(200, 200, 210));
      p.drawRect(QRectF(s * 0.3, 3, s * 0.4, s * 0.3));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(s * 0.22, s * 0.55, s * 0.56, s * 0.35));
      break;
    }
    case Glyph::kPrint: {
      p.setBrush(Qt::white);
      p.drawRect(QRectF(s * 0.28, 3, s * 0.44, s * 0.35));
      p.setBrush(QColor(120, 120, 130));
      p.drawRoundedRect(QRectF(3, s * 0.35, s - 6, s * 0.38), 2, 2);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(s * 0.28, s * 0.6, s * 0.44, s * 0.34));
      p.setPen(QPen(QColor(90, 90, 90), 1));
      p.drawLine(QPointF(s * 0.34, s * 0.72), QPointF(s * 0.66, s * 0.72));
      p.drawLine(QPointF(s * 0.34, s * 0.83), QPointF(s * 0.66, s * 0.83));
      break;
    }
    case Glyph::kWarning: {
      QPolygonF triangle;
      triangle << QPointF(s / 2, 2) << QPointF(s - 2, s - 3) << QPointF(2, s - 3);
      p.setBrush(QColor(250, 210, 40));
      p.drawPolygon(triangle);
      p.setPen(QPen(QColor(30, 30, 30), s * 0.1));
      p.drawLine(QPointF(s / 2, s * 0.35), QPointF(s / 2, s * 0.65));
      p.drawPoint(QPointF(s / 2, s * 0.8));
      break;
    }
    case Glyph::kSelectAll: {
      // Rows of a list, every one ticked.
      p.setBrush(Qt::white);
      for (int i = 0; i < 3; ++i) {
        const double y = s * (0.1 + 0.3 * i);
        p.setPen(QPen(QColor(40, 40, 40), 1));
        p.drawRect(QRectF(s * 0.35, y, s * 0.58, s * 0.22));
        p.setPen(QPen(QColor(30, 130, 30), s * 0.08));
        p.drawLine(QPointF(s * 0.06, y + s * 0.11), QPointF(s * 0.14, y + s * 0.2));
        p.drawLine(QPointF(s * 0.14, y + s * 0.2), QPointF(s * 0.27, y));
      }
      break;
    }
    case Glyph::kUnmark: {
      // A page with its mark struck out.
      p.setBrush(Qt::white);
      p.drawRect(QRectF(s * 0.2, 2, s * 0.6, s - 4));
      p.setPen(QPen(QColor(30, 90, 180), s * 0.1));
      p.drawLine(QPointF(s * 0.25, s * 0.25), QPointF(s * 0.75, s * 0.75));
      p.drawLine(QPointF(s * 0.75, s * 0.25), QPointF(s * 0.25, s * 0.75));
      break;
    }
  }
}

}  // namespace

QIcon MakeGlyph(Glyph glyph, int size) {
  // One pixmap per usual device pixel ratio, drawn at that resolution, so a
  // HiDPI screen gets sharp lines instead of an enlarged 1x picture.
  QIcon icon;
  for (const qreal ratio : {1.0, 1.25, 1.5, 2.0, 3.0}) {
    const int pixels = qRound(size * ratio);
    QPixmap pixmap(pixels, pixels);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    DrawGlyph(p, glyph, size);
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace orti
