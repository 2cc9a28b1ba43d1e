#include "record/time_text.h"

#include <gtest/gtest.h>

namespace lmv {
namespace {

OleDate at(int y, int mo, int d, int h, int mi, int s) { return oleDateFromFields({y, mo, d, h, mi, s}); }

TEST(OleDate, KnownDayNumbers) {
  EXPECT_EQ(at(1899, 12, 30, 0, 0, 0).value, 0.0);
  EXPECT_EQ(at(1900, 1, 1, 0, 0, 0).value, 2.0);
  EXPECT_DOUBLE_EQ(at(2014, 7, 7, 12, 0, 0).value, 41827.5);
  EXPECT_DOUBLE_EQ(at(1899, 12, 29, 6, 0, 0).value, -1.25);
  EXPECT_EQ(at(2014, 4, 31, 0, 0, 0).status, OleDate::Invalid);
  EXPECT_EQ(at(10000, 1, 1, 0, 0, 0).status, OleDate::Invalid);
}

TEST(OleDate, FieldsRoundTripEverySecondOfADay) {
  for (int s = 0; s < 86400; s += 7) {
    CalendarTime t{2024, 2, 29, s / 3600, s / 60 % 60, s % 60};
    auto back = oleDateFields(oleDateFromFields(t));
    ASSERT_TRUE(back.has_value());
    ASSERT_EQ(*back, t) << s;
  }
}

TEST(OleDate, FromTimeUsesLocalTime) {
  setenv("TZ", "Asia/Tokyo", 1);
  tzset();
  // 2014-07-07 00:05:03 UTC is 09:05:03 in Tokyo.
  EXPECT_EQ(absoluteTimeText(oleDateFromTime(1404691503)), "2014/07/07,09:05:03");
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(absoluteTimeText(oleDateFromTime(1404691503)), "2014/07/07,00:05:03");
}

TEST(AbsoluteTimeText, FormatsAndMarksUnknownFields) {
  EXPECT_EQ(absoluteTimeText(at(2014, 7, 7, 9, 5, 3)), "2014/07/07,09:05:03");
  EXPECT_EQ(absoluteTimeText(OleDate{}), "1899/12/30,00:00:00");
  EXPECT_EQ(absoluteTimeText(OleDate{1.0, OleDate::Invalid}), "-001/-1/-1,-1:-1:-1");
  EXPECT_EQ(absoluteTimeText(OleDate{1e9, OleDate::Valid}), "-001/-1/-1,-1:-1:-1");
}

struct RelativeCase {
  const char* name;
  double seconds;
  const char* expected;
};

class RelativeTimeText : public ::testing::TestWithParam<RelativeCase> {};

TEST_P(RelativeTimeText, RoundsToTheNearestSecond) {
  const OleDate base = at(2020, 1, 1, 0, 0, 0);
  const OleDate date{base.value + GetParam().seconds / 86400.0, OleDate::Valid};
  EXPECT_EQ(relativeTimeText(date, base), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RelativeTimeText,
    ::testing::Values(RelativeCase{"Zero", 0, "00:00:00"}, RelativeCase{"OneTwoFour", 3724, "01:02:04"},
                      RelativeCase{"HundredHours", 360000, "100:00:00"},
                      RelativeCase{"JustAboveHalf", 0.51, "00:00:01"},
                      RelativeCase{"JustBelowHalf", 0.49, "00:00:00"},
                      RelativeCase{"TwentySixHours", 93600, "26:00:00"},
                      RelativeCase{"NegativeTruncates", -61, "00:-1:-1"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lmv
