#include "monitor/range_table.h"

#include "monitor/value_codes.h"

namespace lmv {

const std::array<std::string_view, kRangeCount> meterRangeToken = {"Auto", "20", "200", "2k", "20k", "200k"};
const std::array<std::string_view, kRangeCount> rangeLabelLux = {"Auto", "20", "200", "2000", "20000", "200000"};
const std::array<std::string_view, kRangeCount> rangeLabelFootCandle = {"Auto", "2", "20", "200", "2000", "20000"};

const std::array<int, 2 * kRangeCount> rangeDecimals = {
    0, 2, 1, 0, 0, 0,  // lux
    0, 3, 2, 1, 0, 0,  // foot-candle
};
const std::array<std::string_view, 2 * kRangeCount> rangeFullScale = {
    "", "2000", "2000", "2000", "20000", "200000",  // lux
    "", "1859", "1859", "1859", "1859", "18590",    // foot-candle
};
const std::array<std::string_view, 2 * kRangeCount> rangeUnit = {
    "", "lx", "lx", "lx", "lx", "lx",  // lux
    "", "FC", "FC", "FC", "FC", "FC",  // foot-candle
};

int rangeTableIndex(int32_t rangeIndex, int32_t unitCode) {
  int r = (rangeIndex >= 0 && rangeIndex < kRangeCount) ? rangeIndex : 0;
  return r + (unitCode == UnitFootCandle ? kRangeCount : 0);
}

std::string_view rangeLabel(int32_t rangeIndex, int32_t unitCode) {
  int r = (rangeIndex >= 0 && rangeIndex < kRangeCount) ? rangeIndex : 0;
  return unitCode == UnitFootCandle ? rangeLabelFootCandle[r] : rangeLabelLux[r];
}

int findMeterRangeToken(std::string_view word) {
  for (int i = 0; i < kRangeCount; ++i) {
    if (meterRangeToken[i] == word) return i;
  }
  return -1;
}

}  // namespace lmv
