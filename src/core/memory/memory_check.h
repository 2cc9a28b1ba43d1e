#pragma once
// The meter's answer to ":MEM:CHECK?": 13 bytes whose inverted bits tell
// which of the 99 memory slots hold a reading.
#include <bitset>
#include <cstdint>
#include <span>

namespace lmv {

inline constexpr int kMemorySlotCount = 99;
inline constexpr int kMemoryCheckReplyBytes = 13;

struct MemoryOccupancy {
  // Bit k set: slot k + 1 holds a reading.
  std::bitset<kMemorySlotCount> occupied;
  int total() const { return static_cast<int>(occupied.count()); }
  bool holds(int slotNumber) const {
    return slotNumber >= 1 && slotNumber <= kMemorySlotCount && occupied.test(static_cast<size_t>(slotNumber - 1));
  }
};

// Decodes the bytes that arrived, in order (fewer than 13 when the reply
// broke off; more are ignored). The meter sends a cleared bit for an
// occupied slot, least significant bit first.
MemoryOccupancy decodeMemoryCheck(std::span<const uint8_t> received);

}  // namespace lmv
