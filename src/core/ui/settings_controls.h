#pragma once
// Controls of the settings dialog and its three pages, by dialog template id
// and control id. The menu command is kMenuSetting; the save page's text
// limits are those of the record header (record/record_store.h).
namespace lmv {

// The dialog: tab control, OK and Cancel. The tab control's selection is set
// with setComboSelection.
inline constexpr int kSettingsDialog = 135;
inline constexpr int kSettingsTab = 1022;
inline constexpr int kSettingsOk = 1;
inline constexpr int kSettingsCancel = 2;

// Communication page.
inline constexpr int kCommPage = 136;
inline constexpr int kAutoConnectCheck = 1146;
inline constexpr int kPortChoiceGroup = 1143;
inline constexpr int kPortLabel = 1144;
inline constexpr int kPortCombo = 1142;
inline constexpr int kBaudLabel = 1145;
inline constexpr int kBaudCombo = 1024;

// Record page.
inline constexpr int kRecordPage = 137;
inline constexpr int kIntervalGroup = 1135;
inline constexpr int kNormalIntervalRadio = 1046;
inline constexpr int kFastIntervalRadio = 1047;
inline constexpr int kIntervalHoursEdit = 1037;
inline constexpr int kIntervalMinutesEdit = 1038;
inline constexpr int kIntervalSecondsEdit = 1039;
inline constexpr int kIntervalHoursLabel = 1069;
inline constexpr int kIntervalMinutesLabel = 1070;
inline constexpr int kIntervalSecondsLabel = 1071;
inline constexpr int kFastIntervalCombo = 1048;
inline constexpr int kSumGroup = 1136;
inline constexpr int kByDataCountRadio = 1040;
inline constexpr int kDataCountEdit = 1042;
inline constexpr int kDataCountLabel = 1072;
inline constexpr int kByRecordTimeRadio = 1041;
inline constexpr int kRecordHoursEdit = 1043;
inline constexpr int kRecordMinutesEdit = 1044;
inline constexpr int kRecordSecondsEdit = 1045;
inline constexpr int kRecordHoursLabel = 1073;
inline constexpr int kRecordMinutesLabel = 1074;
inline constexpr int kRecordSecondsLabel = 1075;
inline constexpr int kTimeDisplayLabel = 1137;
inline constexpr int kTimeDisplayCombo = 1009;

// Save page.
inline constexpr int kSavePage = 138;
inline constexpr int kCompanyCheck = 1049;
inline constexpr int kTitleCheck = 1050;
inline constexpr int kOperatorCheck = 1051;
inline constexpr int kDateCheck = 1052;
inline constexpr int kMemoCheck = 1053;
inline constexpr int kTempHumidCheck = 1054;
inline constexpr int kCompanyEdit = 1059;
inline constexpr int kTitleEdit = 1060;
inline constexpr int kOperatorEdit = 1061;
inline constexpr int kMemoEdit = 1062;
inline constexpr int kAutoDateRadio = 1063;
inline constexpr int kTypedDateRadio = 1064;
inline constexpr int kDateEdit = 1065;
inline constexpr int kTemperatureEdit = 1066;
inline constexpr int kHumidityEdit = 1067;
inline constexpr int kCsvGroup = 1138;
inline constexpr int kDecimalGroup = 1139;
inline constexpr int kSeparatorGroup = 1140;
inline constexpr int kPeriodDecimalRadio = 1055;
inline constexpr int kCommaDecimalRadio = 1056;
inline constexpr int kCommaSeparatorRadio = 1057;
inline constexpr int kSemicolonSeparatorRadio = 1058;

}  // namespace lmv
