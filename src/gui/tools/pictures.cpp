// Draws the status indicator pictures and the connection diagrams as 24-bit
// BMP files. White is the strip's transparent colour, so the indicators are
// drawn on white.
#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace {

constexpr int kStripHeight = 32;
constexpr int kDiagramWidth = 400;
constexpr int kDiagramHeight = 228;

const QColor kGrey(0xA8, 0xA8, 0xA8);
const QColor kDark(0x30, 0x30, 0x30);
const QColor kRed(0xD0, 0x20, 0x20);
const QColor kGreen(0x1E, 0x9E, 0x3C);
const QColor kAmber(0xE0, 0x8A, 0x00);
const QColor kBlue(0x20, 0x5C, 0xC0);

QFont labelFont(int pixels, bool bold = true) {
  QFont f(QStringLiteral("Noto Sans CJK JP"));
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

bool save(const QImage& image, const QDir& dir, const char* name) {
  const QString path = dir.filePath(QString::fromLatin1(name) + QStringLiteral(".bmp"));
  // RGB888 keeps the file at 24 bits per pixel with no alpha.
  if (!image.convertToFormat(QImage::Format_RGB888).save(path, "BMP")) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}

QImage canvas(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

// A text badge: filled when lit, outlined when not.
QImage badge(int width, const QString& text, const QColor& lit, bool on) {
  QImage image = canvas(width, kStripHeight);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(1.5, 3.5, width - 3, kStripHeight - 7);
  p.setPen(QPen(on ? lit.darker(130) : kGrey, 2));
  p.setBrush(on ? lit : QColor(0xF4, 0xF4, 0xF4));
  p.drawRoundedRect(r, 6, 6);
  p.setFont(labelFont(15));
  p.setPen(on ? QColor(Qt::white) : kGrey);
  p.drawText(r, Qt::AlignCenter, text);
  return image;
}

QImage buzzer(bool on) {
  QImage image = canvas(36, kStripHeight);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor c = on ? kBlue : kGrey;
  QPainterPath speaker;
  speaker.moveTo(4, 12);
  speaker.lineTo(10, 12);
  speaker.lineTo(17, 5);
  speaker.lineTo(17, 27);
  speaker.lineTo(10, 20);
  speaker.lineTo(4, 20);
  speaker.closeSubpath();
  p.setPen(QPen(c.darker(120), 1.5));
  p.setBrush(c);
  p.drawPath(speaker);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(c, 2.2, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < (on ? 3 : 1); ++i) {
    const int r = 5 + 5 * i;
    p.drawArc(QRectF(17 - r, 16 - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
  }
  return image;
}

QImage battery() {
  QImage image = canvas(40, kStripHeight);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(kGrey, 2));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(3, 8, 30, 16), 3, 3);
  p.setBrush(kGrey);
  p.drawRect(QRectF(33, 12.5, 3.5, 7));
  for (int i = 0; i < 3; ++i) p.drawRect(QRectF(6.5 + 8.7 * i, 11, 6.2, 10));
  return image;
}

// The connection diagram: the PC on the left, the meter on the right, the
// USB cable between them.
enum class Cable { Plugged, PluggedIdle, Unplugged };

void drawPc(QPainter& p) {
  p.setPen(QPen(kDark, 2));
  p.setBrush(QColor(0xE8, 0xEE, 0xF6));
  p.drawRoundedRect(QRectF(16, 40, 124, 88), 6, 6);
  p.setBrush(QColor(0x2A, 0x3A, 0x55));
  p.drawRect(QRectF(26, 50, 104, 68));
  p.setBrush(kGrey);
  p.drawRect(QRectF(66, 128, 24, 16));
  p.drawRoundedRect(QRectF(40, 144, 76, 10), 3, 3);
  p.setPen(QColor(0xC8, 0xE0, 0xFF));
  p.setFont(labelFont(13));
  p.drawText(QRectF(26, 50, 104, 68), Qt::AlignCenter, QStringLiteral("PC"));
}

void drawMeter(QPainter& p, bool lit, bool withValue) {
  p.setPen(QPen(kDark, 2));
  p.setBrush(lit ? QColor(0xFF, 0xF3, 0xC8) : QColor(0xF0, 0xF0, 0xF0));
  p.drawRoundedRect(QRectF(280, 30, 96, 168), 14, 14);
  p.setBrush(withValue ? QColor(0xC8, 0xE8, 0xC0) : QColor(0xD8, 0xD8, 0xD0));
  p.drawRect(QRectF(292, 46, 72, 40));
  if (withValue) {
    p.setPen(kDark);
    p.setFont(labelFont(20));
    p.drawText(QRectF(292, 46, 72, 40), Qt::AlignCenter, QStringLiteral("500"));
  }
  p.setPen(QPen(kDark, 1.5));
  p.setBrush(QColor(0xB0, 0xB0, 0xB8));
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 3; ++col) p.drawEllipse(QRectF(296 + col * 22, 100 + row * 22, 16, 16));
  // Sensor head on top.
  p.setBrush(QColor(0xF8, 0xF8, 0xF8));
  p.drawEllipse(QRectF(308, 4, 40, 28));
  p.setPen(kDark);
  p.setFont(labelFont(12));
  p.drawText(QRectF(280, 160, 96, 30), Qt::AlignCenter, QStringLiteral("LX5810"));
}

void drawCable(QPainter& p, Cable cable, bool flash) {
  QPainterPath left;
  left.moveTo(140, 84);
  left.cubicTo(190, 84, 180, 184, 230, 184);
  QPainterPath right;
  right.moveTo(250, 184);
  right.cubicTo(266, 184, 262, 168, 280, 168);
  const QColor colour = cable == Cable::Plugged ? kGreen : cable == Cable::PluggedIdle ? kAmber : kGrey;
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(colour, 5, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(left);
  if (cable == Cable::Unplugged) {
    // The plug hangs free, away from the meter.
    p.setPen(QPen(kDark, 2));
    p.setBrush(flash ? kRed : kGrey);
    p.drawRect(QRectF(226, 176, 16, 16));
    p.setPen(QPen(flash ? kRed : kGrey, 3, Qt::DashLine));
    p.drawLine(QPointF(246, 184), QPointF(272, 172));
    return;
  }
  p.drawPath(right);
  p.setPen(QPen(kDark, 2));
  p.setBrush(colour);
  p.drawRect(QRectF(230, 176, 20, 16));
  if (cable == Cable::Plugged) {
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (int i = 0; i < 3; ++i) p.drawEllipse(QPointF(160 + 20 * i, 88 + 30 * i), 3, 3);
  } else if (flash) {
    p.setPen(QPen(kAmber, 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(270, 20, 116, 188));
  }
}

QImage diagram(Cable cable, bool flash, bool meterLit) {
  QImage image = canvas(kDiagramWidth, kDiagramHeight);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  drawPc(p);
  drawMeter(p, meterLit, cable == Cable::Plugged);
  drawCable(p, cable, flash);
  return image;
}

}  // namespace

bool drawPictures(const QString& directory) {
  QDir dir(directory);
  if (!dir.mkpath(QStringLiteral("."))) return false;
  struct Item {
    const char* name;
    std::function<QImage()> draw;
  };
  const Item items[] = {
      {"st_over_on", [] { return badge(100, QStringLiteral("OVER"), kRed, true); }},
      {"st_over_off", [] { return badge(100, QStringLiteral("OVER"), kRed, false); }},
      {"st_output_on", [] { return badge(110, QStringLiteral("OUTPUT"), kGreen, true); }},
      {"st_output_off", [] { return badge(110, QStringLiteral("OUTPUT"), kGreen, false); }},
      {"st_buzz_on", [] { return buzzer(true); }},
      {"st_buzz_off", [] { return buzzer(false); }},
      {"st_aps_off", [] { return badge(40, QStringLiteral("APS"), kBlue, false); }},
      {"st_batt3_off", [] { return battery(); }},
      {"white", [] { return canvas(kDiagramWidth, kDiagramHeight); }},
      {"LX5810", [] { return diagram(Cable::Plugged, false, true); }},
      {"uu_a_LX5810", [] { return diagram(Cable::PluggedIdle, true, false); }},
      {"uu_b_LX5810", [] { return diagram(Cable::PluggedIdle, false, false); }},
      {"cf_a", [] { return diagram(Cable::Unplugged, true, false); }},
      {"cf_b", [] { return diagram(Cable::Unplugged, false, false); }},
  };
  for (const Item& item : items)
    if (!save(item.draw(), dir, item.name)) return false;
  return true;
}
