#pragma once
// The fonts of the record pages. The dialogs are laid out for "MS UI
// Gothic"; here that face is shown with Noto Sans CJK JP, which has the
// Japanese texts. Fonts are never given a stretch: the font matcher would
// pick another (condensed) family for it.
#include <QFont>
#include <QString>

namespace lmv::gui {

// "MS UI Gothic" of the given pixel size.
QFont gothicFont(int pixelSize);

// The pages' dialog font: "MS UI Gothic" 12 pixels.
QFont pageFont();

// The horizontal scale (at most 1) that gives font an average character
// width of averageWidth pixels, measured on the digits.
double widthScale(const QFont& font, int averageWidth);

// font, made smaller when needed so that sample fits into width pixels.
QFont fontFitting(const QFont& font, const QString& sample, int width);

}  // namespace lmv::gui
