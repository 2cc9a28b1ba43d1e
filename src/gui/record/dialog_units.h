#pragma once
// Dialog units to pixels, one fixed scale for every window of the program:
// 1.5 pixels per horizontal unit and 1.625 pixels per vertical unit (a base
// unit of 6 x 13 pixels, the page font's cell). Windows laid out from the
// dialog templates use these so that pages and the main window fit together.
#include <QRect>
#include <QSize>
#include <cmath>

namespace lmv::gui {

inline constexpr double kPixelsPerDluX = 1.5;
inline constexpr double kPixelsPerDluY = 1.625;

inline int dluToPixelsX(int dlu) { return static_cast<int>(std::lround(dlu * kPixelsPerDluX)); }
inline int dluToPixelsY(int dlu) { return static_cast<int>(std::lround(dlu * kPixelsPerDluY)); }
inline QSize dluSize(int width, int height) { return {dluToPixelsX(width), dluToPixelsY(height)}; }
// A control's rectangle from its template position and size.
inline QRect dluRect(int x, int y, int width, int height) {
  return {dluToPixelsX(x), dluToPixelsY(y), dluToPixelsX(width), dluToPixelsY(height)};
}

}  // namespace lmv::gui
