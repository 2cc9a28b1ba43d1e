#include "sheet/sheet_row.h"

#include <gtest/gtest.h>

#include <vector>

namespace lmv {
namespace {

MeasuredValue reading(const char* range, const char* value, const char* unit, int32_t over) {
  MeasuredValue v;
  v.rangeText = range;
  v.valueText = value;
  v.unitText = unit;
  v.functionText = "LUX";
  v.overMark = over;
  return v;
}

std::vector<std::string> texts(const std::vector<RowCell>& cells) {
  std::vector<std::string> out;
  for (const RowCell& c : cells) out.push_back(c.text);
  return out;
}

TEST(SheetRowCells, SevenTextsInOrder) {
  struct Case {
    const char* name;
    int32_t rowNumber;
    OleDate time;
    MeasuredValue value;
    std::vector<std::string> expected;
  };
  const OleDate invalid{45000.5, OleDate::Invalid};
  const OleDate outOfCalendar{1e9, OleDate::Valid};
  const Case cases[] = {
      {"reading", 1, oleDateFromFields({2024, 1, 31, 9, 5, 7}), reading("200", "123.4", "lx", 0),
       {"1", "2024/01/31", "09:05:07", "200", "123.4", "lx", ""}},
      {"over range", 42, oleDateFromFields({2023, 12, 1, 23, 59, 59}), reading("20", "1.859", "FC", 1),
       {"42", "2023/12/01", "23:59:59", "20", "1.859", "FC", "OVER"}},
      {"no sensor", 7, oleDateFromFields({2024, 2, 29, 0, 0, 0}), reading("Auto", "n.c.  ", "", 0),
       {"7", "2024/02/29", "00:00:00", "Auto", "n.c.  ", "", ""}},
      {"invalid time", 3, invalid, reading("2000", "12", "lx", 0),
       {"3", "-001/-1/-1", "-1:-1:-1", "2000", "12", "lx", ""}},
      {"time beyond the calendar", 3, outOfCalendar, reading("2000", "12", "lx", 0),
       {"3", "-001/-1/-1", "-1:-1:-1", "2000", "12", "lx", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(texts(sheetRowCells(c.rowNumber, c.time, c.value)), c.expected);
  }
}

TEST(SheetRowCells, WidthsOfDateTimeAndReadingColumns) {
  const auto cells = sheetRowCells(1, oleDateNow(), reading("200", "1.0", "lx", 0));
  std::vector<double> widths;
  for (const RowCell& c : cells) widths.push_back(c.widthInChars);
  EXPECT_EQ(widths, (std::vector<double>{0, 10, 8.38, 8, 8, 8, 8}));
}

TEST(ColumnWidth, CharactersOfTheStandardFontInHundredthsMm) {
  // Ten digits of 5.56 pt plus 3.75 pt padding are 59.36 pt, 20.94 mm.
  EXPECT_EQ(columnWidthHundredthsMm(10), 2094);
  EXPECT_EQ(columnWidthHundredthsMm(8), 1702);
  EXPECT_EQ(columnWidthHundredthsMm(8.38), 1776);
  EXPECT_LT(columnWidthHundredthsMm(8), columnWidthHundredthsMm(8.38));
  EXPECT_EQ(columnWidthHundredthsMm(0), 0);
  EXPECT_EQ(columnWidthHundredthsMm(-3), 0);
  EXPECT_EQ(columnWidthHundredthsMm(1e12), columnWidthHundredthsMm(255));
}

}  // namespace
}  // namespace lmv
