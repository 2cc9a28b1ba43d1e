#pragma once
// The texts of the user interface in the current language. Every menu
// caption, control caption, CSV header word and message-box text that differs
// between Japanese and English is looked up here by entry number at the
// moment it is shown.
//
// Texts are UTF-8. Inside them "\n" breaks lines, "\t" separates a menu
// caption from its accelerator, "&" marks the mnemonic letter; entries 116,
// 128 and 129 are file-dialog filters ("description|pattern||"); entries 141
// and 155 carry "%s" and are filled in with format(), never with printf.
#include <atomic>
#include <string>
#include <string_view>

namespace lmv {

inline constexpr int kLanguageJapanese = 0;
inline constexpr int kLanguageEnglish = 1;
inline constexpr int kLanguageCount = 2;  // items of the Language menu
inline constexpr int kLanguageTableSize = 165;

// A code outside 0..kLanguageCount-1 (an old or damaged settings file)
// becomes Japanese, the first item of the Language menu.
int normalizeLanguageCode(int code);

// Entry numbers. The numbers are fixed: they are how the dialogs, pages and
// messages name their texts.
enum Text : int {
  // Main window menu.
  TextMenuFile = 0,
  TextMenuOpen = 1,
  TextMenuSave = 2,
  TextMenuSaveAs = 3,
  TextMenuSaveAsCsv = 4,
  TextMenuExit = 5,
  TextMenuSetting = 6,
  TextMenuOption = 7,
  TextMenuReadMemory = 8,
  TextMenuPasteToExcel = 9,
  TextMenuLanguage = 10,
  TextMenuHelp = 11,
  TextMenuPdfManual = 12,
  TextMenuAbout = 13,

  // Main window.
  TextRealTimeMonitor = 14,   // group box 1115
  TextLuxLabel = 15,          // label 1002
  TextModeLabel = 16,         // label 1116
  TextRangeLabel = 17,        // label 1117
  TextMonitor = 18,           // button 1005, monitor stopped
  TextStopMonitor = 19,       // button 1005, monitor running
  TextCommunicating = 20,     // group box 1090, monitor running
  TextUutUnconnected = 21,    // group box 1090, monitor stopped
  TextStatus = 22,            // group box 1118
  TextModelLabel = 23,        // label 1119
  TextVersionLabel = 24,      // label 1120
  TextPortLabel = 25,         // label 1121
  TextTimeLabel = 26,         // label 1122
  TextTabRecord = 27,         // tab 1021 item 0
  TextTabGraph = 28,          // tab 1021 item 1

  // Record information page, record list page, record header words.
  TextCompany = 29,
  TextTitle = 30,
  TextModel = 31,
  TextFunction = 32,
  TextRange = 33,
  TextDate = 34,
  TextOperator = 35,
  TextTempHumid = 36,
  TextInterval = 37,
  TextBuffer = 38,
  TextMemo = 39,
  TextBaseTime = 40,
  TextRecordTimeHeading = 41,  // list 1028 column 0
  TextLux = 42,                // list 1028 column 1, label 1132, graph tab 1095
  TextListColumn2 = 43,        // list 1028 column 2: empty in both languages
  TextPrevious = 44,
  TextNext = 45,
  TextJump = 46,

  // Main window record controls.
  TextStartLabel = 47,   // label 1133
  TextStopLabel = 48,    // label 1134
  TextStartButton = 49,  // button 1025
  TextStopButton = 50,   // button 1026
  TextManual = 51,       // button 1027
  TextCopyGraph = 52,    // button 1029
  TextSaveButton = 53,   // button 1031
  TextClearButton = 54,  // button 1033

  // Clear dialog.
  TextClearTitle = 55,
  TextAllClear = 56,
  TextClearLastData = 57,

  // Settings dialog.
  TextSettingTitle = 58,
  TextTabCommunication = 59,
  TextTabRecordSetting = 60,
  TextTabSaveSettings = 61,
  TextAutomaticConnection = 62,
  TextChoiceOfConnection = 63,
  TextComPortsLabel = 64,
  TextBaudRateLabel = 65,
  TextTimeInterval = 66,
  TextNormalInterval = 67,
  TextFastInterval = 68,
  TextSecondsUnused = 69,  // filled, shown nowhere
  TextSum = 70,
  TextBufferSizeLabel = 71,
  TextRecordTimeLabel = 72,
  TextTimeDisplayMode = 73,
  TextRealTimeClock = 74,
  TextRelativeTime = 75,
  TextCompanyCheck = 76,
  TextTitleCheck = 77,
  TextOperatorCheck = 78,
  TextDateCheck = 79,
  TextAutoClock = 80,
  TextDateText = 81,
  TextTempHumidCheck = 82,
  TextMemoCheck = 83,
  TextCsvSaveSetting = 84,
  TextDecimalSymbol = 85,
  TextListSeparator = 86,
  TextPeriod = 87,
  TextComma = 88,
  TextSemicolon = 89,

