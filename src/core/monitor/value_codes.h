#pragma once
#include <cstdint>

namespace lmv {

// Reserved value codes; any other value code is the reading's count, whose
// decimal places follow from range and unit.
inline constexpr int32_t CodeOver = 1000000;
inline constexpr int32_t CodeOverNegative = -1000000;
inline constexpr int32_t CodeNoValue = 2000000;
inline constexpr int32_t CodeNotConnected = 3000000;

inline constexpr bool isOverCode(int32_t code) {
  return code == CodeOver || code == CodeOverNegative;
}

// Unit codes: 1 is foot-candle, anything else lux.
inline constexpr int32_t UnitFootCandle = 1;
inline constexpr int32_t UnitLux = 0;

}  // namespace lmv
