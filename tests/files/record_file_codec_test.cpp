// The byte layout of record files and what the reader makes of good,
// foreign, damaged and hostile files.
#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "base/settings.h"
#include "files/record_file.h"
#include "monitor/value_codes.h"

namespace lmv {
namespace {

// A hand-written encoder for the expected bytes, independent of the program's.
struct Bytes {
  std::vector<uint8_t> v;
  Bytes& u8(uint8_t b) {
    v.push_back(b);
    return *this;
  }
  Bytes& i32(int32_t x) {
    for (int i = 0; i < 4; ++i) u8(static_cast<uint8_t>(static_cast<uint32_t>(x) >> (8 * i)));
    return *this;
  }
  Bytes& f64(double d) {
    const auto bits = std::bit_cast<uint64_t>(d);
    for (int i = 0; i < 8; ++i) u8(static_cast<uint8_t>(bits >> (8 * i)));
    return *this;
  }
  Bytes& ascii(std::string_view s) {  // texts below 255 characters
    u8(0xFF).u8(0xFE).u8(0xFF).u8(static_cast<uint8_t>(s.size()));
    for (char c : s) u8(static_cast<uint8_t>(c)).u8(0);
    return *this;
  }
  Bytes& date(const OleDate& d) { return i32(d.status).f64(d.value); }
  Bytes& record(const _RECORD_DATA& r) {
    return i32(r.nFunction).i32(r.nValue).i32(r.nRange).i32(r.dtTimeStatus).f64(r.dtTimeDays).i32(r.nUnit).i32(
        r.nReserved);
  }
};

_RECORD_DATA sample(int32_t value, int32_t range, double days, int32_t unit = 0) {
  _RECORD_DATA r;
  r.nValue = value;
  r.nRange = range;
  r.setDtTime({days, OleDate::Valid});
  r.nUnit = unit;
  return r;
}

RecordFileContents threeRecords() {
  RecordFileContents c;
  c.settings.intervalSeconds = 2;
  c.decimalSymbol = 1;
  c.identity = {0, "012345678", "1.00"};
  c.state.recordCount = 3;
  c.state.runCount = 3;
  c.state.baseTime = {41827.25, OleDate::Valid};
  c.state.runStartTime = {41827.25, OleDate::Valid};
  c.state.runStopTime = {41828.0, OleDate::Valid};
  c.state.maxTime = {41827.5, OleDate::Valid};
  c.state.minTime = {0.0, OleDate::Invalid};
  c.state.maxText = "200.0 lx";
  c.state.lastRangeText = "200 lx";
  c.records = {sample(1234, 2, 41827.25), sample(CodeOver, 2, 41827.5), sample(-5, 1, 41828.0, 1)};
  c.graph.axisTop = 2400;
  c.graph.maxCount = 1234;
  c.graph.maxScale = 2;
  c.graph.extremeUnitText = "lx";
  c.graph.timeSpan = 20;
  c.graph.graphIntervalSeconds = 2;
  c.graph.runFirstRecord = 1;
  c.graph.blankFlag = 0;
  return c;
}

std::vector<uint8_t> expectedThreeRecordBytes() {
  const RecordFileContents c = threeRecords();
  Bytes b;
  b.ascii("Lumetrevisor for LX5810/LX5811").i32(110);
  b.i32(0).i32(0).i32(0).i32(0).i32(0).i32(0).i32(2).i32(1048576).i32(99).i32(99).i32(99);
  for (int item = 0; item < 4; ++item) b.i32(1).ascii("");  // company, title, operator, date
  b.i32(1).ascii("").ascii("");                             // temperature and humidity
  b.i32(1).ascii("");                                       // memo
  b.i32(1).i32(0);                                          // decimal comma, list separator comma
  b.i32(0).ascii("1.00").ascii("012345678");
  b.i32(3).i32(3);
  b.date(c.state.baseTime).date(c.state.runStartTime).date(c.state.runStopTime);
  b.date(c.state.maxTime).date(c.state.minTime);
  b.ascii("200.0 lx").ascii("").ascii("").ascii("");
  b.i32(0).i32(0).ascii("200 lx");
  b.i32(3);
  for (const auto& r : c.records) b.record(r);
  b.i32(2400).i32(0).i32(0).i32(1234).i32(2).i32(0).i32(0).i32(2).ascii("lx").i32(1).i32(0);
  b.i32(20).i32(2).i32(1).i32(0);
  return b.v;
}

TEST(RecordFileLayout, ThreeRecordsWithoutHeaderTexts) {
  const std::vector<uint8_t> bytes = encodeRecordFile(threeRecords());
  EXPECT_EQ(bytes, expectedThreeRecordBytes());
  const std::vector<uint8_t> start = {0xFF, 0xFE, 0xFF, 0x1E, 'L', 0};
  EXPECT_TRUE(std::equal(start.begin(), start.end(), bytes.begin()));
  EXPECT_EQ(bytes[64], 0x6E);
  EXPECT_EQ(bytes[65], 0);
  EXPECT_EQ(bytes[66], 0);
  EXPECT_EQ(bytes[67], 0);
}

TEST(RecordFileLayout, LongMemoGetsTheSixteenBitLengthPrefix) {
  RecordFileContents c;
  c.header.memoText = std::string(300, 'm');
  const std::vector<uint8_t> bytes = encodeRecordFile(c);
  const std::vector<uint8_t> prefix = {0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01, 'm', 0};
  const auto at = std::search(bytes.begin(), bytes.end(), prefix.begin(), prefix.end());
  ASSERT_NE(at, bytes.end());
  const RecordFileDecodeResult back = decodeRecordFile(bytes);
  ASSERT_EQ(back.outcome, RecordFileOutcome::Read);
  EXPECT_EQ(back.contents.header.memoText, c.header.memoText);
}

TEST(RecordFileRead, GivesBackEveryField) {
  RecordFileContents c = threeRecords();
  c.settings = {1, 1, 4, 1, 1, 2, 3, 500, 4, 5, 6};
  c.header = {0, "TAVEK 株式会社", 1, "試験", 0, "山田", 1, "2014/07/07", 0, "23.5", "40", 1, "メモ"};
  c.listSeparator = 1;
  c.identity = {1, "S-9", "2.01"};
  c.state.runStopText = "2014/07/08,00:00:00";
  c.state.maxFunctionIndex = 0;
  c.state.lastFunctionIndex = 0;
  const std::vector<uint8_t> bytes = encodeRecordFile(c);
  const RecordFileDecodeResult r = decodeRecordFile(bytes);
  ASSERT_EQ(r.outcome, RecordFileOutcome::Read);
  EXPECT_FALSE(r.corrected);
  EXPECT_EQ(r.version, 110);
  EXPECT_EQ(r.contents.header, c.header);
  EXPECT_EQ(r.contents.settings.fastIntervalIndex, 4);
  EXPECT_EQ(r.contents.settings.dataCount, 500);
  EXPECT_EQ(r.contents.settings.recordSeconds, 6);
  EXPECT_EQ(r.contents.identity.modelIndex, 1);
  EXPECT_EQ(r.contents.identity.serialNumberText, "S-9");
  EXPECT_EQ(r.contents.records, c.records);
  EXPECT_EQ(r.contents.state.minTime, c.state.minTime);
  EXPECT_EQ(r.contents.graph.extremeUnitText, "lx");
  EXPECT_EQ(encodeRecordFile(r.contents), bytes);
}

// Rewrites the header text and version of an encoded file.
std::vector<uint8_t> withHeader(std::string_view header, int32_t version) {
  std::vector<uint8_t> file = encodeRecordFile(threeRecords());
  const size_t oldLength = 4 + 60 + 4;
  Bytes b;
  b.ascii(header).i32(version);
  b.v.insert(b.v.end(), file.begin() + static_cast<long>(oldLength), file.end());
  return b.v;
}

struct HeaderCase {
  const char* name;
  const char* header;
  int32_t version;
  RecordFileOutcome expected;
};

class RecordFileHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(RecordFileHeader, AcceptsOrRefuses) {
  const HeaderCase& c = GetParam();
  const RecordFileDecodeResult r = decodeRecordFile(withHeader(c.header, c.version));
  EXPECT_EQ(r.outcome, c.expected);
  if (c.expected == RecordFileOutcome::Read) {
    EXPECT_EQ(r.contents.records, threeRecords().records);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordFileHeader,
    ::testing::Values(HeaderCase{"Current", "Lumetrevisor for LX5810/LX5811", 110, RecordFileOutcome::Read},
                      HeaderCase{"OldHeader", "Lumetrevisor for LX5810", 100, RecordFileOutcome::Read},
                      HeaderCase{"VersionZero", "Lumetrevisor for LX5810/LX5811", 0, RecordFileOutcome::Read},
                      HeaderCase{"Version999", "Lumetrevisor for LX5810/LX5811", 999, RecordFileOutcome::Read},
                      HeaderCase{"VersionMinusOne", "Lumetrevisor for LX5810/LX5811", -1,
                                 RecordFileOutcome::NegativeVersion},
                      HeaderCase{"OtherCase", "lumetrevisor for LX5810/LX5811", 110, RecordFileOutcome::WrongHeader},
                      HeaderCase{"OtherProgram", "Some other program", 110, RecordFileOutcome::WrongHeader}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordFileRead, ForeignAndEmptyFilesHaveTheWrongHeader) {
  const std::string text = "No,Date,Time\r\n1,2014/7/7,09:05:03\r\n";
  EXPECT_EQ(decodeRecordFile(std::vector<uint8_t>(text.begin(), text.end())).outcome, RecordFileOutcome::WrongHeader);
  EXPECT_EQ(decodeRecordFile({}).outcome, RecordFileOutcome::WrongHeader);
  const std::vector<uint8_t> zip = {'P', 'K', 3, 4, 20, 0, 0, 0};
  EXPECT_EQ(decodeRecordFile(zip).outcome, RecordFileOutcome::WrongHeader);
}

TEST(RecordFileRead, EveryTruncationIsRefused) {
  const std::vector<uint8_t> file = encodeRecordFile(threeRecords());
  for (size_t length = 0; length < file.size(); ++length) {
    const RecordFileDecodeResult r = decodeRecordFile(std::span(file.data(), length));
    ASSERT_NE(r.outcome, RecordFileOutcome::Read) << length;
    if (length >= 68) {
      ASSERT_EQ(r.outcome, RecordFileOutcome::EndsEarly) << length;
    }
  }
  EXPECT_EQ(decodeRecordFile(file).outcome, RecordFileOutcome::Read);
}

TEST(RecordFileRead, CorruptedBytesAreRefusedOrGiveConsistentContents) {
  const std::vector<uint8_t> good = encodeRecordFile(threeRecords());
  std::mt19937 random(20140707);
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> file = good;
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int k = 0; k < changes; ++k) file[random() % file.size()] = static_cast<uint8_t>(random());
    const RecordFileDecodeResult r = decodeRecordFile(file);
    if (r.outcome != RecordFileOutcome::Read) continue;
    const auto n = static_cast<int32_t>(r.contents.records.size());
    ASSERT_EQ(r.contents.state.recordCount, n) << round;
    ASSERT_GE(r.contents.state.runCount, 0) << round;
    ASSERT_LE(r.contents.state.runCount, n) << round;
    ASSERT_GE(r.contents.graph.runFirstRecord, 1) << round;
    ASSERT_LE(r.contents.graph.runFirstRecord, n + 1) << round;
  }
}

TEST(RecordFileRead, TrailingBytesAreIgnored) {
  std::vector<uint8_t> file = encodeRecordFile(threeRecords());
  file.insert(file.end(), {1, 2, 3, 4, 5});
  EXPECT_EQ(decodeRecordFile(file).outcome, RecordFileOutcome::Read);
}

TEST(RecordFileRead, HostileCountsAndLengthsFailWithoutHugeAllocations) {
  // A record count far beyond the bytes that follow.
  Bytes count;
  count.ascii("Lumetrevisor for LX5810/LX5811").i32(110);
  for (int i = 0; i < 11; ++i) count.i32(0);
  for (int i = 0; i < 6; ++i) count.i32(0).ascii("");
  count.ascii("");  // humidity
  count.i32(0).i32(0).i32(0).ascii("").ascii("");
  count.i32(0).i32(0);
  for (int i = 0; i < 5; ++i) count.date({});
  for (int i = 0; i < 4; ++i) count.ascii("");
  count.i32(0).i32(0).ascii("");
  count.i32(0x7FFFFFFF);
  count.v.resize(count.v.size() + 64);
  EXPECT_EQ(decodeRecordFile(count.v).outcome, RecordFileOutcome::EndsEarly);

  // A 32-bit text length of two thousand million characters.
  Bytes text;
  text.ascii("Lumetrevisor for LX5810/LX5811").i32(110);
  for (int i = 0; i < 11; ++i) text.i32(0);
  text.i32(1).u8(0xFF).u8(0xFE).u8(0xFF).u8(0xFF).u8(0xFF).u8(0xFF).i32(0x7FFFFFF0);
  text.v.resize(text.v.size() + 100);
  EXPECT_EQ(decodeRecordFile(text.v).outcome, RecordFileOutcome::EndsEarly);

  // A negative record count reads no record.
  RecordFileContents empty;
  std::vector<uint8_t> file = encodeRecordFile(empty);
  Bytes minusOne;
  minusOne.i32(-1);
  const size_t countAt = file.size() - 60 - 4;  // the graph's 14 int32 and one empty text follow
  std::copy(minusOne.v.begin(), minusOne.v.end(), file.begin() + static_cast<long>(countAt));
  const RecordFileDecodeResult r = decodeRecordFile(file);
  ASSERT_EQ(r.outcome, RecordFileOutcome::Read);
  EXPECT_TRUE(r.contents.records.empty());
}

struct ConsistencyCase {
  const char* name;
  int32_t records;
  int32_t recordCount;
  int32_t runCount;
  int32_t runFirstRecord;
  int32_t maxScale;
  bool changed;
  int32_t expectedRunCount;
  int32_t expectedRunFirstRecord;
};

class RecordFileConsistency : public ::testing::TestWithParam<ConsistencyCase> {};

TEST_P(RecordFileConsistency, IndexesFitTheRecords) {
  const ConsistencyCase& c = GetParam();
  RecordFileContents contents;
  contents.records.assign(static_cast<size_t>(c.records), sample(1, 1, 41000.0));
  contents.state.recordCount = c.recordCount;
  contents.state.runCount = c.runCount;
  contents.graph.runFirstRecord = c.runFirstRecord;
  contents.graph.maxScale = c.maxScale;
  EXPECT_EQ(makeRecordFileConsistent(contents), c.changed);
  EXPECT_EQ(contents.state.recordCount, c.records);
  EXPECT_EQ(contents.state.runCount, c.expectedRunCount);
  EXPECT_EQ(contents.graph.runFirstRecord, c.expectedRunFirstRecord);
  EXPECT_GE(contents.graph.maxScale, 0);
  EXPECT_LE(contents.graph.maxScale, 5);
  EXPECT_FALSE(makeRecordFileConsistent(contents));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordFileConsistency,
    ::testing::Values(ConsistencyCase{"Consistent", 10, 10, 4, 7, 3, false, 4, 7},
                      ConsistencyCase{"ManualSamplesAfterARun", 10, 10, 0, 4, 3, false, 0, 4},
                      ConsistencyCase{"EmptyRun", 10, 10, 0, 11, 3, false, 0, 11},
                      ConsistencyCase{"RecordCountTooHigh", 10, 5000, 4, 7, 3, true, 4, 7},
                      ConsistencyCase{"RunCountBeyondRecords", 10, 10, 50, 1, 3, true, 10, 1},
                      ConsistencyCase{"NegativeRunCount", 10, 10, -3, 4, 3, true, 0, 4},
                      ConsistencyCase{"FirstRecordBeyondStore", 10, 10, 4, 900, 3, true, 4, 7},
                      ConsistencyCase{"FirstRecordZeroWithoutRun", 10, 10, 0, 0, 3, true, 0, 11},
                      ConsistencyCase{"ClearedStore", 0, 0, 0, 5, 3, true, 0, 1},
                      ConsistencyCase{"ScaleOutsideTables", 3, 3, 3, 1, 77, true, 3, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordFileSettings, ConvertBetweenTheProgramSettingsAndTheFileParts) {
  AppSettings s;
  s.intervalMode = 1;
  s.fastIntervalIndex = 3;
  s.recordMinutes = 7;
  s.titleOn = 0;
  s.memoText = "m";
  const RecordSettings r = recordSettingsOf(s);
  const RecordHeader h = recordHeaderOf(s);
  EXPECT_EQ(r.intervalMode, 1);
  EXPECT_EQ(r.fastIntervalIndex, 3);
  EXPECT_EQ(r.recordMinutes, 7);
  EXPECT_EQ(h.titleOn, 0);
  EXPECT_EQ(h.memoText, "m");
  AppSettings other;
  storeRecordSettings(other, r);
  storeRecordHeader(other, h);
  EXPECT_EQ(other, s);
}

}  // namespace
}  // namespace lmv
