#pragma once
// Controls, menu commands and dialogs of the main window (template 102) that
// the monitor panel and the record controls do not name.
namespace lmv {

// Main window (kMainDialog).
inline constexpr int kMonitorGroup = 1115;
inline constexpr int kModeCaption = 1116;
inline constexpr int kRangeCaption = 1117;
inline constexpr int kStatusGroup = 1118;
inline constexpr int kModelCaption = 1119;
inline constexpr int kVersionCaption = 1120;
inline constexpr int kPortCaption = 1121;
inline constexpr int kTimeCaption = 1122;
inline constexpr int kSerialNumberCaption = 1190;  // "S/N：", unnumbered in the template
inline constexpr int kClockText = 1114;
inline constexpr int kConnectionGroup = 1090;
inline constexpr int kConnectionPicture = 1089;
inline constexpr int kIndicatorGroup = 1191;  // unnumbered in the template
inline constexpr int kIndicatorStrip = 1092;
inline constexpr int kHiddenButton = 1088;
inline constexpr int kStatusLine = 1152;
inline constexpr int kPageTabs = 1021;
inline constexpr int kStartGroup = 1192;  // unnumbered in the template
inline constexpr int kStopGroup = 1193;   // unnumbered in the template
inline constexpr int kStartCaption = 1133;
inline constexpr int kStopCaption = 1134;

// Menu bar positions.
inline constexpr int kMenuBarFile = 0;
inline constexpr int kMenuBarSetting = 1;
inline constexpr int kMenuBarOption = 2;
inline constexpr int kMenuBarLanguage = 3;
inline constexpr int kMenuBarHelp = 4;

// Menu commands (menu 129).
inline constexpr int kMenuOpen = 32771;
inline constexpr int kMenuSave = 32772;
inline constexpr int kMenuSaveAs = 32773;
inline constexpr int kMenuSaveAsCsv = 32774;
inline constexpr int kMenuExit = 57665;
inline constexpr int kMenuSetting = 32782;
inline constexpr int kMenuReadMemory = 32785;
inline constexpr int kMenuPasteToExcel = 32784;
inline constexpr int kMenuJapanese = 32776;
inline constexpr int kMenuEnglish = 32777;
inline constexpr int kMenuPdfManual = 32780;
inline constexpr int kMenuAbout = 32781;

// Record list page controls the main window captions.
inline constexpr int kRecordListLuxLabel = 1132;
// Graph page tab control.
inline constexpr int kGraphTabs = 1095;

// Record information page captions.
inline constexpr int kInfoCompanyCaption = 1123;
inline constexpr int kInfoModelCaption = 1119;
inline constexpr int kInfoFunctionCaption = 1124;
inline constexpr int kInfoRangeCaption = 1125;
inline constexpr int kInfoMemoCaption = 1126;
inline constexpr int kInfoDateCaption = 1127;
inline constexpr int kInfoOperatorCaption = 1128;
inline constexpr int kInfoTempHumidCaption = 1129;
inline constexpr int kInfoIntervalCaption = 1130;
inline constexpr int kInfoBufferCaption = 1131;

// The About box.
inline constexpr int kAboutDialog = 100;

}  // namespace lmv
