#include "dialog_units.h"

namespace lmv::gui {
namespace {

// The template's pixel sizes were made for 1.5 pixels per dialog unit and a
// face with a line height of 1.0 em; Noto's line is about 1.45 em, so the
// sizes are scaled to fit the same boxes.
constexpr int kDialogFontPixels = 11;
constexpr int kValueFontPixels = 56;
constexpr int kUnitFontPixels = 24;
constexpr int kFootCandleFontPixels = 20;

QFont face(int pixels, bool italic = false) {
  QFont f(QString::fromLatin1(kFontFamily));
  f.setPixelSize(pixels);
  f.setItalic(italic);
  f.setWeight(QFont::Normal);
  f.setStyleHint(QFont::SansSerif);
  return f;
}

}  // namespace

QRect dialogRect(int x, int y, int width, int height) {
  return {x * kPixelsPerDialogUnit, y * kPixelsPerDialogUnit, width * kPixelsPerDialogUnit,
          height * kPixelsPerDialogUnit};
}

QSize dialogSize(int width, int height) { return {width * kPixelsPerDialogUnit, height * kPixelsPerDialogUnit}; }

QFont dialogFont() { return face(kDialogFontPixels); }
QFont valueFont() { return face(kValueFontPixels); }
QFont unitFont() { return face(kUnitFontPixels); }
QFont footCandleUnitFont() { return face(kFootCandleFontPixels, true); }

}  // namespace lmv::gui
