// The decoding of one measurement pass, reply lines in, panel writes and the
// handed-over value out.
#include <gtest/gtest.h>

#include "link/measurement_pass.h"
#include "monitor/value_codes.h"
#include "recording_panel.h"

namespace lmv::test {
namespace {

TEST(DecodeStatus, OneWherePositionIsNotZeroAndPositionFiveAsDigit) {
  std::array<int32_t, kStatusLength> s{};
  ASSERT_TRUE(decodeStatus("0A00171101x0", s));
  EXPECT_EQ(s, (std::array<int32_t, kStatusLength>{0, 1, 0, 0, 1, 7, 1, 1, 0, 1, 1, 0}));
  ASSERT_TRUE(decodeStatus("00000x000000extra", s));
  EXPECT_EQ(s[StatusDigit], 0);
  s[1] = 5;
  EXPECT_FALSE(decodeStatus("00000000000", s));
  EXPECT_EQ(s[1], 5) << "a short reply leaves the status alone";
}

TEST(RangeLabelForReply, LuxAndFootCandleLabels) {
  struct Case {
    const char* reply;
    const char* lux;
    const char* fc;
  } cases[] = {
      {"Auto", "Auto", "Auto"}, {"20", "20", "2"},          {"200", "200", "20"},   {"2k", "2000", "200"},
      {"20k", "20000", "2000"}, {"200k", "200000", "20000"}, {"2M", "2M", "2M"},     {"", "", ""},
      {"12k", "12000", "1200"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(rangeLabelForReply(c.reply, false), c.lux) << c.reply;
    EXPECT_EQ(rangeLabelForReply(c.reply, true), c.fc) << c.reply;
  }
}

TEST(SplitMeasurementReply, FieldsAndTheFieldLengthRule) {
  const std::string f30(30, '7');
  const std::string f31(31, '7');
  struct Case {
    std::string reply;
    MeasurementFields expected;
  } cases[] = {
      {"1234,1234,2", {"1234", "1234", "2"}},
      {"-5,-5,1,extra", {"-5", "-5", "1,extra"}},
      {",,", {"", "", ""}},
      {f30 + ",1," + f30, {f30, "1", f30}},
      {f31 + ",1,2", {"0", "0", "100"}},
      {"1," + f31 + ",2", {"1", "0", "100"}},
      {"1,2," + f31, {"1", "2", "100"}},
      {"1234", {"0", "0", "100"}},
      {"1234,1234", {"0", "0", "100"}},
      {"", {"0", "0", "100"}},
  };
  for (const auto& c : cases) EXPECT_EQ(splitMeasurementReply(c.reply), c.expected) << c.reply;
}

TEST(LeadingInteger, SignDigitsAndLimits) {
  EXPECT_EQ(leadingInteger("1234"), 1234);
  EXPECT_EQ(leadingInteger("-0005x"), -5);
  EXPECT_EQ(leadingInteger("+7"), 7);
  EXPECT_EQ(leadingInteger(" 12"), 12);
  EXPECT_EQ(leadingInteger("x12"), 0);
  EXPECT_EQ(leadingInteger(""), 0);
  EXPECT_EQ(leadingInteger("-"), 0);
  EXPECT_EQ(leadingInteger("99999999999"), 2147483647);
  EXPECT_EQ(leadingInteger("-99999999999"), -2147483647 - 1);
}

// Status texts: sensor connected (position 7), lux or foot-candle (9), auto (4).
constexpr const char* kLux = "000000010000";
constexpr const char* kFc = "000000010100";
constexpr const char* kLuxAuto = "000010010000";
constexpr const char* kNoSensor = "000000000000";

struct PassCase {
  const char* name;
  PassReplies replies;
  ReplyVerdict verdict;
  const char* valueText;
  const char* unitText;
  const char* rangeText;
  int32_t valueCode;
  int32_t overMark;
  int32_t rangeIndex;
  std::vector<std::string> panel;
};

class InterpretReplies : public ::testing::TestWithParam<PassCase> {};

TEST_P(InterpretReplies, ShowsAndHandsOver) {
  const PassCase& c = GetParam();
  MeasurementBlock b;  // as after a connect: combos never filled
  PassValue out;
  RecordingPanel panel;
  EXPECT_EQ(interpretReplies(b, c.replies, out, panel), c.verdict);
  applyFallbackIfNeeded(b, out, panel);
  EXPECT_EQ(out.value.valueText, c.valueText);
  EXPECT_EQ(out.value.unitText, c.unitText);
  EXPECT_EQ(out.value.rangeText, c.rangeText);
  EXPECT_EQ(out.value.functionText, "LUX");
  EXPECT_EQ(out.pasteFunctionText, "LUX");
  EXPECT_EQ(out.valueCode, c.valueCode);
  EXPECT_EQ(out.value.overMark, c.overMark);
  EXPECT_EQ(b.overFlag, c.overMark);
  EXPECT_EQ(b.invalidValueFlag, c.valueCode == CodeNoValue ? 1 : 0);
  EXPECT_EQ(b.rangeIndex, c.rangeIndex);
  EXPECT_EQ(panel.log, c.panel);
}

const std::string kLuxLabels = "[Auto,20,200,2000,20000,200000]";
const std::string kFcLabels = "[Auto,2,20,200,2000,20000]";

INSTANTIATE_TEST_SUITE_P(
    Table, InterpretReplies,
    ::testing::Values(
        PassCase{"Lux",
                 {kLux, "1234,1234,2", "2k"},
                 ReplyVerdict::ValueShown,
                 "1234",
                 "lx",
                 "2000",
                 1234,
                 0,
                 3,
                 {"label 2000", "fill LUX " + kLuxLabels + " 3", "value 1234", "unit lx"}},
        PassCase{"FootCandle",
                 {kFc, "1234,1234,2", "2k"},
                 ReplyVerdict::ValueShown,
                 "123.4",
                 "FC",
                 "200",
                 1234,
                 0,
                 3,
                 {"label 200", "fill LUX " + kFcLabels + " 3", "value 123.4", "unit FC"}},
        PassCase{"TwoDecimals",
                 {kLux, "5,5,0", "20"},
                 ReplyVerdict::ValueShown,
                 "0.05",
                 "lx",
                 "20",
                 5,
                 0,
                 1,
                 {"label 20", "fill LUX " + kLuxLabels + " 1", "value 0.05", "unit lx"}},
        PassCase{"RangeMismatch",
                 {kLux, "1234,1234,1", "2k"},
                 ReplyVerdict::ValueShown,
                 "----",
                 "lx",
                 "2000",
                 CodeNoValue,
                 0,
                 3,
                 {"label 2000", "fill LUX " + kLuxLabels + " 3", "value ----", "unit lx"}},
        PassCase{"RangeMismatchKeepsDecimalPoint",
                 {kLux, "1234,1234,3", "200"},
                 ReplyVerdict::ValueShown,
                 "---.-",
                 "lx",
                 "200",
                 CodeNoValue,
                 0,
                 2,
                 {"label 200", "fill LUX " + kLuxLabels + " 2", "value ---.-", "unit lx"}},
        PassCase{"NoSensor",
                 {kNoSensor, "1000000,1000000,2", "2k"},
                 ReplyVerdict::ValueShown,
                 "n.c.  ",
                 "lx",
                 "2000",
                 CodeNotConnected,
                 0,
                 3,
                 {"label 2000", "fill LUX " + kLuxLabels + " 3", "value n.c.  ", "unit lx"}},
        PassCase{"NoSensorBeatsMismatch",
                 {kNoSensor, "1,1,4", "2k"},
                 ReplyVerdict::ValueShown,
                 "n.c.  ",
                 "lx",
                 "2000",
                 CodeNotConnected,
                 0,
                 3,
                 {"label 2000", "fill LUX " + kLuxLabels + " 3", "value n.c.  ", "unit lx"}},
        PassCase{"Over",
                 {kLux, "1000000,1000000,1", "200"},
                 ReplyVerdict::ValueShown,
                 "200.0",
                 "lx",
                 "200",
                 CodeOver,
                 1,
                 2,
                 {"label 200", "fill LUX " + kLuxLabels + " 2", "value 200.0", "unit lx"}},
        PassCase{"OverNegativeFootCandle",
                 {kFc, "-1000000,-1000000,1", "200"},
                 ReplyVerdict::ValueShown,
                 "-18.59",
                 "FC",
                 "20",
                 CodeOverNegative,
                 1,
                 2,
                 {"label 20", "fill LUX " + kFcLabels + " 2", "value -18.59", "unit FC"}},
        PassCase{"AutoRangeSelectsAuto",
                 {kLuxAuto, "1234,1234,1", "200"},
                 ReplyVerdict::ValueShown,
                 "123.4",
                 "lx",
                 "200",
                 1234,
                 0,
                 2,
                 {"label 200", "fill LUX " + kLuxLabels + " 0", "value 123.4", "unit lx"}},
        PassCase{"CommandError",
                 {kLux, "CMD ERR", "20"},
                 ReplyVerdict::NotRecognised,
                 "--.--",
                 "lx",
                 "20",
                 CodeNoValue,
                 0,
                 1,
                 {"label 20", "fill LUX " + kLuxLabels + " 1", "value Error", "value --.--", "unit lx"}},
        PassCase{"UnknownRangeWord",
                 {kFc, "1234,1234,2", "2M"},
                 ReplyVerdict::NotRecognised,
                 "----",
                 "FC",
                 "2M",
                 CodeNoValue,
                 0,
                 0,
                 {"label 2M", "value ----", "unit FC"}},
        PassCase{"ShortStatus",
                 {"0000", "1234,1234,2", "2k"},
                 ReplyVerdict::NotRecognised,
                 "----",
                 "lx",
                 "",
                 CodeNoValue,
                 0,
                 0,
                 {"value ----", "unit lx"}},
        PassCase{"FewerThanTwoCommas",
                 {kLux, "1234", "2k"},
                 ReplyVerdict::ValueShown,
                 "----",
                 "lx",
                 "2000",
                 CodeNoValue,
                 0,
                 3,
                 {"label 2000", "fill LUX " + kLuxLabels + " 3", "value ----", "unit lx"}},
        PassCase{"EmptyCountInAutoShowsFallback",
                 {kLux, "1,,-1", "Auto"},
                 ReplyVerdict::ValueShown,
                 "----",
                 "lx",
                 "Auto",
                 CodeNoValue,
                 0,
                 0,
                 {"label Auto", "fill LUX " + kLuxLabels + " 0", "value ", "unit ", "value ----", "unit lx"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InterpretRepliesAcrossPasses, CombosFilledOnceThenOnlyReselected) {
  MeasurementBlock b;
  RecordingPanel panel;
  PassValue out;
  interpretReplies(b, {kLux, "1234,1234,2", "2k"}, out, panel);
  EXPECT_EQ(b.shownFunctionIndex, 0);
  EXPECT_EQ(b.shownRangeIndex, 3);
  panel.log.clear();

  out = {};
  interpretReplies(b, {kLux, "123,123,2", "2k"}, out, panel);
  EXPECT_EQ(panel.log, (std::vector<std::string>{"label 2000", "value 123", "unit lx"}));

  panel.log.clear();
  out = {};
  interpretReplies(b, {kLuxAuto, "99,99,2", "2k"}, out, panel);
  EXPECT_EQ(panel.log, (std::vector<std::string>{"label 2000", "select 0", "value 99", "unit lx"}));
  EXPECT_EQ(b.autoRange, 1);
  EXPECT_EQ(b.shownRangeIndex, 0);

  // A mode change refills both lists even when nothing else moved.
  panel.log.clear();
  out = {};
  b.functionChangeRequest = 1;
  interpretReplies(b, {kLuxAuto, "99,99,2", "2k"}, out, panel);
  EXPECT_EQ(panel.log[1], "fill LUX " + kLuxLabels + " 0");
}

TEST(HandOver, BothCopiesAndTheTemplateIntegers) {
  MeasurementBlock b;
  RecordingPanel panel;
  PassValue out;
  interpretReplies(b, {kFc, "1234,1234,2", "2k"}, out, panel);
  const HandOverValue h = makeHandOver(b, out);
  EXPECT_EQ(h.recordCopy.valueText, "123.4");
  EXPECT_EQ(h.pasteCopy.valueText, "123.4");
  EXPECT_EQ(h.pasteCopy.functionText, "LUX");
  EXPECT_EQ(h.valueCode, 1234);
  EXPECT_EQ(h.rangeIndex, 3);
  EXPECT_EQ(h.unitCode, 1);
  EXPECT_EQ(h.functionIndex, 0);
  EXPECT_EQ(h.reserved, 0);

  EXPECT_FALSE(recordingMustStopAtHandOver(b, 0));
  b.statusInvalid = 1;
  EXPECT_TRUE(recordingMustStopAtHandOver(b, 0));
  b.statusInvalid = 0;
  EXPECT_TRUE(recordingMustStopAtHandOver(b, 1));
}

TEST(CountFailure, EveryFourthFailureInARowIsReported) {
  struct Case {
    LinkResult failure;
    FailureReport fourth;
  } cases[] = {
      {LineOverflow, FailureReport::BufferOver},
      {SendFailed, FailureReport::CommandNotSent},
      {LinkTimeout, FailureReport::NoResponse},
      {LinkError, FailureReport::NoResponse},
  };
  for (const auto& c : cases) {
    int32_t errors = 0;
    for (int i = 1; i <= 3; ++i) {
      EXPECT_EQ(countFailure(c.failure, errors), FailureReport::None);
      EXPECT_EQ(errors, i);
    }
    EXPECT_EQ(countFailure(c.failure, errors), c.fourth);
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(countFailure(c.failure, errors), FailureReport::None) << "the fifth starts counting again";
    EXPECT_EQ(errors, 1);
  }
}

TEST(SharedMeasurementBlock, RequestsAreOneShotAndSurviveAPass) {
  SharedMeasurementBlock shared;
  EXPECT_TRUE(shared.selectRange(3));
  EXPECT_FALSE(shared.selectRange(3));
  MeasurementBlock b = shared.takeForPass();
  EXPECT_EQ(b.rangeChangeRequest, 1);
  EXPECT_EQ(shared.snapshot().rangeChangeRequest, 0);

  // A request raised while the pass runs is kept when the pass stores back.
  EXPECT_TRUE(shared.selectMode(1));
  b.rangeChangeRequest = 0;
  b.rangeIndex = 4;
  b.overFlag = 1;
  b.status[StatusUnit] = 1;
  shared.storeAfterPass(b);
  EXPECT_EQ(shared.snapshot().functionChangeRequest, 1);
  EXPECT_EQ(shared.rangeIndex(), 4);
  EXPECT_EQ(shared.overFlag(), 1);
  EXPECT_EQ(shared.unitCode(), 1);

  shared.resetStatus();
  shared.resetShown();
  EXPECT_EQ(shared.statusInvalid(), 1);
  EXPECT_EQ(shared.unitCode(), 0);
  EXPECT_EQ(shared.snapshot().shownRangeIndex, -1);
  EXPECT_EQ(shared.status(-1), 0);
  EXPECT_EQ(shared.status(12), 0);
}

}  // namespace
}  // namespace lmv::test