  // Help, About, USB check.
  TextManualFileSuffix = 90,  // "_Eng.pdf" / "_Jpn.pdf"
  TextAboutTitle = 91,
  TextCheckingUsb = 92,

  // Memory download dialog.
  TextMemoryTitle = 93,
  TextMemorySaveSetting = 94,
  TextFolderNameLabel = 95,
  TextFileNameLabel = 96,
  TextBrowse = 97,
  TextRemainLabel = 98,
  TextElapsedLabel = 99,
  TextMinuteUnit = 100,
  TextSecondUnit = 101,
  TextSelectDestinationFolder = 102,
  TextCancel = 103,

  // Paste-record-data dialog and spreadsheet file choice.
  TextPasteTitle = 104,
  TextExcelOpenButton = 105,
  TextByReturnKey = 106,
  TextByTimeInterval = 107,
  TextUseRecordSetting = 108,
  TextIntervalShort = 109,
  TextPasteStart = 110,
  TextPasteStop = 111,
  TextClose = 112,
  TextExcelOpenTitle = 113,
  TextNewFile = 114,
  TextEditFile = 115,
  TextExcelFilter = 116,

  // CSV words and file-dialog filters.
  TextCelsius = 117,
  TextMemoryData = 118,
  TextRecordData = 119,
  TextCsvDate = 120,
  TextCsvTime = 121,
  TextCsvFunction = 122,  // filled, shown nowhere
  TextCsvRange = 123,
  TextCsvMeasuredValue = 124,
  TextCsvUnit = 125,
  TextCsvOver = 126,
  TextSubInformation = 127,  // filled, shown nowhere
  TextRecordFileFilter = 128,
  TextCsvFileFilter = 129,

  // Zero-adjustment dialog.
  TextZeroAdjustTitle = 130,
  TextTryAgain = 131,
  TextZeroAdjustCancel = 132,

  // Messages.
  TextCommunicationErrorCheckUsb = 133,
  TextIntervalAtLeastOneSecond = 134,
  TextRecordTimeTooShort = 135,
  TextNoDestinationFolder = 136,
  TextNoFileName = 137,
  TextInvalidFileNameCharacters = 138,
  TextFileExistsOverwrite = 139,
  TextReadingMemory = 140,        // label 1102 while reading
  TextCannotOpenFile = 141,       // "%s" = file path
  TextMemoryReadCompleted = 142,
  TextMemoryReadError = 143,
  TextDataNotSaved = 144,
  TextExcelNotFound = 145,
  TextMonitorStoppedCapture = 146,
  TextCellWriteError = 147,
  TextExcelClosed = 148,
  TextIncorrectFileFormat = 149,
  TextIncompatibleDataFormat = 150,
  TextSaveData = 151,
  TextStopRecordBeforeExit = 152,
  TextConfirmExit = 153,
  TextSystemError = 154,
  TextFirmwareTooOld = 155,  // every "%s" = minimum firmware version
  TextMonitorStoppedReturnKey = 156,
  TextShellError = 157,
  TextSerialNumberMismatch = 158,
  TextCannotSendCommand = 159,
  TextNoResponse = 160,
  TextInvalidAdResponse = 161,
  TextBufferOver = 162,
  TextZeroAdjustRunning = 163,    // label 1148
  TextSensorCapNotFitted = 164,   // label 1148
};

// Reading is safe from any thread, also while another thread fills: the
// texts themselves are constant, a fill only switches the language.
class LanguageTable {
 public:
  LanguageTable() = default;  // all entries empty until the first fill
  LanguageTable(const LanguageTable&) = delete;
  LanguageTable& operator=(const LanguageTable&) = delete;

  // Sets all entries to the texts of the language (normalised as above).
  void fill(int languageCode);
  // Code of the last fill, -1 before the first.
  int language() const;

  static constexpr int size() { return kLanguageTableSize; }
  // Empty for an entry outside 0..size()-1.
  std::string text(int entry) const;
  std::string operator[](int entry) const { return text(entry); }
  // The entry with every "%s" replaced by the argument; any other "%" stays.
  std::string format(int entry, std::string_view argument) const;

 private:
  std::string_view view(int entry) const;

  std::atomic<int> language_{-1};
};

// The program's one table.
LanguageTable& languageTable();
void FillLanguageTable(int languageCode);

}  // namespace lmv
