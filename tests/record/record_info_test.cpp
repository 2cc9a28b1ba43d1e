#include "record/record_info.h"

#include <gtest/gtest.h>

#include "fake_ui_host.h"
#include "monitor/value_codes.h"

namespace lmv {
namespace {

TEST(IntervalText, NamesOnlyTheNonZeroParts) {
  struct Case {
    int h, m, s;
    const char* text;
  };
  for (const Case& c : {Case{0, 0, 1, "1s"}, Case{1, 0, 30, "1h 30s"}, Case{0, 10, 0, "10m"}, Case{2, 0, 0, "2h"},
                        Case{0, 0, 0, "0s"}, Case{99, 59, 59, "99h 59m 59s"}}) {
    EXPECT_EQ(intervalText(c.h, c.m, c.s), c.text) << c.text;
  }
}

TEST(RecordInfoTexts, TemperatureModelAndRange) {
  EXPECT_EQ(tempHumidText("23.5", "45"), "23.5℃/45%rh");
  EXPECT_EQ(tempHumidText("", ""), "℃/%rh");
  EXPECT_EQ(modelNameText(0), "LX5810");
  EXPECT_EQ(modelNameText(1), "LX5811");
  EXPECT_EQ(modelNameText(2), "");
  EXPECT_EQ(modelNameText(-1), "");
  EXPECT_EQ(recordRangeText(3, UnitLux), "2000 lx");
  EXPECT_EQ(recordRangeText(2, UnitFootCandle), "20 FC");
  EXPECT_EQ(recordRangeText(0, UnitLux), "Auto lx");
}

class RecordInfoPageTest : public ::testing::Test {
 protected:
  std::string shown(int control) const { return host.text(control, kRecordInfoPage); }
  test::FakeUiHost host;
  RecordInfoPage page{host};
  RecordHeader header;
  RecordSettings settings;
};

TEST_F(RecordInfoPageTest, RefreshShowsHeaderAndIntervalButNeverTheTitle) {
  header.companyText = "TAVEK";
  header.companyOn = 0;  // shown all the same
  header.titleText = "never shown";
  header.dateText = "2014/07/07";
  header.operatorText = "Op";
  header.temperatureText = "20";
  header.humidityText = "50";
  header.memoText = "memo";
  settings.intervalHours = 1;
  settings.intervalSeconds = 30;
  page.showDataCount(7);
  page.refreshRecordInfo(header, settings, true, false);
  EXPECT_EQ(shown(kInfoCompany), "TAVEK");
  EXPECT_EQ(shown(kInfoDate), "2014/07/07");
  EXPECT_EQ(shown(kInfoOperator), "Op");
  EXPECT_EQ(shown(kInfoTempHumid), "20℃/50%rh");
  EXPECT_EQ(shown(kInfoInterval), "1h 30s");
  EXPECT_EQ(shown(kInfoMemo), "memo");
  EXPECT_EQ(shown(kInfoDataCount), "7");
  for (int id : {kInfoCompany, kInfoDate, kInfoOperator, kInfoTempHumid, kInfoInterval, kInfoMemo, kInfoModel,
                 kInfoSerialNumber, kInfoFunction, kInfoRange, kInfoDataCount}) {
    EXPECT_NE(shown(id), "never shown");
  }
}

TEST_F(RecordInfoPageTest, MeterFieldsStayWhileConnectedOrBound) {
  struct Case {
    bool connected, bound, kept;
  };
  for (const Case& c : {Case{true, false, true}, Case{false, true, true}, Case{false, false, false}}) {
    page.showMeter(1, "SN42");
    page.showLastSample("2000 lx");
    page.refreshRecordInfo(header, settings, c.connected, c.bound);
    EXPECT_EQ(shown(kInfoModel), c.kept ? "LX5811" : "");
    EXPECT_EQ(shown(kInfoSerialNumber), c.kept ? "SN42" : "");
    EXPECT_EQ(shown(kInfoFunction), c.kept ? "LUX" : "");
    EXPECT_EQ(shown(kInfoRange), c.kept ? "2000 lx" : "");
  }
}

TEST_F(RecordInfoPageTest, FunctionTextAfterALanguageSwitchDependsOnTheModel) {
  page.showFunctionForModel(1);
  EXPECT_EQ(shown(kInfoFunction), "");
  page.showFunctionForModel(0);
  EXPECT_EQ(shown(kInfoFunction), "LUX");
}

}  // namespace
}  // namespace lmv
