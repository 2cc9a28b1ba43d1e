#include "monitor/extremes.h"

#include <cmath>
#include <cstdint>

#include "monitor/value_codes.h"

namespace lmv {
namespace {

enum class Direction { Max, Min };

bool better(double a, double b, Direction dir) { return dir == Direction::Max ? a >= b : a <= b; }

// Truncation toward zero of a value divided by 10^decades, in floating point.
double scaledDown(int32_t value, int64_t decades) { return std::trunc(value / std::pow(10.0, decades)); }

bool update(bool& firstSample, ExtremeRecord& record, const ExtremeRecord& sample, bool skipOver, Direction dir) {
  const int32_t a = sample.valueCode;
  if (a == CodeNoValue || a == CodeNotConnected) return false;
  if (skipOver && isOverCode(a)) return false;
  bool store;
  if (firstSample) {
    firstSample = false;
    store = true;
  } else if (sample.rangeIndex == record.rangeIndex) {
    store = better(a, record.valueCode, dir);
  } else if (sample.rangeIndex > record.rangeIndex) {
    store = better(a, scaledDown(record.valueCode, int64_t{sample.rangeIndex} - record.rangeIndex), dir);
  } else {
    store = better(scaledDown(a, int64_t{record.rangeIndex} - sample.rangeIndex), record.valueCode, dir);
  }
  if (store) record = sample;
  return store;
}

}  // namespace

bool updateMax(bool& firstSample, ExtremeRecord& record, const ExtremeRecord& sample, bool skipOver) {
  return update(firstSample, record, sample, skipOver, Direction::Max);
}

bool updateMin(bool& firstSample, ExtremeRecord& record, const ExtremeRecord& sample, bool skipOver) {
  return update(firstSample, record, sample, skipOver, Direction::Min);
}

}  // namespace lmv
