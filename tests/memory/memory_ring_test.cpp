#include "memory/memory_ring.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace lmv {
namespace {

MemoryRingEntry entry(int slot) {
  MemoryRingEntry e;
  e.slotIndex = slot;
  e.record[2] = static_cast<uint8_t>(slot);
  return e;
}

TEST(MemoryRing, CarriesEveryEntryInOrderBetweenThreads) {
  MemoryRing ring;
  std::vector<int> received;
  std::thread writer([&] {
    while (auto e = ring.take()) {
      EXPECT_EQ(e->record[2], e->slotIndex);
      EXPECT_LE(ring.size(), MemoryRing::kCapacity);
      received.push_back(e->slotIndex);
    }
  });
  for (int slot = 0; slot < 99; ++slot) ASSERT_TRUE(ring.put(entry(slot)));
  ring.finishReading();
  writer.join();
  ASSERT_EQ(received.size(), 99u);
  for (int slot = 0; slot < 99; ++slot) EXPECT_EQ(received[slot], slot);
}

TEST(MemoryRing, WhatIsLeftIsStillTakenAfterReadingFinished) {
  MemoryRing ring;
  ASSERT_TRUE(ring.put(entry(3)));
  ASSERT_TRUE(ring.put(entry(7)));
  ring.finishReading();
  EXPECT_EQ(ring.size(), 2u);
  EXPECT_EQ(ring.take()->slotIndex, 3);
  EXPECT_EQ(ring.take()->slotIndex, 7);
  EXPECT_FALSE(ring.take());
}

TEST(MemoryRing, ClosingReleasesAReaderBlockedOnAFullRing) {
  MemoryRing ring;
  for (size_t i = 0; i < MemoryRing::kCapacity; ++i) ASSERT_TRUE(ring.put(entry(static_cast<int>(i))));
  bool accepted = true;
  std::thread reader([&] { accepted = ring.put(entry(10)); });
  ring.close();
  reader.join();
  EXPECT_FALSE(accepted);
  EXPECT_FALSE(ring.take());
}

}  // namespace
}  // namespace lmv
