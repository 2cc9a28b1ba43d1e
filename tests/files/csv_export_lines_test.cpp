// The header and record lines of the CSV export.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <limits>
#include <random>

#include "base/settings.h"
#include "files/csv_export.h"
#include "monitor/format_value.h"
#include "monitor/range_table.h"
#include "monitor/value_codes.h"
#include "record/time_text.h"
#include "ui/language_table.h"

namespace lmv {
namespace {

OleDate at(int y, int mo, int d, int h, int mi, int s) { return oleDateFromFields({y, mo, d, h, mi, s}); }

AppSettings noHeaderItems() {
  AppSettings s;
  s.companyOn = s.titleOn = s.operatorOn = s.dateOn = s.tempHumidOn = s.memoOn = 0;
  return s;
}

class CsvExportLines : public ::testing::Test {
 protected:
  CsvExportLines() {
    english.fill(kLanguageEnglish);
    japanese.fill(kLanguageJapanese);
    header.identity = {0, "012345678", "1.00"};
    header.settings = &settings;
    header.lastRangeText = "200 lx";
    header.baseTime = at(2014, 7, 7, 9, 5, 3);
    header.recordCount = 1;
  }
  LanguageTable english;
  LanguageTable japanese;
  AppSettings settings = noHeaderItems();
  CsvExportHeader header;
};

TEST_F(CsvExportLines, HeaderWithoutItemsInRealTimeMode) {
  const std::vector<std::string> expected = {
      "Lumetrevisor for LX5810/LX5811  Ver1.10",
      "---------------------------------------",
      "Record Data",
      "Model:,TAVEK,LX5810,Ver 1.00",
      "S/N:,012345678",
      "Interval:,1s",
      "Function:,LUX",
      "Range:,200 lx",
      "",
      "Buffer:,1",
      "No,Date,Time,Range,Measured Value,Unit,OVER",
  };
  EXPECT_EQ(csvExportHeaderLines(header, csvSymbols(0, 0), english), expected);
}

TEST_F(CsvExportLines, HeaderWithEveryItemInJapaneseRelativeMode) {
  settings = AppSettings{};
  settings.companyText = "TAVEK社";
  settings.titleText = "照度試験";
  settings.dateText = "2014/07/07";
  settings.operatorText = "山田";
  settings.temperatureText = "23.5";
  settings.humidityText = "40";
  settings.memoText = "memo;with;separators";
  settings.timeDisplayMode = 1;
  settings.intervalHours = 1;
  settings.intervalMinutes = 0;
  settings.intervalSeconds = 30;
  header.identity = {1, "S9", "2.01"};
  const std::vector<std::string> expected = {
      "Lumetrevisor for LX5810/LX5811  Ver1.10",
      "---------------------------------------",
      "レコードデータ",
      "機種:;TAVEK;LX5811;Ver 2.01",
      "S/N:;S9",
      "会社名:;TAVEK社",
      "タイトル:;照度試験",
      "日付:;2014/07/07",
      "測定者:;山田",
      "温度/湿度:;23.5℃/40%rh",
      "インターバル:;1h 30s",
      "ファンクション:;LUX",
      "レンジ:;200 lx",
      "メモ:;memo;with;separators",
      "基準時刻:;2014/7/7;09:05:03",
      "",
      "バッファ:;1",
      "No;日付;時刻;レンジ;測定値;単位;オーバー",
  };
  EXPECT_EQ(csvExportHeaderLines(header, csvSymbols(0, 1), japanese), expected);
}

TEST_F(CsvExportLines, EnglishTemperatureUsesTheCelsiusWord) {
  settings.tempHumidOn = 1;
  settings.temperatureText = "20";
  settings.humidityText = "55";
  const auto lines = csvExportHeaderLines(header, csvSymbols(0, 0), english);
  EXPECT_EQ(lines[5], "Temp/Humid:,20Celsius/55%rh");
}

struct RecordLineCase {
  const char* name;
  int32_t value;
  int32_t range;
  int32_t unit;
  int32_t decimalSymbol;
  int32_t listSeparator;
  bool relative;
  double secondsAfterBase;
  const char* expected;
};

class CsvRecordLine : public ::testing::TestWithParam<RecordLineCase> {};

TEST_P(CsvRecordLine, Layout) {
  const RecordLineCase& c = GetParam();
  const OleDate base = at(2014, 7, 7, 9, 5, 3);
  CsvRecordFields record;
  record.value = c.value;
  record.range = c.range;
  record.unit = c.unit;
  record.time = OleDate{base.value + c.secondsAfterBase / 86400.0, OleDate::Valid};
  EXPECT_EQ(csvExportRecordLine(1, record, c.relative, base, csvSymbols(c.decimalSymbol, c.listSeparator)),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvRecordLine,
    ::testing::Values(
        RecordLineCase{"Example", 1234, 2, 0, 0, 0, false, 0, "1,2014/7/7,09:05:03,200,123.4,lx,"},
        RecordLineCase{"CommaAndSemicolon", 123, 2, 0, 1, 1, false, 0, "1;2014/7/7;09:05:03;200;12,3;lx;"},
        RecordLineCase{"CommaForBoth", 123, 2, 0, 1, 0, false, 0, "1,2014/7/7,09:05:03,200,12,3,lx,"},
        RecordLineCase{"Relative26Hours", 123, 2, 0, 0, 0, true, 26 * 3600.0, "1,,26:00:00,200,12.3,lx,"},
        RecordLineCase{"FootCandle", 12, 1, 1, 0, 0, false, 0, "1,2014/7/7,09:05:03,2,0.012,FC,"},
        RecordLineCase{"NoValue", CodeNoValue, 2, 0, 0, 0, false, 0, "1,2014/7/7,09:05:03,200,---.-,lx,"},
        RecordLineCase{"NoSensor", CodeNotConnected, 2, 0, 0, 0, false, 0, "1,2014/7/7,09:05:03,200,n.c.  ,lx,"},
        RecordLineCase{"Over", CodeOver, 2, 0, 0, 0, false, 0, "1,2014/7/7,09:05:03,200,200.0,lx,OVER"},
        RecordLineCase{"OverNegative", CodeOverNegative, 2, 0, 0, 0, false, 0, "1,2014/7/7,09:05:03,200,-200.0,lx,"},
        RecordLineCase{"RangeOutsideTheTables", 55, 17, 0, 0, 0, false, 0, "1,2014/7/7,09:05:03,Auto,55,,"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvRecordLineDates, DatesWithoutLeadingZerosAndUnknownDatesAsMinusOne) {
  CsvRecordFields record;
  record.value = 5;
  record.range = 3;
  record.time = at(2021, 1, 2, 3, 4, 5);
  const CsvSymbols symbols = csvSymbols(0, 0);
  EXPECT_EQ(csvExportRecordLine(12, record, false, {}, symbols), "12,2021/1/2,03:04:05,2000,5,lx,");
  record.time = OleDate{41827.0, OleDate::Invalid};
  EXPECT_EQ(csvExportRecordLine(3, record, false, {}, symbols), "3,-1/-1/-1,-1:-1:-1,2000,5,lx,");
}

// The record line as the display formatting and printf give it, field by field.
std::string printedRecordLine(int32_t position, const CsvRecordFields& r, bool relative, const OleDate& base,
                              const CsvSymbols& symbols) {
  const std::string& sep = symbols.separator;
  std::string line = std::to_string(position) + sep;
  if (relative) {
    line += sep + relativeTimeText(r.time, base);
  } else {
    CalendarTime t{-1, -1, -1, -1, -1, -1};
    if (auto f = oleDateFields(r.time)) t = *f;
    char buf[96];
    std::snprintf(buf, sizeof buf, "%d/%d/%d%s%02d:%02d:%02d", t.year, t.month, t.day, sep.c_str(), t.hour, t.minute,
                  t.second);
    line += buf;
  }
  line += sep + std::string(rangeLabel(r.range, r.unit)) + sep;
  line += formatStoredValue(r.value, r.range, r.unit, symbols.decimal) + sep;
  line += std::string(rangeUnit[rangeTableIndex(r.range, r.unit)]) + sep;
  if (r.value == CodeOver) line += "OVER";
  return line;
}

TEST(CsvRecordLineFormatting, SameTextAsTheDisplayFormattingForEveryRangeUnitAndSymbol) {
  std::mt19937 rng(5810);
  const OleDate base = at(2014, 7, 7, 9, 5, 3);
  const std::vector<int32_t> special{0, 1, 9, 10, 99, 100, 999, 1000, -1, -9, -10, -999, -1000, 19999, -19999,
                                     CodeOver, CodeOverNegative, CodeNoValue, CodeNotConnected,
                                     std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};
  for (int i = 0; i < 20000; ++i) {
    CsvRecordFields r;
    r.value = i < static_cast<int>(special.size()) ? special[static_cast<size_t>(i)]
                                                   : static_cast<int32_t>(rng() % 400001) - 200000;
    r.range = static_cast<int32_t>(rng() % 8) - 1;  // -1 and 6 as from a damaged file
    r.unit = static_cast<int32_t>(rng() % 3);
    const double seconds = static_cast<double>(static_cast<int64_t>(rng() % 800000) - 100000);
    r.time = OleDate{base.value + seconds / 86400.0, rng() % 50 == 0 ? OleDate::Invalid : OleDate::Valid};
    const CsvSymbols symbols = csvSymbols(static_cast<int32_t>(rng() % 2), static_cast<int32_t>(rng() % 2));
    const bool relative = rng() % 2 == 0;
    ASSERT_EQ(csvExportRecordLine(i + 1, r, relative, base, symbols), printedRecordLine(i + 1, r, relative, base, symbols))
        << "value " << r.value << " range " << r.range << " unit " << r.unit;
  }
}

}  // namespace
}  // namespace lmv

namespace lmv {
namespace {

// Each line goes out in the locale's character set; what it cannot hold
// becomes its default character.
TEST(CsvLineEncoding, LocaleCharacterSetAndCrLf) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  std::string out;
  ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
  appendCsvLine(out, "No,日付");
  EXPECT_EQ(out, "No,日付\r\n");
  out.clear();
  ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
  appendCsvLine(out, "No,日付");
  EXPECT_EQ(out, "No,??\r\n");
  std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
}  // namespace lmv
