#pragma once
// Where a sample of the run lands on the plot: its kind (a value, over
// range either way, or no value), its value in the counts of the axis, its
// whole seconds after the run's first sample, and from those its pixel
// column and row. Every way the curve is drawn uses these same functions,
// so that they all agree to the pixel.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "monitor/value_codes.h"
#include "record/record_data.h"

namespace lmv {

enum SampleKind : int8_t { KindGood = 0, KindOverPositive = 1, KindOverNegative = 2, KindNoValue = 3, KindNoSensor = 4 };

inline SampleKind sampleKindOf(int32_t code) {
  switch (code) {
    case CodeOver: return KindOverPositive;
    case CodeOverNegative: return KindOverNegative;
    case CodeNoValue: return KindNoValue;
    case CodeNotConnected: return KindNoSensor;
    default: return KindGood;
  }
}

// Truncation toward zero; values no 64-bit integer holds (never from real
// samples) are clamped so that the conversion stays defined.
inline int64_t truncToInt64(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 9.2e18) return std::numeric_limits<int64_t>::max() / 2;
  if (v <= -9.2e18) return std::numeric_limits<int64_t>::min() / 2;
  return static_cast<int64_t>(v);
}

inline double powerOfTen(int64_t exponent) {
  static constexpr double kTable[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  if (exponent >= 0 && exponent < 10) return kTable[exponent];
  return std::pow(10.0, static_cast<double>(exponent));
}

// Whole seconds of a day count, halves away from zero.
inline int64_t roundedSeconds(double days) {
  days += days >= 0 ? 0.5 / 86400.0 : -0.5 / 86400.0;
  return truncToInt64(days * 86400.0);
}

// Far beyond any run; keeps the pixel arithmetic of damaged times in range.
inline constexpr int64_t kCurveSecondsLimit = int64_t{1} << 40;

// Whole seconds of a sample after the run's first one, as the curve uses them.
inline int64_t curveSeconds(double time, double firstTime) {
  return std::clamp<int64_t>(roundedSeconds(time - firstTime), -kCurveSecondsLimit, kCurveSecondsLimit);
}

struct CurveMapping {
  int xL = 0, xR = 0, yT = 0, yB = 0;  // plot area
  int width = 0, height = 0;
  int64_t top = 0;           // axisTop
  int64_t spanValues = 0;    // axisTop - axisBottom
  int64_t spanSeconds = 1;   // the time span, at least 1
  int32_t axisDecades = 0;   // min(axisScale, 3)
  double firstTime = 0.0;    // day count of the run's first sample
  bool operator==(const CurveMapping&) const = default;

  int yTop() const { return yT + 1; }
  int yBottom() const { return yB - 2; }

  // Decimal places a sample's range has, as far as the axis counts them.
  static int32_t decadesOf(int32_t range) { return std::min(range, 3); }

  // A value in the counts of the axis: smaller ranges are scaled down.
  int64_t scaled(int32_t value, int32_t range) const {
    const int32_t decades = decadesOf(range);
    if (decades < axisDecades) return truncToInt64(value / powerOfTen(int64_t{axisDecades} - decades));
    return value;
  }
  int row(int64_t scaledValue) const {
    const int64_t d = top - scaledValue;
    if (d <= 0) return yTop();
    if (d > spanValues) return yBottom();
    const int64_t y = yT + d * height / spanValues;
    return y > yBottom() ? yBottom() : static_cast<int>(y);
  }
  int64_t seconds(double time) const { return curveSeconds(time, firstTime); }
  // The column before the clamps to the plot area.
  int64_t rawColumn(int64_t seconds) const { return xL + seconds * width / spanSeconds; }
  int clampColumn(int64_t raw) const {
    if (raw < xL) return xL + 1;
    if (raw > xR - 2) return xR - 2;
    return static_cast<int>(raw);
  }
  // 0 left of the plot, 2 right of it, 1 inside: one value per region on
  // the sides, the raw column inside.
  int columnRegion(int64_t raw) const { return raw < xL ? 0 : raw > xR - 2 ? 2 : 1; }
  int column(int64_t seconds) const { return clampColumn(rawColumn(seconds)); }
};

}  // namespace lmv
