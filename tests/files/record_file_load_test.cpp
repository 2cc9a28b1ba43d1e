// Reading record files from disk in stages: a foreign or oversized file is
// refused from its first bytes and its size, before its records are read,
// and nothing beyond the file's contents is read or held.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "base/settings.h"
#include "fake_ui_host.h"
#include "files/record_file.h"
#include "files/record_file_io.h"
#include "test_files.h"
#include "ui/language_table.h"

namespace lmv {
namespace {

// Every pread(2) the reader makes.
struct ReadLog {
  uint64_t total = 0;
  size_t largest = 0;
  ReadableFile::ReadFunction function() {
    return [this](int fd, void* data, size_t size, off_t offset) {
      const ssize_t n = ::pread(fd, data, size, offset);
      if (n > 0) total += static_cast<uint64_t>(n);
      largest = std::max(largest, size);
      return n;
    };
  }
};

RecordFileContents recordsOfTwoRuns(size_t first, size_t second) {
  RecordFileContents c;
  c.identity = {0, "10000123", "1.00"};
  c.records.resize(first + second);
  for (size_t i = 0; i < c.records.size(); ++i) {
    c.records[i].nValue = static_cast<int32_t>(i % 20000);
    c.records[i].nRange = 2;
    c.records[i].setDtTime({41827.0 + static_cast<double>(i) / 86400.0, OleDate::Valid});
  }
  c.state.recordCount = static_cast<int32_t>(c.records.size());
  c.state.runCount = static_cast<int32_t>(second);
  c.graph.runFirstRecord = static_cast<int32_t>(first + 1);
  c.graph.extremeUnitText = "lx";
  return c;
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes, uint64_t sparseSize = 0) {
  test::writeFileBytes(path, bytes);
  if (sparseSize > bytes.size()) {
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(sparseSize)), 0);
  }
}

constexpr uint64_t kTwoGigabytes = uint64_t{2} << 30;

TEST(RecordFileLoad, AForeignFileIsRefusedFromItsFirstBytes) {
  test::TempDir dir;
  const std::string path = dir.file("foreign.lxrd");
  const std::string text = "No,Date,Time\r\n1,2014/7/7,09:05:03\r\n";
  writeBytes(path, std::vector<uint8_t>(text.begin(), text.end()), kTwoGigabytes);
  ReadLog log;
  const RecordFileLoad load = loadRecordFile(path, log.function());
  ASSERT_EQ(load.status, FileReadResult::Status::Ok) << load.error;
  EXPECT_EQ(load.decoded.outcome, RecordFileOutcome::WrongHeader);
  EXPECT_LE(log.total, kRecordFileProbeBytes);
  EXPECT_LE(log.largest, kRecordFileProbeBytes);
}

TEST(RecordFileLoad, ATextLongerThanTheFileEndsItAtOnce) {
  test::TempDir dir;
  const std::string path = dir.file("text.lxrd");
  RecordFileContents contents = recordsOfTwoRuns(1, 0);
  contents.header.companyText = "ab";
  std::vector<uint8_t> bytes = encodeRecordFile(contents);
  // The company text (after the header, the version and twelve numbers)
  // claims two thousand million characters (4 GB); the file has two gigabytes.
  const size_t at = 4 + 60 + 4 + 12 * 4;
  ASSERT_EQ(bytes[at + 3], 2);
  const std::vector<uint8_t> length = {0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F};  // 32-bit length
  bytes.erase(bytes.begin() + static_cast<long>(at + 3), bytes.begin() + static_cast<long>(at + 4));
  bytes.insert(bytes.begin() + static_cast<long>(at + 3), length.begin(), length.end());
  writeBytes(path, bytes, kTwoGigabytes);
  ReadLog log;
  const RecordFileLoad load = loadRecordFile(path, log.function());
  EXPECT_EQ(load.decoded.outcome, RecordFileOutcome::EndsEarly);
  EXPECT_LE(log.total, kRecordFileProbeBytes);
}

struct SizeCase {
  const char* name;
  int32_t records;     // records really in the file
  int64_t countDelta;  // added to field 46
  uint64_t sparseSize;  // the file is extended with zeros to this size (0: not)
  RecordFileOutcome outcome;
};

class RecordFileSize : public ::testing::TestWithParam<SizeCase> {};

