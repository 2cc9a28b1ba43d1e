#include "monitor/extremes.h"

#include <gtest/gtest.h>

#include "monitor/value_codes.h"

namespace lmv {
namespace {

ExtremeRecord sample(int32_t code, int32_t range, double time = 1.0) {
  return ExtremeRecord{OleDate{time, OleDate::Valid}, 0, code, range};
}

TEST(Extremes, FirstSampleIsStoredAndClearsTheFlag) {
  bool first = true;
  ExtremeRecord max;
  EXPECT_TRUE(updateMax(first, max, sample(-40, 2), false));
  EXPECT_FALSE(first);
  EXPECT_EQ(max.valueCode, -40);
}

TEST(Extremes, NoValueAndNoSensorNeverCount) {
  for (int32_t code : {CodeNoValue, CodeNotConnected}) {
    bool first = true;
    ExtremeRecord max;
    EXPECT_FALSE(updateMax(first, max, sample(code, 1), false));
    EXPECT_TRUE(first) << code;
  }
}

TEST(Extremes, SkipOverSwitchDecidesWhetherOverRangeCounts) {
  bool first = false;
  ExtremeRecord max = sample(500, 2);
  EXPECT_FALSE(updateMax(first, max, sample(CodeOver, 2), true));
  EXPECT_EQ(max.valueCode, 500);
  EXPECT_TRUE(updateMax(first, max, sample(CodeOver, 2), false));
  EXPECT_EQ(max.valueCode, CodeOver);
  ExtremeRecord min = sample(500, 2);
  EXPECT_FALSE(updateMin(first, min, sample(CodeOverNegative, 2), true));
  EXPECT_TRUE(updateMin(first, min, sample(CodeOverNegative, 2), false));
}

struct CrossRangeCase {
  const char* name;
  bool isMax;
  int32_t storedCode, storedRange, newCode, newRange;
  bool replaced;
};

class ExtremesAcrossRanges : public ::testing::TestWithParam<CrossRangeCase> {};

TEST_P(ExtremesAcrossRanges, ComparesDecadeByDecade) {
  const auto& c = GetParam();
  bool first = false;
  ExtremeRecord stored = sample(c.storedCode, c.storedRange, 1.0);
  const ExtremeRecord fresh = sample(c.newCode, c.newRange, 2.0);
  const bool changed = c.isMax ? updateMax(first, stored, fresh, false) : updateMin(first, stored, fresh, false);
  EXPECT_EQ(changed, c.replaced);
  EXPECT_EQ(stored.time.value, c.replaced ? 2.0 : 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtremesAcrossRanges,
    ::testing::Values(
        // 200 >= trunc(1999 / 10) = 199
        CrossRangeCase{"HigherRangeWins", true, 1999, 3, 200, 4, true},
        CrossRangeCase{"HigherRangeTooSmall", true, 1999, 3, 198, 4, false},
        // the later of two equal samples wins
        CrossRangeCase{"EqualReplacesMax", true, 500, 2, 500, 2, true},
        CrossRangeCase{"EqualReplacesMin", false, 500, 2, 500, 2, true},
        CrossRangeCase{"LowerRangeScaledDown", true, 150, 3, 1509, 2, true},
        CrossRangeCase{"LowerRangeScaledDownTooSmall", true, 151, 3, 1509, 2, false},
        CrossRangeCase{"MinAcrossRanges", false, 1999, 3, 199, 4, true},
        CrossRangeCase{"MinSameRangeLarger", false, 10, 1, 11, 1, false},
        CrossRangeCase{"NegativeTruncatesTowardZero", true, -19, 1, -1, 2, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Extremes, HostileRangeIndexesStayDefined) {
  bool first = false;
  ExtremeRecord max = sample(5, INT32_MIN);
  EXPECT_TRUE(updateMax(first, max, sample(0, INT32_MAX), false));
}

}  // namespace
}  // namespace lmv
