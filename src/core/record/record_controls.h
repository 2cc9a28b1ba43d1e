#pragma once
// Dialog and control ids the recording shows its state in.
namespace lmv {

// Tab pages of the main window.
inline constexpr int kRecordInfoPage = 139;
inline constexpr int kRecordListPage = 140;
inline constexpr int kGraphPage = 141;

// Main window (kMainDialog).
inline constexpr int kStartButton = 1025;
inline constexpr int kStopButton = 1026;
inline constexpr int kManualButton = 1027;
inline constexpr int kCopyGraphButton = 1029;
inline constexpr int kSaveButton = 1031;
inline constexpr int kClearButton = 1033;
inline constexpr int kZeroAdjustButton = 1091;
inline constexpr int kRunStartLabel = 1076;
inline constexpr int kRunStopLabel = 1077;

// Record list page.
inline constexpr int kRecordList = 1028;
inline constexpr int kPreviousButton = 1035;
inline constexpr int kNextButton = 1036;
inline constexpr int kPageText = 1034;
inline constexpr int kPageNumberEdit = 1032;
inline constexpr int kJumpButton = 1030;
inline constexpr int kMaxLine = 1079;
inline constexpr int kMinLine = 1080;

// Record information page.
inline constexpr int kInfoCompany = 1081;
inline constexpr int kInfoModel = 1006;
inline constexpr int kInfoSerialNumber = 1084;
inline constexpr int kInfoFunction = 1008;
inline constexpr int kInfoRange = 1072;
inline constexpr int kInfoMemo = 1086;
inline constexpr int kInfoDate = 1082;
inline constexpr int kInfoOperator = 1083;
inline constexpr int kInfoTempHumid = 1085;
inline constexpr int kInfoInterval = 1078;
inline constexpr int kInfoDataCount = 1068;

}  // namespace lmv
