#pragma once
// Controls of the main window's monitor panel, status panel and the two
// dialogs of the meter link, by dialog template id and control id.
namespace lmv {

// Main window (kMainDialog).
inline constexpr int kAdLabel = 1001;
inline constexpr int kLuxCaption = 1002;
inline constexpr int kAdValue = 1003;
inline constexpr int kValueText = 1004;
inline constexpr int kMonitorButton = 1005;
inline constexpr int kModelStatus = 1006;
inline constexpr int kVersionStatus = 1007;
inline constexpr int kRangeLabelText = 1008;
inline constexpr int kModeCombo = 1009;
inline constexpr int kRangeCombo = 1010;
inline constexpr int kUnitText = 1012;
inline constexpr int kPortStatus = 1112;
inline constexpr int kSerialNumberStatus = 1113;

// Option menu, Read Memory Data.
inline constexpr int kReadMemoryMenuCommand = 32785;

// USB check dialog.
inline constexpr int kUsbCheckDialog = 130;
inline constexpr int kUsbCheckText = 1141;

// Zero-adjustment dialog.
inline constexpr int kZeroAdjustDialog = 142;
inline constexpr int kZeroAdjustMessage = 1148;
inline constexpr int kZeroAdjustTryAgain = 1150;
inline constexpr int kZeroAdjustProgress = 1151;
inline constexpr int kZeroAdjustCancel = 2;

}  // namespace lmv
