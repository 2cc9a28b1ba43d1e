#include "memory/memory_record.h"

#include <cmath>

#include "monitor/value_codes.h"

namespace lmv {

MemoryReading decodeMemoryRecord(const MemoryRecordBytes& bytes) {
  MemoryReading reading;
  reading.skipped = bytes[0] != 0;
  reading.rangeIndex = static_cast<int8_t>(bytes[1]) + 1;
  reading.count = static_cast<int16_t>(static_cast<uint16_t>(bytes[2] | (bytes[3] << 8)));
  reading.state = static_cast<uint16_t>(bytes[4] | (bytes[5] << 8));
  return reading;
}

int32_t memoryValueCode(const MemoryReading& reading, bool footCandle) {
  const int32_t count = reading.count;
  int32_t v = 0;
  if (footCandle) {
    // 10 / 10.76 lux per foot-candle, as the meter's own single-precision constant.
    v = static_cast<int32_t>(std::trunc(count * 0.9293681 + 0.5));
    if (reading.rangeIndex == 5) v *= 10;
  } else if (reading.rangeIndex == 5) {
    v = count * 100;
  } else {
    v = count;
    if (reading.rangeIndex == 4) v *= 10;
  }
  if (reading.state == 1 || reading.state == 2) return CodeNoValue;
  if (reading.state == 3) return count < 0 ? CodeOverNegative : CodeOver;
  return v;
}

}  // namespace lmv
