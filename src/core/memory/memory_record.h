#pragma once
// One stored reading as the meter sends it for ":MEM:DATA? n" (16 raw bytes)
// and the value code the program makes of it.
#include <array>
#include <cstddef>
#include <cstdint>

namespace lmv {

inline constexpr size_t kMemoryRecordSize = 16;
using MemoryRecordBytes = std::array<uint8_t, kMemoryRecordSize>;

struct MemoryReading {
  bool skipped = false;    // byte 0 not 0: nothing to write
  int32_t rangeIndex = 0;  // the meter's range number + 1
  int16_t count = 0;
  uint16_t state = 0;      // 1, 2 no valid value; 3 over range; else a reading
};

MemoryReading decodeMemoryRecord(const MemoryRecordBytes& bytes);

// The value code of a reading in the unit of the whole download. Foot-candle
// counts are converted from lux; the two top ranges hold counts of a coarser
// step, scaled up here so that the range's decimal places apply.
int32_t memoryValueCode(const MemoryReading& reading, bool footCandle);

}  // namespace lmv
