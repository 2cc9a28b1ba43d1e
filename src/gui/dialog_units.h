#pragma once
// The dialog templates are laid out in dialog units. One fixed scale turns
// them into logical pixels, so positions, sizes and the pictures do not
// depend on the fonts a machine has; Qt scales logical pixels on
// high-density screens. The template fonts map to Noto Sans CJK JP, which
// draws Latin and Japanese, at sizes whose line height fits the template's
// label heights.
#include <QFont>
#include <QRect>

namespace lmv::gui {

// Logical pixels per dialog unit, both directions.
inline constexpr int kPixelsPerDialogUnit = 2;

QRect dialogRect(int x, int y, int width, int height);
QSize dialogSize(int width, int height);

// The template font ("MS UI Gothic" 9 points).
QFont dialogFont();
// The large measured value (1004).
QFont valueFont();
// The unit (1012) and the AD value (1003): upright, and the italic
// foot-candle face.
QFont unitFont();
QFont footCandleUnitFont();

// The face every font of the program uses.
inline constexpr const char* kFontFamily = "Noto Sans CJK JP";

}  // namespace lmv::gui
