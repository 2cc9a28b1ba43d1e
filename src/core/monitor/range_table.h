#pragma once
// The meter's six ranges (index 0 is "Auto" or no range known) and what each
// shows in lux and in foot-candles.
#include <array>
#include <cstdint>
#include <string_view>

namespace lmv {

inline constexpr int kRangeCount = 6;

extern const std::array<std::string_view, kRangeCount> meterRangeToken;
extern const std::array<std::string_view, kRangeCount> rangeLabelLux;
extern const std::array<std::string_view, kRangeCount> rangeLabelFootCandle;
// The following three are indexed by rangeTableIndex(): 0..5 lux, 6..11 FC.
extern const std::array<int, 2 * kRangeCount> rangeDecimals;
extern const std::array<std::string_view, 2 * kRangeCount> rangeFullScale;
extern const std::array<std::string_view, 2 * kRangeCount> rangeUnit;

inline constexpr std::string_view kFunctionText = "LUX";

// Index into the unit-dependent tables. A range index outside 0..5 (a damaged
// file, say) is read as 0 so that no lookup leaves the tables.
int rangeTableIndex(int32_t rangeIndex, int32_t unitCode);

// The range label of a range index in the given unit ("Auto" for 0).
std::string_view rangeLabel(int32_t rangeIndex, int32_t unitCode);

// Index of the meter's range word, or -1 when the word is not one of them.
int findMeterRangeToken(std::string_view word);

}  // namespace lmv
