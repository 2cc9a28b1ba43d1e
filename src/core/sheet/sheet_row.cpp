#include "sheet/sheet_row.h"

#include <cmath>
#include <string>

#include "record/time_text.h"

namespace lmv {
namespace {

constexpr double kDigitWidthPt = 10.0 * 1139.0 / 2048.0;
constexpr double kPaddingPt = 3.75;  // 5 pixels at 96 dpi
constexpr double kHundredthsMmPerPt = 2540.0 / 72.0;

}  // namespace

std::vector<RowCell> sheetRowCells(int32_t rowNumber, const OleDate& captureTime, const MeasuredValue& value) {
  // The absolute time text is the date and the time of day joined by ",".
  const std::string stamp = absoluteTimeText(captureTime);
  const auto comma = stamp.find(',');
  return {
      {std::to_string(rowNumber), 0},
      {stamp.substr(0, comma), 10},
      {stamp.substr(comma + 1), 8.38},
      {value.rangeText, 8},
      {value.valueText, 8},
      {value.unitText, 8},
      {value.overMark != 0 ? "OVER" : "", 8},
  };
}

int32_t columnWidthHundredthsMm(double chars) {
  if (!(chars > 0)) return 0;
  if (chars > 255) chars = 255;  // the widest column a spreadsheet allows
  return static_cast<int32_t>(std::lround((chars * kDigitWidthPt + kPaddingPt) * kHundredthsMmPerPt));
}

}  // namespace lmv
