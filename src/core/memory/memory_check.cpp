#include "memory/memory_check.h"

#include <algorithm>

namespace lmv {

MemoryOccupancy decodeMemoryCheck(std::span<const uint8_t> received) {
  MemoryOccupancy occupancy;
  const size_t count = std::min(received.size(), static_cast<size_t>(kMemoryCheckReplyBytes));
  for (size_t byteIndex = 0; byteIndex < count; ++byteIndex) {
    const uint8_t bits = static_cast<uint8_t>(~received[byteIndex]);
    for (size_t bit = 0; bit < 8; ++bit) {
      const size_t slot = byteIndex * 8 + bit;
      // The 13th byte carries only slots 97..99 in its three low bits.
      if (slot >= static_cast<size_t>(kMemorySlotCount)) break;
      if (bits & (1u << bit)) occupancy.occupied.set(slot);
    }
  }
  return occupancy;
}

}  // namespace lmv
