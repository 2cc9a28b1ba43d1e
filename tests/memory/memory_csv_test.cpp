// The lines of the memory CSV and the progress texts of the download.
#include <gtest/gtest.h>

#include "memory/memory_csv.h"
#include "memory/memory_progress.h"
#include "ui/language_table.h"

namespace lmv {
namespace {

class MemoryTexts : public ::testing::Test {
 protected:
  MemoryTexts() { english.fill(kLanguageEnglish), japanese.fill(kLanguageJapanese); }
  LanguageTable english;
  LanguageTable japanese;
};

MemoryReading reading(int32_t rangeIndex, int16_t count, uint16_t state = 0) {
  MemoryReading r;
  r.rangeIndex = rangeIndex;
  r.count = count;
  r.state = state;
  return r;
}

TEST_F(MemoryTexts, HeaderLinesInEnglish) {
  const MeterIdentity meter{1, "012345678", "1.02"};
  const auto lines = memoryCsvHeaderLines(meter, {2014, 7, 7, 9, 5, 3}, csvSymbols(0, 0), english);
  const std::vector<std::string> expected = {
      "Lumetrevisor for LX5810/LX5811  Ver1.10",
      "---------------------------------------",
      "Memory Data",
      "Model:,TAVEK,LX5811,Ver 1.02",
      "S/N:,012345678",
      "Date:,2014/7/7",
      "",
      "No,Range,Measured Value,Unit,OVER",
  };
  EXPECT_EQ(lines, expected);
}

TEST_F(MemoryTexts, HeaderLinesInJapaneseWithSemicolons) {
  const MeterIdentity meter{7, "S1", "0.30"};
  const auto lines = memoryCsvHeaderLines(meter, {2024, 12, 31, 0, 0, 0}, csvSymbols(1, 1), japanese);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[2], "メモリデータ");
  EXPECT_EQ(lines[3], "機種:;TAVEK;;Ver 0.30");  // unknown model: empty name
  EXPECT_EQ(lines[5], "日付:;2024/12/31");
  EXPECT_EQ(lines[7], "No;レンジ;測定値;単位;オーバー");
}

struct LineCase {
  const char* name;
  int slot;
  MemoryReading reading;
  bool footCandle;
  int32_t decimalSymbol;
  int32_t listSeparator;
  const char* expected;
};

class MemoryReadingLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(MemoryReadingLine, Layout) {
  const LineCase& c = GetParam();
  EXPECT_EQ(memoryCsvReadingLine(c.slot, c.reading, c.footCandle, csvSymbols(c.decimalSymbol, c.listSeparator)),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemoryReadingLine,
    ::testing::Values(LineCase{"CommaDecimalSemicolonSeparator", 1, reading(2, 123), false, 1, 1, "1;200;12,3;lx;"},
                      LineCase{"LuxRange5", 7, reading(5, 123), false, 0, 0, "7,200000,12300,lx,"},
                      LineCase{"FootCandleRange2", 3, reading(2, 1000), true, 0, 0, "3,20,9.29,FC,"},
                      LineCase{"OverMarked", 9, reading(2, 1999, 3), false, 0, 0, "9,200,200.0,lx,OVER"},
                      LineCase{"NegativeOverNotMarked", 9, reading(2, -1999, 3), false, 0, 0, "9,200,-200.0,lx,"},
                      LineCase{"NoValue", 99, reading(1, 5, 2), false, 0, 0, "99,20,--.--,lx,"},
                      LineCase{"UnknownRangeReadAsAuto", 2, reading(9, 17), false, 0, 0, "2,Auto,17,,"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MemoryTexts, TimeTexts) {
  EXPECT_EQ(memoryTimeText(125, english), "2 min 5 sec");
  EXPECT_EQ(memoryTimeText(60, english), "1 min 0 sec");
  EXPECT_EQ(memoryTimeText(45, english), "45 sec");
  EXPECT_EQ(memoryTimeText(0, english), "0 sec");
  EXPECT_EQ(memoryTimeText(-3, english), "0 sec");
  EXPECT_EQ(memoryTimeText(125, japanese), "2分 5秒");
  EXPECT_EQ(memoryCountText(3, 99), "3 / 99");
}

TEST_F(MemoryTexts, RemainingAndElapsedChangeOncePerSecondOfTheReader) {
  MemoryProgressClock clock(/*okTime=*/1000, /*readerStart=*/1001);
  // Same second as the reader's start: nothing yet.
  MemoryTimeUpdate u = clock.update(1, 10, 1001, false, english);
  EXPECT_FALSE(u.remaining);
  EXPECT_FALSE(u.elapsed);
  // Two seconds in after 4 of 10: (10 - 4) * 2 / 4 = 3 seconds left.
  u = clock.update(4, 10, 1003, false, english);
  EXPECT_EQ(u.remaining, "3 sec");
  EXPECT_EQ(u.elapsed, "3 sec");
  // Within the same second nothing changes.
  u = clock.update(5, 10, 1003, true, english);
  EXPECT_FALSE(u.remaining);
  // The last reading in the same second shows 0 and leaves a shown elapsed time.
  u = clock.update(10, 10, 1003, true, english);
  EXPECT_EQ(u.remaining, "0 sec");
  EXPECT_FALSE(u.elapsed);
}

TEST_F(MemoryTexts, FastDownloadStillShowsAnElapsedTime) {
  MemoryProgressClock clock(500, 500);
  const MemoryTimeUpdate u = clock.update(2, 2, 500, false, english);
  EXPECT_EQ(u.remaining, "0 sec");
  EXPECT_EQ(u.elapsed, "1 sec");
  EXPECT_FALSE(clock.update(0, 2, 900, false, english).remaining);
}

}  // namespace
}  // namespace lmv
