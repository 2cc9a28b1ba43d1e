// The meter's memory replies: the ":MEM:CHECK?" bitmap (its first 13
// bytes) and the ":MEM:DATA? n" records (16 bytes each) after it.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "memory/memory_check.h"
#include "memory/memory_record.h"
#include "monitor/format_value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const size_t bitmapBytes = std::min(size, static_cast<size_t>(lmv::kMemoryCheckReplyBytes));
  const lmv::MemoryOccupancy occupancy = lmv::decodeMemoryCheck(std::span<const uint8_t>(data, bitmapBytes));
  if (occupancy.total() < 0 || occupancy.total() > lmv::kMemorySlotCount) std::abort();
  if (occupancy.holds(0) || occupancy.holds(lmv::kMemorySlotCount + 1)) std::abort();

  for (size_t at = bitmapBytes; at + lmv::kMemoryRecordSize <= size; at += lmv::kMemoryRecordSize) {
    lmv::MemoryRecordBytes bytes;
    std::memcpy(bytes.data(), data + at, bytes.size());
    const lmv::MemoryReading reading = lmv::decodeMemoryRecord(bytes);
    for (const bool footCandle : {false, true}) {
      const int32_t code = lmv::memoryValueCode(reading, footCandle);
      (void)lmv::formatStoredValue(code, std::clamp(reading.rangeIndex, 0, 5), footCandle ? 1 : 0);
    }
  }
  return 0;
}
