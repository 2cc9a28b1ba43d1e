#pragma once
// Dialog units to pixels for the record pages and their dialogs: the main
// window's scale (src/gui/dialog_units.h), so that the pages fill the main
// window's tab control exactly.
#include <QRect>
#include <QSize>

namespace lmv::gui {

inline constexpr int kRecordPixelsPerDlu = 2;

inline int dluToPixelsX(int dlu) { return dlu * kRecordPixelsPerDlu; }
inline int dluToPixelsY(int dlu) { return dlu * kRecordPixelsPerDlu; }
inline QSize dluSize(int width, int height) { return {dluToPixelsX(width), dluToPixelsY(height)}; }
// A control's rectangle from its template position and size.
inline QRect dluRect(int x, int y, int width, int height) {
  return {dluToPixelsX(x), dluToPixelsY(y), dluToPixelsX(width), dluToPixelsY(height)};
}

}  // namespace lmv::gui
