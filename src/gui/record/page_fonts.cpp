#include "record/page_fonts.h"

#include <QFontMetricsF>
#include <algorithm>

namespace lmv::gui {
namespace {

constexpr int kPageFontPixels = 12;
constexpr int kSmallestPixels = 8;

void substituteOnce() {
  static const bool done = [] {
    QFont::insertSubstitution(QStringLiteral("MS UI Gothic"), QStringLiteral("Noto Sans CJK JP"));
    return true;
  }();
  (void)done;
}

}  // namespace

QFont gothicFont(int pixelSize) {
  substituteOnce();
  QFont font(QStringLiteral("MS UI Gothic"));
  font.setPixelSize(pixelSize);
  font.setWeight(QFont::Normal);
  font.setStyleStrategy(QFont::NoSubpixelAntialias);
  return font;
}

QFont pageFont() { return gothicFont(kPageFontPixels); }

double widthScale(const QFont& font, int averageWidth) {
  const double natural = QFontMetricsF(font).horizontalAdvance(QStringLiteral("0123456789")) / 10.0;
  if (natural <= 0 || averageWidth <= 0) return 1.0;
  return std::min(1.0, averageWidth / natural);
}

QFont fontFitting(const QFont& font, const QString& sample, int width) {
  QFont fitted = font;
  while (fitted.pixelSize() > kSmallestPixels && QFontMetricsF(fitted).horizontalAdvance(sample) > width) {
    fitted.setPixelSize(fitted.pixelSize() - 1);
  }
  return fitted;
}

}  // namespace lmv::gui