// Judged by field 46 and the file's size before any record is read.
TEST_P(RecordFileSize, IsCheckedBeforeTheRecordsAreRead) {
  const SizeCase& c = GetParam();
  test::TempDir dir;
  const std::string path = dir.file("file.lxrd");
  RecordFileContents contents = recordsOfTwoRuns(static_cast<size_t>(c.records), 0);
  std::vector<uint8_t> bytes = encodeRecordFile(contents);
  // Field 46 sits just before the records, which are followed by 64 bytes (with the text "lx").
  const size_t countAt = bytes.size() - 64 - static_cast<size_t>(c.records) * kRecordBytes - 4;
  const auto count = static_cast<int32_t>(c.records + c.countDelta);
  for (int i = 0; i < 4; ++i) bytes[countAt + static_cast<size_t>(i)] = static_cast<uint8_t>(static_cast<uint32_t>(count) >> (8 * i));
  writeBytes(path, bytes, c.sparseSize);

  ReadLog log;
  const RecordFileLoad load = loadRecordFile(path, log.function());
  ASSERT_EQ(load.status, FileReadResult::Status::Ok) << load.error;
  EXPECT_EQ(load.decoded.outcome, c.outcome);
  if (c.sparseSize == 0) {
    EXPECT_EQ(decodeRecordFile(test::fileBytes(path)).outcome, c.outcome) << "the same verdict from the bytes";
  }
  EXPECT_LE(log.total, kRecordFileProbeBytes) << "no record was read";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordFileSize,
    ::testing::Values(
        // Sixty million records promised, a few bytes there.
        SizeCase{"CountBeyondTheFile", 3, 60'000'000, 0, RecordFileOutcome::EndsEarly},
        SizeCase{"CountBeyondALargeFile", 3, 60'000'000, 100 << 20, RecordFileOutcome::EndsEarly},
        // Three records and then 200 MB, or 2 GB: no file of three records is that long.
        SizeCase{"FarLongerThanItsRecords", 3, 0, 200 << 20, RecordFileOutcome::Oversized},
        SizeCase{"TwoGigabytesAfterNoRecords", 0, 0, kTwoGigabytes, RecordFileOutcome::Oversized},
        SizeCase{"ANegativeCountAndGigabytes", 0, -1, kTwoGigabytes, RecordFileOutcome::Oversized}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordFileLoad, AFileOfManyRunsBeyondOneRunsLimitIsRead) {
  // Successive runs append to the store without limit; one run holds up to
  // 1048576 samples.
  test::TempDir dir;
  const std::string path = dir.file("runs.lxrd");
  const RecordFileContents contents = recordsOfTwoRuns(1048576, 40000);
  const std::vector<uint8_t> bytes = encodeRecordFile(contents);
  writeBytes(path, bytes);

  ReadLog log;
  const RecordFileLoad load = loadRecordFile(path, log.function());
  ASSERT_EQ(load.status, FileReadResult::Status::Ok) << load.error;
  ASSERT_EQ(load.decoded.outcome, RecordFileOutcome::Read);
  EXPECT_FALSE(load.decoded.corrected);
  ASSERT_EQ(load.decoded.contents.records.size(), contents.records.size());
  EXPECT_EQ(load.decoded.contents.records.back().nValue, contents.records.back().nValue);
  EXPECT_EQ(load.decoded.contents.records[1048576].dtTimeDays, contents.records[1048576].dtTimeDays);
  EXPECT_EQ(encodeRecordFile(load.decoded.contents), bytes);
  // Read once, in pieces of at most a megabyte (plus the first bytes again).
  EXPECT_LE(log.total, bytes.size() + kRecordFileProbeBytes);
  EXPECT_LE(log.largest, size_t{1} << 20);
}

TEST(RecordFileLoad, LongHeaderTextsOfTheSettingsAreRead) {
  // The settings file takes texts of any length; the record file carries them.
  test::TempDir dir;
  const std::string path = dir.file("long.lxrd");
  RecordFileContents contents = recordsOfTwoRuns(5, 0);
  contents.header.memoText = std::string(100000, 'm');
  contents.header.companyText = std::string(3000, 'c');
  contents.graph.extremeUnitText = std::string(kMaxExtremeUnitTextBytes, 'u');
  writeBytes(path, encodeRecordFile(contents));
  const RecordFileLoad load = loadRecordFile(path);
  ASSERT_EQ(load.decoded.outcome, RecordFileOutcome::Read);
  EXPECT_EQ(load.decoded.contents.header.memoText, contents.header.memoText);
  EXPECT_EQ(load.decoded.contents.graph.extremeUnitText, contents.graph.extremeUnitText);

  contents.graph.extremeUnitText += 'u';  // no unit name is that long
  writeBytes(path, encodeRecordFile(contents));
  EXPECT_EQ(loadRecordFile(path).decoded.outcome, RecordFileOutcome::Oversized);
}

TEST(RecordFileLoad, EveryTruncationGivesTheVerdictOfTheBytes) {
  test::TempDir dir;
  const std::string path = dir.file("cut.lxrd");
  RecordFileContents contents = recordsOfTwoRuns(3, 2);
  contents.header.memoText = std::string(5000, 'm');  // the prefix outgrows the first read
  std::vector<uint8_t> bytes = encodeRecordFile(contents);
  bytes.insert(bytes.end(), {1, 2, 3});
  for (size_t length = 0; length <= bytes.size(); length += length < 80 || length + 300 > bytes.size() ? 1 : 97) {
    const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(length));
    writeBytes(path, cut);
    const RecordFileLoad load = loadRecordFile(path);
    ASSERT_EQ(load.status, FileReadResult::Status::Ok) << length;
    ASSERT_EQ(load.decoded.outcome, decodeRecordFile(cut).outcome) << length;
  }
  EXPECT_EQ(loadRecordFile(path).decoded.outcome, RecordFileOutcome::Read);
}

TEST(RecordFileLoad, AnOversizedFileIsRefusedWithTheFormatMessageAndChangesNothing) {
  test::TempDir dir;
  const std::string path = dir.file("padded.lxrd");
  writeBytes(path, encodeRecordFile(recordsOfTwoRuns(3, 0)), 200 << 20);
  LanguageTable texts;
  texts.fill(kLanguageEnglish);
  test::FakeUiHost ui;
  AppSettings settings;
  settings.memoText = "live";
  RecordStore store;
  store.records.resize(2);
  store.state.recordCount = 2;
  GraphState graph;
  EXPECT_FALSE(readRecordFile(path, {settings, store, graph}, ui, texts));
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text, texts.text(TextIncorrectFileFormat));
  EXPECT_EQ(settings.memoText, "live");
  EXPECT_EQ(store.records.size(), 2u);
  EXPECT_EQ(store.state.fileBound, 0);
}

}  // namespace
}  // namespace lmv
