#pragma once
// What one capture writes: seven cells from the active cell to the right.
#include <cstdint>
#include <vector>

#include "base/ole_date.h"
#include "monitor/measured_value.h"
#include "sheet/sheet_office.h"

namespace lmv {

inline constexpr int kSheetRowCells = 7;

// Row number, date, time, range, value, unit and "OVER" (or empty), with the
// column widths of the date, time and reading columns. A capture time that
// is invalid or has no calendar date prints every date and time field as -1.
std::vector<RowCell> sheetRowCells(int32_t rowNumber, const OleDate& captureTime, const MeasuredValue& value);

// Width in 1/100 mm of a column that holds `chars` digits of the standard
// cell font (10 pt, digit 0.556 em wide) plus the cell's inner padding, the
// way spreadsheets count column widths in characters.
int32_t columnWidthHundredthsMm(double chars);

}  // namespace lmv
