// The settings dialog over a recording user interface: opening, the
// immediate reactions, the OK checks in their order and Cancel.
#include "app/settings_dialog.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "fake_ui_host.h"
#include "link/port_numbering.h"
#include "ui/language_table.h"
#include "ui/settings_controls.h"

namespace lmv {
namespace {

constexpr char kToday[] = "2026/12/10";
constexpr char kIntegerMessage[] = "整数を入力してください。";

std::vector<_COM_LIST> twoPorts() {
  return {{"TAVEK LX5810 (ttyACM0)", 1, "/dev/ttyACM0"}, {"TAVEK LX5810 (ttyUSB2)", 103, "/dev/ttyUSB2"}};
}

class SettingsDialogTest : public testing::Test {
 protected:
  void SetUp() override { FillLanguageTable(kLanguageEnglish); }

  void open(bool recording = false, int32_t port = 103) { dialog.open(twoPorts(), port, recording); }

  // The user types a text into an edit.
  void type(int control, const std::string& text) { dialog.onTextEdited(control, text); }

  std::string lastMessage() const {
    const auto messages = ui.messages();
    return messages.empty() ? std::string() : messages.back().text;
  }

  test::FakeUiHost ui;
  AppSettings settings;
  SharedState shared;
  SettingsDialog dialog{ui, settings, shared, [] { return std::string(kToday); }};
};

TEST_F(SettingsDialogTest, OpeningShowsTheSettingsAndSetsTheFlag) {
  settings.intervalSeconds = 7;
  settings.companyText = "Acme";
  settings.companyOn = 0;
  open();
  EXPECT_TRUE(ui.dialogOpen(kSettingsDialog));
  EXPECT_EQ(shared.settingsDialogOpen.load(), 1);
  EXPECT_EQ(ui.windowTitle(kSettingsDialog), "Setting");
  EXPECT_EQ(ui.tabText(kSettingsTab, 0, kSettingsDialog), "Communication Setup");
  EXPECT_EQ(ui.tabText(kSettingsTab, 2, kSettingsDialog), "Save Settings");
  EXPECT_EQ(ui.text(kIntervalSecondsEdit, kRecordPage), "7");
  EXPECT_EQ(ui.text(kCompanyEdit, kSavePage), "Acme");
  EXPECT_FALSE(ui.enabled(kCompanyEdit, kSavePage));
  EXPECT_TRUE(ui.checked(kAutoConnectCheck, kCommPage));
  EXPECT_EQ(ui.comboItems(kTimeDisplayCombo, kRecordPage),
            (std::vector<std::string>{"Real time clock", "Relative Time"}));
  EXPECT_EQ(ui.comboSelection(kTimeDisplayCombo, kRecordPage), 0);
  // Automatic date: today's date, field disabled.
  EXPECT_EQ(ui.text(kDateEdit, kSavePage), kToday);
  EXPECT_FALSE(ui.enabled(kDateEdit, kSavePage));
  // Baud rate and fast interval are never offered.
  EXPECT_FALSE(ui.visible(kBaudCombo, kCommPage));
  EXPECT_FALSE(ui.enabled(kBaudCombo, kCommPage));
  EXPECT_FALSE(ui.visible(kFastIntervalRadio, kRecordPage));
  EXPECT_FALSE(ui.visible(kFastIntervalCombo, kRecordPage));
  // By data count: the record-time fields are disabled.
  EXPECT_TRUE(ui.enabled(kDataCountEdit, kRecordPage));
  EXPECT_FALSE(ui.enabled(kRecordSecondsEdit, kRecordPage));
  EXPECT_FALSE(ui.enabled(kRecordSecondsLabel, kRecordPage));
}

TEST_F(SettingsDialogTest, JapaneseTimeDisplayItemsKeepTheirLeadingBlank) {
  FillLanguageTable(kLanguageJapanese);
  open();
  EXPECT_EQ(ui.comboItems(kTimeDisplayCombo, kRecordPage), (std::vector<std::string>{" 現在時刻", " 経過時間"}));
  FillLanguageTable(kLanguageEnglish);
}

TEST_F(SettingsDialogTest, PortListNamesTheDevicesAndSelectsTheCurrentPort) {
  open(false, 103);
  EXPECT_EQ(ui.comboItems(kPortCombo, kCommPage), (std::vector<std::string>{" ttyACM0", " ttyUSB2"}));
  EXPECT_EQ(ui.comboSelection(kPortCombo, kCommPage), 1);
  EXPECT_EQ(dialog.selectedPortIndex(), 1);
  EXPECT_EQ(dialog.selectedPortNumber(), 103);
}

TEST_F(SettingsDialogTest, UnknownCurrentPortSelectsTheFirst) {
  open(false, kNoPort);
  EXPECT_EQ(ui.comboSelection(kPortCombo, kCommPage), 0);
  EXPECT_EQ(dialog.selectedPortNumber(), 1);
}

TEST_F(SettingsDialogTest, DeviceChangeRebuildsThePortListAndReselectsCurrentPort) {
  open(false, 1);
  EXPECT_EQ(dialog.selectedPortIndex(), 0);
  std::vector<_COM_LIST> ports = {{"other", 2, "/dev/ttyACM1"}, {"meter", 1, "/dev/ttyACM0"}};
  dialog.refreshPortList(ports, 1);
  EXPECT_EQ(ui.comboItems(kPortCombo, kCommPage), (std::vector<std::string>{" ttyACM1", " ttyACM0"}));
  EXPECT_EQ(ui.comboSelection(kPortCombo, kCommPage), 1);
  EXPECT_EQ(dialog.selectedPortNumber(), 1);
  // An empty list keeps the position chosen before.
  dialog.refreshPortList({}, 1);
  EXPECT_TRUE(ui.comboItems(kPortCombo, kCommPage).empty());
  EXPECT_EQ(dialog.selectedPortIndex(), 1);
}

TEST_F(SettingsDialogTest, RecordingLocksThePortAndTheRecordSettingsOnly) {
  open(true);
  EXPECT_FALSE(ui.enabled(kPortCombo, kCommPage));
  for (int control : {kNormalIntervalRadio, kIntervalHoursEdit, kIntervalMinutesEdit, kIntervalSecondsEdit,
                      kByDataCountRadio, kDataCountEdit, kByRecordTimeRadio, kRecordHoursEdit, kRecordMinutesEdit,
                      kRecordSecondsEdit, kTimeDisplayCombo}) {
    EXPECT_FALSE(ui.enabled(control, kRecordPage)) << control;
  }
  for (int control : {kCompanyEdit, kTitleEdit, kOperatorEdit, kMemoEdit, kTemperatureEdit, kHumidityEdit,
                      kCommaDecimalRadio, kDateCheck}) {
    EXPECT_TRUE(ui.enabled(control, kSavePage)) << control;
  }
}

TEST_F(SettingsDialogTest, TabIsKeptBetweenOpenings) {
  open();
  EXPECT_EQ(ui.comboSelection(kSettingsTab, kSettingsDialog), 0);
  dialog.onTabChanged(2);
  dialog.onCancel();
  open();
  EXPECT_EQ(ui.comboSelection(kSettingsTab, kSettingsDialog), 2);
  EXPECT_EQ(dialog.tabIndex(), 2);
}

TEST_F(SettingsDialogTest, CommaDecimalSwitchesTheSeparatorToSemicolon) {
  open();
  dialog.onClicked(kCommaDecimalRadio, true);
  EXPECT_EQ(settings.decimalSymbol, 1);
  EXPECT_EQ(settings.listSeparator, 1);
  EXPECT_TRUE(ui.checked(kSemicolonSeparatorRadio, kSavePage));
  EXPECT_FALSE(ui.checked(kCommaSeparatorRadio, kSavePage));
  // And the comma separator switches the decimal symbol back to the period.
  dialog.onClicked(kCommaSeparatorRadio, true);
  EXPECT_EQ(settings.listSeparator, 0);
  EXPECT_EQ(settings.decimalSymbol, 0);
  EXPECT_TRUE(ui.checked(kPeriodDecimalRadio, kSavePage));
  EXPECT_FALSE(ui.checked(kCommaDecimalRadio, kSavePage));
}

TEST_F(SettingsDialogTest, StoredCommaForBothIsShownAndKeptWithSemicolon) {
  settings.decimalSymbol = 1;
  settings.listSeparator = 0;
  open();
  EXPECT_TRUE(ui.checked(kCommaDecimalRadio, kSavePage));
  EXPECT_TRUE(ui.checked(kSemicolonSeparatorRadio, kSavePage));
  EXPECT_TRUE(dialog.onOk());
  EXPECT_EQ(settings.decimalSymbol, 1);
  EXPECT_EQ(settings.listSeparator, 1);
}

TEST_F(SettingsDialogTest, DataCountModeResetsOutOfRangeRecordTimeFields) {
  settings.totalMode = 1;
  settings.recordMinutes = 30;
  settings.recordSeconds = 20;
  open();
  type(kRecordMinutesEdit, "150");
  type(kRecordSecondsEdit, "45");
  dialog.onClicked(kByDataCountRadio, true);
  EXPECT_EQ(settings.totalMode, 0);
  EXPECT_EQ(ui.text(kRecordMinutesEdit, kRecordPage), "30");
  EXPECT_EQ(dialog.editText(kRecordMinutesEdit), "30");
  EXPECT_EQ(dialog.editText(kRecordSecondsEdit), "45");  // in range: kept
  EXPECT_FALSE(ui.enabled(kRecordMinutesEdit, kRecordPage));
  EXPECT_TRUE(ui.enabled(kDataCountEdit, kRecordPage));
}

TEST_F(SettingsDialogTest, RecordTimeModeResetsAnOutOfRangeDataCount) {
  settings.dataCount = 500;
  open();
  type(kDataCountEdit, "abc");  // unreadable counts as 0, below the range
  dialog.onClicked(kByRecordTimeRadio, true);
  EXPECT_EQ(settings.totalMode, 1);
  EXPECT_EQ(ui.text(kDataCountEdit, kRecordPage), "500");
  EXPECT_FALSE(ui.enabled(kDataCountEdit, kRecordPage));
  EXPECT_TRUE(ui.enabled(kRecordHoursEdit, kRecordPage));
}

TEST_F(SettingsDialogTest, DateBoxKeepsTheAutomaticDateFieldDisabled) {
  open();
  dialog.onClicked(kDateCheck, false);
  EXPECT_FALSE(ui.enabled(kAutoDateRadio, kSavePage));
  EXPECT_FALSE(ui.enabled(kTypedDateRadio, kSavePage));
  dialog.onClicked(kDateCheck, true);
  EXPECT_TRUE(ui.enabled(kAutoDateRadio, kSavePage));
  EXPECT_FALSE(ui.enabled(kDateEdit, kSavePage));
  dialog.onClicked(kTypedDateRadio, true);
  EXPECT_TRUE(ui.enabled(kDateEdit, kSavePage));
  type(kDateEdit, "someday");
  dialog.onClicked(kAutoDateRadio, true);
  EXPECT_EQ(ui.text(kDateEdit, kSavePage), kToday);
  EXPECT_FALSE(ui.enabled(kDateEdit, kSavePage));
  EXPECT_EQ(settings.dateMode, 0);
}

TEST_F(SettingsDialogTest, CheckBoxesEnableTheirEdits) {
  open();
  const std::pair<int, std::vector<int>> items[] = {{kCompanyCheck, {kCompanyEdit}},
                                                    {kTitleCheck, {kTitleEdit}},
                                                    {kOperatorCheck, {kOperatorEdit}},
                                                    {kMemoCheck, {kMemoEdit}},
                                                    {kTempHumidCheck, {kTemperatureEdit, kHumidityEdit}}};
  for (const auto& [check, edits] : items) {
    dialog.onClicked(check, false);
    for (int edit : edits) EXPECT_FALSE(ui.enabled(edit, kSavePage)) << edit;
    dialog.onClicked(check, true);
    for (int edit : edits) EXPECT_TRUE(ui.enabled(edit, kSavePage)) << edit;
  }
  dialog.onClicked(kMemoCheck, false);
  EXPECT_EQ(settings.memoOn, 0);
}

TEST_F(SettingsDialogTest, CancelRestoresEveryValue) {
  settings.titleText = "Lab";
  open();
  const AppSettings before = settings;
  const int portBefore = dialog.selectedPortIndex();
  dialog.onClicked(kCommaDecimalRadio, true);
  dialog.onClicked(kByRecordTimeRadio, true);
  dialog.onClicked(kTypedDateRadio, true);
  dialog.onClicked(kAutoConnectCheck, false);
  dialog.onClicked(kMemoCheck, false);
  dialog.onComboSelected(kPortCombo, 0);
  type(kTitleEdit, "Other");
  type(kIntervalSecondsEdit, "0");  // makes OK fail after reading some values
  type(kIntervalMinutesEdit, "5");
  type(kIntervalSecondsEdit, "abc");
  EXPECT_FALSE(dialog.onOk());
  EXPECT_EQ(settings.intervalMinutes, 5);  // read before the failure
  dialog.onCancel();
  EXPECT_EQ(settings, before);
  EXPECT_EQ(dialog.selectedPortIndex(), portBefore);
  EXPECT_FALSE(ui.dialogOpen(kSettingsDialog));
  EXPECT_EQ(shared.settingsDialogOpen.load(), 0);
}

TEST_F(SettingsDialogTest, OkKeepsTheEditsAndLeavesBaudAndFastIntervalAlone) {
  settings.baudIndex = 0;
  settings.fastIntervalIndex = 3;
  open();
  type(kIntervalHoursEdit, " 1");
  type(kIntervalMinutesEdit, "2");
  type(kIntervalSecondsEdit, "3");
  type(kDataCountEdit, "12abc");
  type(kCompanyEdit, "Acme");
  type(kMemoEdit, "memo");
  dialog.onComboSelected(kTimeDisplayCombo, 1);
  dialog.onComboSelected(kPortCombo, 0);
  EXPECT_TRUE(dialog.onOk());
  EXPECT_EQ(settings.intervalHours, 1);
  EXPECT_EQ(settings.intervalMinutes, 2);
  EXPECT_EQ(settings.intervalSeconds, 3);
  EXPECT_EQ(settings.dataCount, 12);
  EXPECT_EQ(settings.companyText, "Acme");
  EXPECT_EQ(settings.memoText, "memo");
  EXPECT_EQ(settings.dateText, kToday);
  EXPECT_EQ(settings.timeDisplayMode, 1);
  EXPECT_EQ(settings.baudIndex, 0);
  EXPECT_EQ(settings.fastIntervalIndex, 3);
  EXPECT_EQ(dialog.selectedPortNumber(), 1);
  EXPECT_TRUE(ui.messages().empty());
  EXPECT_FALSE(ui.dialogOpen(kSettingsDialog));
  EXPECT_EQ(shared.settingsDialogOpen.load(), 0);
}

// One OK press over typed texts: what is accepted and what the record
// settings become, or the message, the field with the focus and the page.
struct OkCase {
  std::string name;
  int32_t intervalMode = 0;
  int32_t totalMode = 0;
  std::vector<std::pair<int, std::string>> texts;
  bool accepted = true;
  std::string message;     // when refused
  int focusControl = 0;    // when refused; 0: focus not moved
  int page = kRecordPage;  // of the focus
  int tab = 1;
  // When accepted: interval and record time h, m, s.
  std::vector<int32_t> interval;
  std::vector<int32_t> recordTime;
};

void PrintTo(const OkCase& c, std::ostream* out) { *out << c.name; }

std::string range(int low, int high) {
  return std::to_string(low) + " から " + std::to_string(high) + " までの整数を入力してください。";
}

class SettingsOkCheck : public SettingsDialogTest, public testing::WithParamInterface<OkCase> {};

TEST_P(SettingsOkCheck, ChecksInOrder) {
  const OkCase& c = GetParam();
  settings.intervalMode = c.intervalMode;
  settings.totalMode = c.totalMode;
  open();
  for (const auto& [control, text] : c.texts) type(control, text);
  EXPECT_EQ(dialog.onOk(), c.accepted);
  if (c.accepted) {
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_FALSE(ui.dialogOpen(kSettingsDialog));
    if (!c.interval.empty()) {
      EXPECT_EQ((std::vector<int32_t>{settings.intervalHours, settings.intervalMinutes, settings.intervalSeconds}),
                c.interval);
    }
    if (!c.recordTime.empty()) {
      EXPECT_EQ((std::vector<int32_t>{settings.recordHours, settings.recordMinutes, settings.recordSeconds}),
                c.recordTime);
    }
    return;
  }
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(lastMessage(), c.message);
  EXPECT_EQ(ui.messages().back().icon, MessageIcon::Warning);
  EXPECT_EQ(ui.messages().back().ownerDialog, kSettingsDialog);
  if (c.focusControl != 0) {
    EXPECT_EQ(ui.focus(), (test::FakeUiHost::Key{c.page, c.focusControl}));
  }
  EXPECT_EQ(ui.comboSelection(kSettingsTab, kSettingsDialog), c.tab);
  EXPECT_EQ(dialog.tabIndex(), c.tab);
  EXPECT_TRUE(ui.dialogOpen(kSettingsDialog));
  EXPECT_EQ(shared.settingsDialogOpen.load(), 1);
}

using Texts = std::vector<std::pair<int, std::string>>;

OkCase accepted(std::string name, int32_t intervalMode, int32_t totalMode, Texts texts,
                std::vector<int32_t> interval = {}, std::vector<int32_t> recordTime = {}) {
  OkCase c;
  c.name = std::move(name);
  c.intervalMode = intervalMode;
  c.totalMode = totalMode;
  c.texts = std::move(texts);
  c.interval = std::move(interval);
  c.recordTime = std::move(recordTime);
  return c;
}

OkCase refused(std::string name, int32_t intervalMode, int32_t totalMode, Texts texts, std::string message,
               int focusControl, int page = kRecordPage, int tab = 1) {
  OkCase c = accepted(std::move(name), intervalMode, totalMode, std::move(texts));
  c.accepted = false;
  c.message = std::move(message);
  c.focusControl = focusControl;
  c.page = page;
  c.tab = tab;
  return c;
}

std::string kana(int count) {
  std::string s;
  for (int i = 0; i < count; ++i) s += "ア";
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsOkCheck,
    testing::Values(
        refused("ZeroIntervalRefused", 0, 0,
                {{kIntervalHoursEdit, "0"}, {kIntervalMinutesEdit, "0"}, {kIntervalSecondsEdit, "0"}},
                "Please enter more than or equal to 1 sec.", kIntervalSecondsEdit),
        accepted("ZeroIntervalFastModeBecomesOneSecond", 1, 0,
                 {{kIntervalHoursEdit, "0"}, {kIntervalMinutesEdit, "0"}, {kIntervalSecondsEdit, "0"}}, {0, 0, 1}),
        accepted("ShortRecordTimeByDataCountBecomesTheInterval", 0, 0,
                 {{kIntervalSecondsEdit, "10"}, {kRecordHoursEdit, "0"}, {kRecordMinutesEdit, "0"},
                  {kRecordSecondsEdit, "5"}},
                 {0, 0, 10}, {0, 0, 10}),
        refused("ShortRecordTimeByRecordTimeRefused", 0, 1,
                {{kIntervalSecondsEdit, "10"}, {kRecordHoursEdit, "0"}, {kRecordMinutesEdit, "0"},
                 {kRecordSecondsEdit, "9"}},
                "Please set the record time longer than the time interval.", 0),
        accepted("EqualRecordTimeAccepted", 0, 1,
                 {{kIntervalSecondsEdit, "10"}, {kRecordHoursEdit, "0"}, {kRecordMinutesEdit, "0"},
                  {kRecordSecondsEdit, "10"}},
                 {0, 0, 10}, {0, 0, 10}),
        accepted("DataCountWithTrailingLettersReadAsNumber", 0, 0, {{kDataCountEdit, "12abc"}}),
        refused("DataCountLettersOnly", 0, 0, {{kDataCountEdit, "abc"}}, kIntegerMessage, kDataCountEdit),
        refused("EmptyHours", 0, 0, {{kIntervalHoursEdit, ""}}, kIntegerMessage, kIntervalHoursEdit),
        refused("DataCountZero", 0, 0, {{kDataCountEdit, "0"}}, range(1, 1048576), kDataCountEdit),
        refused("DataCountAboveRange", 0, 0, {{kDataCountEdit, "1048577"}}, range(1, 1048576), kDataCountEdit),
        refused("DataCountHuge", 0, 0, {{kDataCountEdit, "99999999999999999999"}}, range(1, 1048576),
                kDataCountEdit),
        refused("MinutesAboveRange", 0, 0, {{kIntervalMinutesEdit, "100"}}, range(0, 99), kIntervalMinutesEdit),
        refused("NegativeSeconds", 0, 0, {{kIntervalSecondsEdit, "-1"}}, range(0, 99), kIntervalSecondsEdit),
        // Disabled record-time fields are checked too.
        refused("DisabledRecordTimeFieldChecked", 0, 0, {{kRecordSecondsEdit, "x"}}, kIntegerMessage,
                kRecordSecondsEdit),
        // The first failing field in order wins.
        refused("FirstFailureWins", 0, 0, {{kRecordHoursEdit, "x"}, {kIntervalMinutesEdit, "200"}}, range(0, 99),
                kIntervalMinutesEdit),
        accepted("CompanyAtLimit", 0, 0, {{kCompanyEdit, std::string(256, 'x')}}),
        refused("CompanyTooLong", 0, 0, {{kCompanyEdit, std::string(257, 'x')}}, "256 文字以内で入力してください。",
                kCompanyEdit, kSavePage, 2),
        refused("DateTooLong", 0, 0, {{kDateEdit, std::string(65, 'd')}}, "64 文字以内で入力してください。", kDateEdit,
                kSavePage, 2),
        refused("HumidityTooLong", 0, 0, {{kHumidityEdit, std::string(33, 'h')}}, "32 文字以内で入力してください。",
                kHumidityEdit, kSavePage, 2),
        refused("MemoTooLong", 0, 0, {{kMemoEdit, std::string(513, 'm')}}, "512 文字以内で入力してください。",
                kMemoEdit, kSavePage, 2),
        // Characters, not bytes: 32 kana are within the limit, 33 are not.
        accepted("TemperatureInKanaAtLimit", 0, 0, {{kTemperatureEdit, kana(32)}}),
        refused("TemperatureInKanaTooLong", 0, 0, {{kTemperatureEdit, kana(33)}}, "32 文字以内で入力してください。",
                kTemperatureEdit, kSavePage, 2)),
    [](const testing::TestParamInfo<OkCase>& info) { return info.param.name; });

TEST(ReadLeadingInteger, ReadsLikeTheEdits) {
  EXPECT_EQ(readLeadingInteger("12abc"), 12);
  EXPECT_EQ(readLeadingInteger("  7"), 7);
  EXPECT_EQ(readLeadingInteger("-3x"), -3);
  EXPECT_EQ(readLeadingInteger("+4"), 4);
  EXPECT_EQ(readLeadingInteger("abc"), std::nullopt);
  EXPECT_EQ(readLeadingInteger(""), std::nullopt);
  EXPECT_EQ(readLeadingInteger("-"), std::nullopt);
  EXPECT_GT(*readLeadingInteger("123456789012345678901234567890"), 1048576);
}

}  // namespace
}  // namespace lmv
