// Decoding what the meter sends for ":MEM:CHECK?" and ":MEM:DATA? n", and
// the value codes made of it.
#include <gtest/gtest.h>

#include <vector>

#include "memory/memory_check.h"
#include "memory/memory_record.h"
#include "monitor/value_codes.h"

namespace lmv {
namespace {

std::vector<uint8_t> allFree() { return std::vector<uint8_t>(kMemoryCheckReplyBytes, 0xFF); }

TEST(MemoryCheck, AllBitsSetMeansNothingStored) {
  EXPECT_EQ(decodeMemoryCheck(allFree()).total(), 0);
}

TEST(MemoryCheck, ClearedBitsMarkOccupiedSlotsLowBitFirst) {
  auto reply = allFree();
  reply[0] = static_cast<uint8_t>(~((1u << 2) | (1u << 6)));  // slots 3 and 7
  const MemoryOccupancy occupancy = decodeMemoryCheck(reply);
  EXPECT_EQ(occupancy.total(), 2);
  EXPECT_TRUE(occupancy.holds(3));
  EXPECT_TRUE(occupancy.holds(7));
  EXPECT_FALSE(occupancy.holds(1));
  EXPECT_FALSE(occupancy.holds(0));
  EXPECT_FALSE(occupancy.holds(100));
}

TEST(MemoryCheck, LastByteCarriesOnlySlots97To99) {
  auto reply = allFree();
  reply[12] = 0x00;
  const MemoryOccupancy occupancy = decodeMemoryCheck(reply);
  EXPECT_EQ(occupancy.total(), 3);
  EXPECT_TRUE(occupancy.holds(97));
  EXPECT_TRUE(occupancy.holds(99));
  std::vector<uint8_t> full(kMemoryCheckReplyBytes, 0x00);
  EXPECT_EQ(decodeMemoryCheck(full).total(), 99);
}

TEST(MemoryCheck, ShortReplyCountsWhatArrivedAndExtraBytesAreIgnored) {
  std::vector<uint8_t> partial(5, 0x00);
  EXPECT_EQ(decodeMemoryCheck(partial).total(), 40);
  EXPECT_EQ(decodeMemoryCheck({}).total(), 0);
  std::vector<uint8_t> longer(20, 0x00);
  EXPECT_EQ(decodeMemoryCheck(longer).total(), 99);
}

MemoryRecordBytes record(uint8_t flag, int8_t rangeNumber, int16_t count, uint16_t state) {
  MemoryRecordBytes bytes{};
  bytes[0] = flag;
  bytes[1] = static_cast<uint8_t>(rangeNumber);
  bytes[2] = static_cast<uint8_t>(static_cast<uint16_t>(count) & 0xFF);
  bytes[3] = static_cast<uint8_t>(static_cast<uint16_t>(count) >> 8);
  bytes[4] = static_cast<uint8_t>(state & 0xFF);
  bytes[5] = static_cast<uint8_t>(state >> 8);
  for (size_t i = 6; i < bytes.size(); ++i) bytes[i] = 0xA5;  // unused bytes
  return bytes;
}

TEST(MemoryRecord, DecodesFlagRangeCountAndState) {
  const MemoryReading r = decodeMemoryRecord(record(0, 1, -1234, 0x0103));
  EXPECT_FALSE(r.skipped);
  EXPECT_EQ(r.rangeIndex, 2);
  EXPECT_EQ(r.count, -1234);
  EXPECT_EQ(r.state, 0x0103);
  EXPECT_TRUE(decodeMemoryRecord(record(7, 1, 0, 0)).skipped);
  EXPECT_EQ(decodeMemoryRecord(record(0, -1, 0, 0)).rangeIndex, 0);
}

struct ValueCase {
  const char* name;
  bool footCandle;
  int32_t rangeIndex;
  int16_t count;
  uint16_t state;
  int32_t expected;
};

class MemoryValueCode : public ::testing::TestWithParam<ValueCase> {};

TEST_P(MemoryValueCode, FollowsUnitRangeAndState) {
  const ValueCase& c = GetParam();
  MemoryReading reading;
  reading.rangeIndex = c.rangeIndex;
  reading.count = c.count;
  reading.state = c.state;
  EXPECT_EQ(memoryValueCode(reading, c.footCandle), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemoryValueCode,
    ::testing::Values(ValueCase{"LuxRange2", false, 2, 123, 0, 123},
                      ValueCase{"LuxRange4TimesTen", false, 4, 1234, 0, 12340},
                      ValueCase{"LuxRange5TimesHundred", false, 5, 123, 0, 12300},
                      ValueCase{"FootCandleRange2", true, 2, 1000, 0, 929},
                      ValueCase{"FootCandleNegativeTruncatesTowardZero", true, 2, -1000, 0, -928},
                      ValueCase{"FootCandleRange5TimesTen", true, 5, 1000, 0, 9290},
                      ValueCase{"FootCandleRange4NotScaled", true, 4, 1000, 0, 929},
                      ValueCase{"StateOneNoValue", false, 2, 55, 1, CodeNoValue},
                      ValueCase{"StateTwoNoValue", true, 3, 55, 2, CodeNoValue},
                      ValueCase{"StateThreeOver", false, 2, 1999, 3, CodeOver},
                      ValueCase{"StateThreeNegativeCount", false, 2, -1999, 3, CodeOverNegative},
                      ValueCase{"OtherStatesAreReadings", false, 1, 42, 4, 42}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lmv
