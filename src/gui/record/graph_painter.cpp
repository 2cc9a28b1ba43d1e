#include "record/graph_painter.h"

#include <QPainter>

#include "record/graph_raster.h"
#include "record/page_fonts.h"

namespace lmv::gui {
namespace {

QRgb rgbOf(Rgb c) { return qRgb(c.r, c.g, c.b); }

void setPixel(QImage& image, int x, int y, QRgb c) {
  if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return;
  reinterpret_cast<QRgb*>(image.scanLine(y))[x] = c;
}

}  // namespace

QFont graphFont(GraphFont) { return gothicFont(13); }

double graphFontWidthScale(GraphFont font) { return widthScale(graphFont(font), font == GraphFont::Page ? 6 : 5); }

void paintDrawing(QImage& image, const Drawing& drawing) {
  for (const DrawOp& op : drawing.ops) {
    const QRgb color = rgbOf(op.color);
    switch (op.kind) {
      case DrawKind::Fill: {
        const QRect r = QRect(QPoint(op.rect.left, op.rect.top), QPoint(op.rect.right - 1, op.rect.bottom - 1))
                            .intersected(image.rect());
        for (int y = r.top(); y <= r.bottom(); ++y) {
          QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
          for (int x = r.left(); x <= r.right(); ++x) line[x] = color;
        }
        break;
      }
      case DrawKind::Line:
        forEachLinePixel(op.x1, op.y1, op.x2, op.y2, [&](int x, int y) { setPixel(image, x, y, color); });
        break;
      case DrawKind::DottedLine: {
        bool on = true;
        forEachLinePixel(op.x1, op.y1, op.x2, op.y2, [&](int x, int y) {
          if (on) setPixel(image, x, y, color);
          on = !on;
        });
        break;
      }
      case DrawKind::Text: {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setFont(graphFont(op.font));
        painter.setPen(QColor(color));
        const QRect r(QPoint(op.rect.left, op.rect.top), QPoint(op.rect.right - 1, op.rect.bottom - 1));
        painter.setClipRect(r);  // a text never marks pixels outside its rectangle
        // Narrowed by scaling the painter, aligned in the scaled rectangle.
        const double scale = graphFontWidthScale(op.font);
        painter.translate(r.left(), 0);
        painter.scale(scale, 1.0);
        const QRectF scaled(0, r.top(), r.width() / scale, r.height());
        const Qt::Alignment h = op.align == TextAlign::Left     ? Qt::AlignLeft
                                : op.align == TextAlign::Center ? Qt::AlignHCenter
                                                                : Qt::AlignRight;
        painter.drawText(scaled, int(h | Qt::AlignVCenter | Qt::TextSingleLine), QString::fromStdString(op.text));
        break;
      }
    }
  }
}

QImage renderDrawing(const Drawing& drawing) {
  QImage image(qMax(drawing.width, 0), qMax(drawing.height, 0), QImage::Format_RGB32);
  image.fill(rgbOf(kGraphBackground));
  paintDrawing(image, drawing);
  return image;
}

}  // namespace lmv::gui
