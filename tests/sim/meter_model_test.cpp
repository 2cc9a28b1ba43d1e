// The simulated meter's replies, command by command.
#include <gtest/gtest.h>

#include <string>

#include "meter_model.h"
#include "meter_replies.h"

namespace lmv::sim {
namespace {

using namespace std::chrono_literals;

std::string lineOf(std::string_view text) { return std::string(text) + "\r\n"; }

TEST(Reading, PicksTheRangeCountAndOverRange) {
  struct Case {
    double lux;
    bool footCandle;
    int range;
    Reading expected;
  };
  const Case cases[] = {
      {0.05, false, 0, {1, 5, false}},
      {12.34, false, 0, {1, 1234, false}},
      {19.99, false, 0, {1, 1999, false}},
      {20.0, false, 0, {2, 200, false}},
      {199.9, false, 0, {2, 1999, false}},
      {1234, false, 0, {3, 1234, false}},
      {15000, false, 0, {4, 15000, false}},
      {150000, false, 0, {5, 150000, false}},
      {250000, false, 0, {5, kOverCount, true}},
      {-0.05, false, 0, {1, -5, false}},
      {500, false, 1, {1, kOverCount, true}},
      {-30, false, 1, {1, -kOverCount, true}},
      {5, false, 3, {3, 5, false}},
      {10.76, true, 0, {1, 1000, false}},
      {1076, true, 0, {3, 1000, false}},
      {15000, true, 0, {4, 1394, false}},
      {150000, true, 0, {5, 13941, false}},
      {25, true, 1, {1, kOverCount, true}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(readingFor(c.lux, c.footCandle, c.range), c.expected)
        << c.lux << (c.footCandle ? " fc" : " lx") << " range " << c.range;
  }
}

TEST(MemoryRecord, KeepsLuxCountsThatFitSixteenBits) {
  struct Case {
    double lux;
    int range;
    bool sensor;
    MemoryRecord expected;
  };
  const Case cases[] = {
      {1234, 0, true, {0, 2, 1234, 0}},
      {12.34, 0, true, {0, 0, 1234, 0}},
      {12345, 0, true, {0, 3, 1235, 0}},
      {123456, 0, true, {0, 4, 1235, 0}},
      {250000, 0, true, {0, 4, 1999, 3}},
      {-30, 1, true, {0, 0, -1999, 3}},
      {500, 0, false, {0, 2, 0, 1}},
  };
  for (const auto& c : cases) EXPECT_EQ(memoryRecordFor(c.lux, c.range, c.sensor), c.expected) << c.lux;

  MemoryRecord negative{0, 1, -5, 3};
  const std::array<uint8_t, 16> bytes = {0x00, 0x01, 0xFB, 0xFF, 0x03, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(negative.bytes(), bytes);
}

class MeterModelTest : public ::testing::Test {
 protected:
  MeterModelTest() { meter.config().source = IlluminanceSource::constant(1234); }
  std::string reply(std::string_view command) { return meter.handle(command, 0).bytes; }
  MeterModel meter;
};

TEST_F(MeterModelTest, AnswersEveryCommandOfTheProgram) {
  using namespace replies;
  const std::pair<std::string_view, std::string> cases[] = {
      {kQueryModel, lineOf(kModelLx5810)},
      {kIdentify, lineOf(kExampleIdentification)},
      {kInit, lineOf(kAcknowledge)},
      {kLocalLockout, lineOf(kAcknowledge)},
      {kGoToLocal, lineOf(kAcknowledge)},
      {kStatus, lineOf(kExampleStatusLuxAuto)},
      {kMeasure, lineOf(kExampleMeasurement)},
      {kRangeQuery, lineOf("2k")},
      {":SYST:RANGE 5k", lineOf(kCommandError)},
      {":MEM:DATA? 0", lineOf(kCommandError)},
      {":MEM:DATA? 100", lineOf(kCommandError)},
      {":MEM:DATA? x", lineOf(kCommandError)},
      {"qpid", lineOf(kCommandError)},
      {"HELLO", lineOf(kCommandError)},
  };
  for (const auto& [command, expected] : cases) EXPECT_EQ(reply(command), expected) << command;
}

TEST_F(MeterModelTest, IdentificationCarriesModelSerialAndFirmware) {
  meter.config().model = "LX5811";
  meter.config().serialNumber = "A7";
  meter.config().firmwareVersion = "0.24";
  EXPECT_EQ(reply("QPID"), "LX5811\r\n");
  std::string idn = reply("*IDN?");
  ASSERT_TRUE(idn.ends_with("\r\n"));
  idn.resize(idn.size() - 2);
  EXPECT_EQ(idn, "TAVEK,LX5811,A7,Ver 0.24");
  // As the identification reads it: the third field, and the fourth after
  // its 4-character prefix.
  size_t third = idn.find(',', idn.find(',') + 1) + 1;
  size_t fourth = idn.find(',', third) + 1;
  EXPECT_EQ(idn.substr(third, fourth - 1 - third), "A7");
  EXPECT_EQ(idn.substr(fourth + 4), "0.24");
}

TEST_F(MeterModelTest, StatusCharactersFollowTheSettings) {
  struct Case {
    void (*set)(MeterConfig&);
    const char* expected;
  };
  const Case cases[] = {
      {[](MeterConfig&) {}, "000010010000"},
      {[](MeterConfig& c) { c.range = 2; }, "000000010000"},
      {[](MeterConfig& c) { c.buzzer = true; }, "010010010000"},
      {[](MeterConfig& c) { c.sensorConnected = false; }, "000010000000"},
      {[](MeterConfig& c) { c.output = true; }, "000010011000"},
      {[](MeterConfig& c) { c.footCandle = true; c.range = 1; }, "000000010100"},
  };
  for (const auto& c : cases) {
    MeterModel m;
    c.set(m.config());
    EXPECT_EQ(m.handle(":STAT?", 0).bytes, lineOf(c.expected));
  }
}

TEST_F(MeterModelTest, RangeCommandsSwitchBetweenFixedAndAuto) {
  EXPECT_EQ(reply(":SYST:RANGE 20"), "OK\r\n");
  EXPECT_EQ(reply(":SYST:RANGE?"), "20\r\n");
  EXPECT_EQ(reply(":STAT?"), lineOf(replies::kExampleStatusLuxFixed));
  EXPECT_EQ(reply(":MEASCNTDISP?"), lineOf(replies::kExampleOverRange));
  EXPECT_EQ(reply(":SYST:RANGE 200k"), "OK\r\n");
  EXPECT_EQ(reply(":MEASCNTDISP?"), "1234,1234,4\r\n");
  EXPECT_EQ(reply(":SYST:RANGE Auto"), "OK\r\n");
  EXPECT_EQ(reply(":SYST:RANGE?"), "2k\r\n");
}

TEST_F(MeterModelTest, AutoRangeReportsTheRangeOfTheLastMeasurement) {
  meter.config().source = IlluminanceSource::steps({1234, 12.34}, 0);
  EXPECT_EQ(reply(":MEASCNTDISP?"), "1234,1234,2\r\n");
  EXPECT_EQ(reply(":SYST:RANGE?"), "2k\r\n");
  EXPECT_EQ(reply(":MEASCNTDISP?"), "1234,1234,0\r\n");
  EXPECT_EQ(reply(":SYST:RANGE?"), "20\r\n");
}

TEST_F(MeterModelTest, FootCandlesAndAMissingSensor) {
  meter.config().footCandle = true;
  EXPECT_EQ(reply(":MEASCNTDISP?"), "1147,1147,2\r\n");  // 114.7 FC in range "2k"
  meter.config().sensorConnected = false;
  EXPECT_EQ(reply(":MEASCNTDISP?"), "0,0,2\r\n");
}

TEST_F(MeterModelTest, ZeroAdjustmentNeedsTheCap) {
  meter.config().source = IlluminanceSource::constant(0);
  meter.config().darkOffsetLux = 0.3;
  meter.config().zeroAdjustTime = 1500ms;
  EXPECT_EQ(reply(":MEASCNTDISP?"), "30,30,0\r\n");

  meter.config().capOn = false;
  Reply refused = meter.handle(":0ADJUST", 0);
  EXPECT_EQ(refused.bytes, lineOf(replies::kZeroAdjustRefused));
  EXPECT_EQ(reply(":MEASCNTDISP?"), "30,30,0\r\n");

  meter.config().capOn = true;
  Reply done = meter.handle(":0ADJUST", 0);
  EXPECT_EQ(done.bytes, "OK\r\n");
  EXPECT_EQ(done.delay, 1500ms);
  EXPECT_EQ(reply(":MEASCNTDISP?"), "0,0,0\r\n");

  meter.config().sensorConnected = false;
  EXPECT_EQ(reply(":0ADJUST"), lineOf(replies::kZeroAdjustRefused));
}

// The occupancy as the memory download decodes it: invert, keep 3 bits of
// the 13th byte, bit k = slot k + 1.
std::vector<int> decodeOccupancy(const std::string& raw) {
  std::vector<int> slots;
  for (size_t k = 0; k < 13 * 8; ++k) {
    auto byte = static_cast<uint8_t>(~static_cast<uint8_t>(raw[k / 8]));
    if (k / 8 == 12) byte &= 0x07;
    if (byte & (1u << (k % 8))) slots.push_back(static_cast<int>(k) + 1);
  }
  return slots;
}

TEST_F(MeterModelTest, MemoryCheckIsTheInvertedOccupancy) {
  Reply empty = meter.handle(":MEM:CHECK?", 0);
  EXPECT_TRUE(empty.raw);
  EXPECT_EQ(empty.bytes, std::string(13, '\xFF'));

  meter.fillMemory({3, 7, 99});
  std::string raw = reply(":MEM:CHECK?");
  ASSERT_EQ(raw.size(), 13u);
  EXPECT_EQ(static_cast<uint8_t>(raw[0]), 0xBB);
  EXPECT_EQ(static_cast<uint8_t>(raw[12]), 0xFB);
  EXPECT_EQ(decodeOccupancy(raw), (std::vector<int>{3, 7, 99}));

  meter.clearMemory();
  for (int slot = 1; slot <= 99; ++slot) ASSERT_EQ(meter.storeReading(0), slot);
  EXPECT_EQ(meter.storeReading(0), 0);
  EXPECT_EQ(decodeOccupancy(reply(":MEM:CHECK?")).size(), 99u);
}

TEST_F(MeterModelTest, MemoryDataIsSixteenRawBytes) {
  meter.setSlot(3, MemoryRecord{0, 2, 1234, 0});
  Reply data = meter.handle(":MEM:DATA? 3", 0);
  EXPECT_TRUE(data.raw);
  const std::string expected = std::string("\x00\x02\xD2\x04", 4) + std::string(12, '\0');
  EXPECT_EQ(data.bytes, expected);
  std::string empty = reply(":MEM:DATA? 4");
  ASSERT_EQ(empty.size(), 16u);
  EXPECT_EQ(static_cast<uint8_t>(empty[0]), 0xFF);  // nothing stored: skipped
}

TEST_F(MeterModelTest, StoredReadingsFollowTheSource) {
  meter.config().source = IlluminanceSource::steps({12.34, 1234, 250000}, 0);
  meter.fillMemory({1, 2, 3});
  EXPECT_EQ(meter.slot(1), (MemoryRecord{0, 0, 1234, 0}));
  EXPECT_EQ(meter.slot(2), (MemoryRecord{0, 2, 1234, 0}));
  EXPECT_EQ(meter.slot(3), (MemoryRecord{0, 4, 1999, 3}));
  // Filling memory does not move the live source on.
  EXPECT_EQ(reply(":MEASCNTDISP?"), "1234,1234,0\r\n");
}

}  // namespace
}  // namespace lmv::sim
