// The record information panel: its captions in both languages and the
// values the recording and the file commands write into it.
#include "record/record_info_widget.h"

#include <gtest/gtest.h>

#include <QLabel>

#include "record/record_controls.h"
#include "record_side.h"
#include "test_files.h"

namespace lmv {
namespace {

using test::RecordSide;

QString labelText(RecordSide& side, int control) {
  auto* label = qobject_cast<QLabel*>(side.host.control(kRecordInfoPage, control));
  EXPECT_NE(label, nullptr) << control;
  return label ? label->text() : QString();
}

struct CaptionCase {
  int language;
  std::vector<std::pair<int, const char*>> captions;
};

class RecordInfoCaptions : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(RecordInfoCaptions, ComeFromTheLanguageTable) {
  RecordSide side(GetParam().language);
  for (const auto& [control, text] : GetParam().captions) {
    EXPECT_EQ(labelText(side, control), QString::fromUtf8(text)) << control;
    // The whole caption is seen.
    QWidget* label = side.host.control(kRecordInfoPage, control);
    EXPECT_LE(label->fontMetrics().horizontalAdvance(labelText(side, control)), label->width()) << control;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Languages, RecordInfoCaptions,
    ::testing::Values(CaptionCase{kLanguageEnglish,
                                  {{1123, "Company"}, {1119, "Model"}, {1124, "Function"}, {1125, "Range"},
                                   {1126, "Memo"}, {1127, "Date"}, {1128, "Operator"}, {1129, "Temp/Humid"},
                                   {1130, "Interval"}, {1131, "Buffer"}}},
                      CaptionCase{kLanguageJapanese,
                                  {{1123, "会社名"}, {1119, "機種"}, {1124, "ファンクション"}, {1125, "レンジ"},
                                   {1126, "メモ"}, {1127, "日付"}, {1128, "測定者"}, {1129, "温度/湿度"},
                                   {1130, "インターバル"}, {1131, "バッファ"}}}));

TEST(RecordInfoWidget, ShowsTheHeaderTheMeterAndTheCount) {
  RecordSide side;
  EXPECT_EQ(labelText(side, kInfoDataCount), QStringLiteral("0"));  // until the first count
  side.settings.companyText = "TAVEK Ltd";
  side.settings.companyOn = 0;  // shown whether or not it goes into the CSV
  side.settings.operatorText = "Sato";
  side.settings.temperatureText = "23";
  side.settings.humidityText = "45";
  side.settings.intervalHours = 1;
  side.settings.intervalMinutes = 0;
  side.settings.intervalSeconds = 30;
  side.settings.memoText = "<b>not bold</b>";
  side.recording.refreshRecordInfo();
  side.recording.onMeterConnected(side.env.meter);
  side.putValue(1234);
  side.recording.onManual();
  side.recording.onManual();

  EXPECT_EQ(labelText(side, kInfoCompany), QStringLiteral("TAVEK Ltd"));
  EXPECT_EQ(labelText(side, kInfoOperator), QStringLiteral("Sato"));
  EXPECT_EQ(labelText(side, kInfoTempHumid), QStringLiteral("23℃/45%rh"));
  EXPECT_EQ(labelText(side, kInfoInterval), QStringLiteral("1h 30s"));
  EXPECT_EQ(labelText(side, kInfoMemo), QStringLiteral("<b>not bold</b>"));
  auto* memo = qobject_cast<QLabel*>(side.host.control(kRecordInfoPage, kInfoMemo));
  EXPECT_EQ(memo->textFormat(), Qt::PlainText);
  EXPECT_EQ(labelText(side, kInfoModel), QStringLiteral("LX5810"));
  EXPECT_EQ(labelText(side, kInfoSerialNumber), QStringLiteral("012345678"));
  EXPECT_EQ(labelText(side, kInfoFunction), QStringLiteral("LUX"));
  EXPECT_EQ(labelText(side, kInfoDataCount), QStringLiteral("2"));
  EXPECT_FALSE(labelText(side, kInfoRange).isEmpty());
  EXPECT_TRUE(side.host.missingControls().empty());

  side.recording.clearRecords(false);
  EXPECT_EQ(labelText(side, kInfoDataCount), QStringLiteral("1"));
}

}  // namespace
}  // namespace lmv
