#include "monitor/format_value.h"

#include <gtest/gtest.h>

#include "monitor/value_codes.h"

namespace lmv {
namespace {

struct StoredCase {
  const char* name;
  int32_t code;
  int32_t range;
  int32_t unit;
  const char* symbol;
  const char* expected;
};

class StoredValueFormat : public ::testing::TestWithParam<StoredCase> {};

TEST_P(StoredValueFormat, GivesDisplayText) {
  const auto& c = GetParam();
  EXPECT_EQ(formatStoredValue(c.code, c.range, c.unit, c.symbol), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredValueFormat,
    ::testing::Values(
        StoredCase{"LuxRange1Small", 5, 1, UnitLux, ".", "0.05"},
        StoredCase{"LuxRange1Negative", -5, 1, UnitLux, ".", "-0.05"},
        StoredCase{"LuxRange1Full", 1234, 1, UnitLux, ".", "12.34"},
        StoredCase{"FootCandleRange1", 12, 1, UnitFootCandle, ".", "0.012"},
        StoredCase{"LuxRange3NoDecimals", 987, 3, UnitLux, ".", "987"},
        StoredCase{"OverLuxRange2", CodeOver, 2, UnitLux, ".", "200.0"},
        StoredCase{"OverNegativeFootCandleRange2", CodeOverNegative, 2, UnitFootCandle, ".", "-18.59"},
        StoredCase{"OverLuxRange1", CodeOver, 1, UnitLux, ".", "20.00"},
        StoredCase{"OverFootCandleRange1", CodeOver, 1, UnitFootCandle, ".", "1.859"},
        StoredCase{"NoValueRange1", CodeNoValue, 1, UnitLux, ".", "--.--"},
        StoredCase{"NoValueFootCandleRange1", CodeNoValue, 1, UnitFootCandle, ".", "-.---"},
        StoredCase{"NoValueAuto", CodeNoValue, 0, UnitLux, ".", "----"},
        StoredCase{"NoSensor", CodeNotConnected, 2, UnitLux, ".", "n.c.  "},
        StoredCase{"NoSensorAuto", CodeNotConnected, 0, UnitFootCandle, ",", "n.c.  "},
        StoredCase{"CommaSymbol", 123, 2, UnitLux, ",", "12,3"},
        StoredCase{"ZeroInTwoDecimals", 0, 1, UnitLux, ".", "0.00"},
        StoredCase{"DamagedRangeIndex", 1234, 77, UnitLux, ".", "1234"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MonitorValueFormat, DigitCountComesFromTheDisplayField) {
  // The monitor formats the count field with the sign and digit count of the
  // display field of the same reply.
  EXPECT_EQ(formatValue("1234", "1234", ValueKind::Normal, 1, UnitLux, "."), "12.34");
  EXPECT_EQ(formatValue("-5", "-5", ValueKind::Normal, 1, UnitLux, "."), "-0.05");
  EXPECT_EQ(formatValue("1000000", "-1000000", ValueKind::Over, 3, UnitFootCandle, "."), "-185.9");
}

TEST(MonitorValueFormat, MismatchedFieldsNeverLeaveTheText) {
  // A display field longer than the count cannot put the symbol outside it.
  EXPECT_EQ(formatValue("5", "00005", ValueKind::Normal, 1, UnitLux, "."), "5.");
  EXPECT_EQ(formatValue("", "", ValueKind::Normal, 1, UnitLux, "."), "0.00");
}

}  // namespace
}  // namespace lmv
