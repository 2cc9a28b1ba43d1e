#pragma once
#include <cstdint>
#include <string>

#include "base/ole_date.h"

namespace lmv {

// One reading as it is shown: six texts and two flags. It always travels
// with its integers (function index, value code, range index, unit code).
struct MeasuredValue {
  std::string timeText;      // filled by the recording with the sample's time
  std::string auxText;       // always empty
  std::string valueText;     // formatted value as displayed
  std::string unitText;      // "lx", "FC" or empty
  std::string functionText;  // "LUX"
  std::string rangeText;     // range label in the current unit
  int32_t reservedFlag = 0;  // always 0
  int32_t overMark = 0;      // 1 for an over-range code with a sensor connected
};

// A stored maximum or minimum.
struct ExtremeRecord {
  OleDate time;
  int32_t functionIndex = 0;
  int32_t valueCode = 0;
  int32_t rangeIndex = 0;
};

}  // namespace lmv
