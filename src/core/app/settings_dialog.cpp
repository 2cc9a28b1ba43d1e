#include "app/settings_dialog.h"

#include <limits>

#include "link/port_numbering.h"
#include "record/record_store.h"
#include "ui/language_table.h"
#include "ui/settings_controls.h"

namespace lmv {
namespace {

constexpr int kTabCommunication = 0;
constexpr int kTabRecord = 1;
constexpr int kTabSave = 2;

constexpr int kTimeFieldLow = 0;
constexpr int kTimeFieldHigh = 99;
constexpr int kDataCountLow = 1;
constexpr int kDataCountHigh = 1048576;

constexpr char kIntegerMessage[] = "整数を入力してください。";

std::string rangeMessage(int low, int high) {
  return std::to_string(low) + " から " + std::to_string(high) + " までの整数を入力してください。";
}

std::string lengthMessage(int limit) { return std::to_string(limit) + " 文字以内で入力してください。"; }

// Characters (code points) of a UTF-8 text.
size_t characterCount(std::string_view text) {
  size_t count = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

// The value of an edit for the immediate resets: 0 when unreadable.
int64_t readOrZero(std::string_view text) { return readLeadingInteger(text).value_or(0); }

// The settings the dialog edits; Cancel puts back exactly these.
void copyEditedSettings(const AppSettings& from, AppSettings& to) {
  to.autoConnect = from.autoConnect;
  to.baudIndex = from.baudIndex;
  to.intervalMode = from.intervalMode;
  to.intervalHours = from.intervalHours;
  to.intervalMinutes = from.intervalMinutes;
  to.intervalSeconds = from.intervalSeconds;
  to.fastIntervalIndex = from.fastIntervalIndex;
  to.totalMode = from.totalMode;
  to.dataCount = from.dataCount;
  to.recordHours = from.recordHours;
  to.recordMinutes = from.recordMinutes;
  to.recordSeconds = from.recordSeconds;
  to.timeDisplayMode = from.timeDisplayMode;
  to.companyOn = from.companyOn;
  to.companyText = from.companyText;
  to.titleOn = from.titleOn;
  to.titleText = from.titleText;
  to.operatorOn = from.operatorOn;
  to.operatorText = from.operatorText;
  to.dateOn = from.dateOn;
  to.dateMode = from.dateMode;
  to.dateText = from.dateText;
  to.tempHumidOn = from.tempHumidOn;
  to.temperatureText = from.temperatureText;
  to.humidityText = from.humidityText;
  to.memoOn = from.memoOn;
  to.memoText = from.memoText;
  to.decimalSymbol = from.decimalSymbol;
  to.listSeparator = from.listSeparator;
}

}  // namespace

std::optional<int64_t> readLeadingInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kLimit) value = kLimit;
  }
  return negative ? -value : value;
}

SettingsDialog::SettingsDialog(UiHost& ui, AppSettings& settings, SharedState& shared, DateSource today)
    : ui_(ui), settings_(settings), shared_(shared), today_(std::move(today)) {}

void SettingsDialog::open(const std::vector<_COM_LIST>& ports, int32_t currentPort, bool recording) {
  shared_.settingsDialogOpen.store(1);
  open_ = true;
  recording_ = recording;
  edits_.clear();
  const LanguageTable& texts = languageTable();
  ui_.setWindowTitle(kSettingsDialog, texts[TextSettingTitle]);
  showCommPage(ports, currentPort);
  showRecordPage();
  showSavePage();
  for (int i = 0; i < 3; ++i) ui_.setTabText(kSettingsDialog, kSettingsTab, i, texts[TextTabCommunication + i]);
  selectTab(tabIndex_);
  openingValues_ = settings_;
  openingPortIndex_ = selectedPortIndex_;
  setCaptions();
  ui_.setComboItems(kRecordPage, kTimeDisplayCombo, {texts[TextRealTimeClock], texts[TextRelativeTime]});
  timeDisplaySelection_ = settings_.timeDisplayMode;
  ui_.setComboSelection(kRecordPage, kTimeDisplayCombo, timeDisplaySelection_);
  ui_.openDialog(kSettingsDialog);
}

void SettingsDialog::setEdit(int page, int control, const std::string& text) {
  edits_[control] = text;
  ui_.setText(page, control, text);
}

std::string SettingsDialog::editText(int control) const {
  const auto it = edits_.find(control);
  return it == edits_.end() ? std::string() : it->second;
}

void SettingsDialog::showCommPage(const std::vector<_COM_LIST>& ports, int32_t currentPort) {
  ui_.setChecked(kCommPage, kAutoConnectCheck, settings_.autoConnect != 0);
  ui_.setComboItems(kCommPage, kBaudCombo, {});
  refreshPortList(ports, currentPort);
  ui_.setEnabled(kCommPage, kPortCombo, !recording_);
  ui_.setEnabled(kCommPage, kBaudCombo, false);
  ui_.setVisible(kCommPage, kBaudCombo, false);
  ui_.setVisible(kCommPage, kBaudLabel, false);
}

void SettingsDialog::refreshPortList(const std::vector<_COM_LIST>& ports, int32_t currentPort) {
  ports_ = ports;
  std::vector<std::string> items;
  int selection = -1;
  for (size_t i = 0; i < ports.size(); ++i) {
    const std::string name = portDisplayName(ports[i].portNumber);
    items.push_back(" " + (name.empty() ? deviceDisplayName(ports[i].devicePath) : name));
    if (i == 0 || ports[i].portNumber == currentPort) selection = static_cast<int>(i);
  }
  ui_.setComboItems(kCommPage, kPortCombo, items);
  if (selection >= 0) {
    ui_.setComboSelection(kCommPage, kPortCombo, selection);
    selectedPortIndex_ = selection;
  }
}

std::optional<int32_t> SettingsDialog::selectedPortNumber() const {
  if (selectedPortIndex_ < 0 || static_cast<size_t>(selectedPortIndex_) >= ports_.size()) return std::nullopt;
  return ports_[static_cast<size_t>(selectedPortIndex_)].portNumber;
}

void SettingsDialog::enableIntervalFields(bool enabled) {
  for (int control : {kIntervalHoursEdit, kIntervalMinutesEdit, kIntervalSecondsEdit, kIntervalHoursLabel,
                      kIntervalMinutesLabel, kIntervalSecondsLabel}) {
    ui_.setEnabled(kRecordPage, control, enabled);
  }
}

void SettingsDialog::enableDataCount(bool enabled) {
  ui_.setEnabled(kRecordPage, kDataCountEdit, enabled);
  ui_.setEnabled(kRecordPage, kDataCountLabel, enabled);
}

void SettingsDialog::enableRecordTime(bool enabled) {
  for (int control : {kRecordHoursEdit, kRecordMinutesEdit, kRecordSecondsEdit, kRecordHoursLabel,
                      kRecordMinutesLabel, kRecordSecondsLabel}) {
    ui_.setEnabled(kRecordPage, control, enabled);
  }
}

void SettingsDialog::showRecordPage() {
  const AppSettings& s = settings_;
  setEdit(kRecordPage, kIntervalHoursEdit, std::to_string(s.intervalHours));
  setEdit(kRecordPage, kIntervalMinutesEdit, std::to_string(s.intervalMinutes));
  setEdit(kRecordPage, kIntervalSecondsEdit, std::to_string(s.intervalSeconds));
  setEdit(kRecordPage, kDataCountEdit, std::to_string(s.dataCount));
  setEdit(kRecordPage, kRecordHoursEdit, std::to_string(s.recordHours));
  setEdit(kRecordPage, kRecordMinutesEdit, std::to_string(s.recordMinutes));
  setEdit(kRecordPage, kRecordSecondsEdit, std::to_string(s.recordSeconds));
  ui_.setComboItems(kRecordPage, kFastIntervalCombo, {});

  ui_.setChecked(kRecordPage, kFastIntervalRadio, s.intervalMode == 1);
  ui_.setChecked(kRecordPage, kNormalIntervalRadio, s.intervalMode != 1);
  if (s.intervalMode == 1) {
    enableIntervalFields(false);
  } else {
    ui_.setEnabled(kRecordPage, kFastIntervalCombo, false);
  }
  ui_.setChecked(kRecordPage, kByRecordTimeRadio, s.totalMode == 1);
  ui_.setChecked(kRecordPage, kByDataCountRadio, s.totalMode != 1);
  if (s.totalMode == 1) {
    enableDataCount(false);
  } else {
    enableRecordTime(false);
  }
  if (recording_) {
    for (int control : {kNormalIntervalRadio, kIntervalHoursEdit, kIntervalMinutesEdit, kIntervalSecondsEdit,
                        kFastIntervalRadio, kFastIntervalCombo, kByDataCountRadio, kDataCountEdit, kByRecordTimeRadio,
                        kRecordHoursEdit, kRecordMinutesEdit, kRecordSecondsEdit, kTimeDisplayCombo}) {
      ui_.setEnabled(kRecordPage, control, false);
    }
  }
  for (int control : {kFastIntervalRadio, kFastIntervalCombo}) {
    ui_.setEnabled(kRecordPage, control, false);
    ui_.setVisible(kRecordPage, control, false);
  }
}

void SettingsDialog::updateDateControls() {
  const bool on = settings_.dateOn != 0;
  ui_.setEnabled(kSavePage, kAutoDateRadio, on);
  ui_.setEnabled(kSavePage, kTypedDateRadio, on);
  ui_.setEnabled(kSavePage, kDateEdit, on && settings_.dateMode == 1);
}

void SettingsDialog::showSavePage() {
  AppSettings& s = settings_;
  ui_.setChecked(kSavePage, kCompanyCheck, s.companyOn != 0);
  ui_.setChecked(kSavePage, kTitleCheck, s.titleOn != 0);
  ui_.setChecked(kSavePage, kOperatorCheck, s.operatorOn != 0);
  ui_.setChecked(kSavePage, kDateCheck, s.dateOn != 0);
  ui_.setChecked(kSavePage, kTempHumidCheck, s.tempHumidOn != 0);
  ui_.setChecked(kSavePage, kMemoCheck, s.memoOn != 0);
  setEdit(kSavePage, kCompanyEdit, s.companyText);
  setEdit(kSavePage, kTitleEdit, s.titleText);
  setEdit(kSavePage, kOperatorEdit, s.operatorText);
  setEdit(kSavePage, kTemperatureEdit, s.temperatureText);
  setEdit(kSavePage, kHumidityEdit, s.humidityText);
  setEdit(kSavePage, kMemoEdit, s.memoText);

  ui_.setEnabled(kSavePage, kCompanyEdit, s.companyOn != 0);
  ui_.setEnabled(kSavePage, kTitleEdit, s.titleOn != 0);
  ui_.setEnabled(kSavePage, kOperatorEdit, s.operatorOn != 0);
  if (s.dateMode == 1) {
    ui_.setChecked(kSavePage, kTypedDateRadio, true);
    ui_.setChecked(kSavePage, kAutoDateRadio, false);
  } else {
    ui_.setChecked(kSavePage, kAutoDateRadio, true);
    ui_.setChecked(kSavePage, kTypedDateRadio, false);
    s.dateText = today_();
  }
  setEdit(kSavePage, kDateEdit, s.dateText);
  updateDateControls();
  ui_.setEnabled(kSavePage, kTemperatureEdit, s.tempHumidOn != 0);
  ui_.setEnabled(kSavePage, kHumidityEdit, s.tempHumidOn != 0);
  ui_.setChecked(kSavePage, kPeriodDecimalRadio, s.decimalSymbol == 0);
  ui_.setChecked(kSavePage, kCommaDecimalRadio, s.decimalSymbol != 0);
  // A stored comma for both is shown, and kept, with the semicolon.
  if (s.listSeparator == 1 || s.decimalSymbol == 1) s.listSeparator = 1;
  ui_.setChecked(kSavePage, kSemicolonSeparatorRadio, s.listSeparator == 1);
  ui_.setChecked(kSavePage, kCommaSeparatorRadio, s.listSeparator != 1);
  ui_.setEnabled(kSavePage, kMemoEdit, s.memoOn != 0);
}

void SettingsDialog::setCaptions() {
  const LanguageTable& texts = languageTable();
  const std::pair<int, int> captions[] = {
      {kAutoConnectCheck, TextAutomaticConnection}, {kPortChoiceGroup, TextChoiceOfConnection},
      {kPortLabel, TextComPortsLabel}, {kBaudLabel, TextBaudRateLabel}};
  for (const auto& [control, entry] : captions) ui_.setText(kCommPage, control, texts[entry]);
  const std::pair<int, int> recordCaptions[] = {
      {kIntervalGroup, TextTimeInterval},    {kNormalIntervalRadio, TextNormalInterval},
      {kFastIntervalRadio, TextFastInterval}, {kSumGroup, TextSum},
      {kByDataCountRadio, TextBufferSizeLabel}, {kByRecordTimeRadio, TextRecordTimeLabel},
      {kTimeDisplayLabel, TextTimeDisplayMode}};
  for (const auto& [control, entry] : recordCaptions) ui_.setText(kRecordPage, control, texts[entry]);
  const std::pair<int, int> saveCaptions[] = {
      {kCompanyCheck, TextCompanyCheck},     {kTitleCheck, TextTitleCheck},
      {kOperatorCheck, TextOperatorCheck},   {kDateCheck, TextDateCheck},
      {kAutoDateRadio, TextAutoClock},       {kTypedDateRadio, TextDateText},
      {kTempHumidCheck, TextTempHumidCheck}, {kMemoCheck, TextMemoCheck},
      {kCsvGroup, TextCsvSaveSetting},       {kDecimalGroup, TextDecimalSymbol},
      {kSeparatorGroup, TextListSeparator},  {kPeriodDecimalRadio, TextPeriod},
      {kCommaDecimalRadio, TextComma},       {kCommaSeparatorRadio, TextComma},
      {kSemicolonSeparatorRadio, TextSemicolon}};
  for (const auto& [control, entry] : saveCaptions) ui_.setText(kSavePage, control, texts[entry]);
  ui_.setText(kSettingsDialog, kSettingsCancel, texts[TextCancel]);
}

void SettingsDialog::selectTab(int index) {
  tabIndex_ = index;
  ui_.setComboSelection(kSettingsDialog, kSettingsTab, index);
}

void SettingsDialog::onTabChanged(int index) {
  if (index >= 0 && index <= kTabSave) tabIndex_ = index;
}

void SettingsDialog::onTextEdited(int control, std::string_view text) { edits_[control] = std::string(text); }

void SettingsDialog::onComboSelected(int control, int index) {
  if (control == kPortCombo) {
    selectedPortIndex_ = index;
  } else if (control == kTimeDisplayCombo) {
    timeDisplaySelection_ = index;
  }
}

void SettingsDialog::resetRecordTimeOutOfRange() {
  const std::pair<int, int32_t AppSettings::*> fields[] = {{kRecordHoursEdit, &AppSettings::recordHours},
                                                            {kRecordMinutesEdit, &AppSettings::recordMinutes},
                                                            {kRecordSecondsEdit, &AppSettings::recordSeconds}};
  for (const auto& [control, field] : fields) {
    const int64_t value = readOrZero(editText(control));
    if (value < kTimeFieldLow || value > kTimeFieldHigh) {
      settings_.*field = openingValues_.*field;
      setEdit(kRecordPage, control, std::to_string(openingValues_.*field));
    }
  }
}

void SettingsDialog::resetDataCountOutOfRange() {
  const int64_t value = readOrZero(editText(kDataCountEdit));
  if (value < kDataCountLow || value > kDataCountHigh) {
    settings_.dataCount = openingValues_.dataCount;
    setEdit(kRecordPage, kDataCountEdit, std::to_string(openingValues_.dataCount));
  }
}

void SettingsDialog::onClicked(int control, bool checked) {
  AppSettings& s = settings_;
  const int32_t on = checked ? 1 : 0;
  switch (control) {
    case kAutoConnectCheck:
      s.autoConnect = on;
      break;
    case kNormalIntervalRadio:
      s.intervalMode = 0;
      enableIntervalFields(true);
      ui_.setEnabled(kRecordPage, kFastIntervalCombo, false);
      break;
    case kByDataCountRadio:
      s.totalMode = 0;
      enableDataCount(true);
      enableRecordTime(false);
      resetRecordTimeOutOfRange();
      break;
    case kByRecordTimeRadio:
      s.totalMode = 1;
      enableDataCount(false);
      enableRecordTime(true);
      resetDataCountOutOfRange();
      break;
    case kCompanyCheck:
      s.companyOn = on;
      ui_.setEnabled(kSavePage, kCompanyEdit, checked);
      break;
    case kTitleCheck:
      s.titleOn = on;
      ui_.setEnabled(kSavePage, kTitleEdit, checked);
      break;
    case kOperatorCheck:
      s.operatorOn = on;
      ui_.setEnabled(kSavePage, kOperatorEdit, checked);
      break;
    case kMemoCheck:
      s.memoOn = on;
      ui_.setEnabled(kSavePage, kMemoEdit, checked);
      break;
    case kTempHumidCheck:
      s.tempHumidOn = on;
      ui_.setEnabled(kSavePage, kTemperatureEdit, checked);
      ui_.setEnabled(kSavePage, kHumidityEdit, checked);
      break;
    case kDateCheck:
      s.dateOn = on;
      updateDateControls();
      break;
    case kAutoDateRadio:
      s.dateMode = 0;
      s.dateText = today_();
      setEdit(kSavePage, kDateEdit, s.dateText);
      ui_.setEnabled(kSavePage, kDateEdit, false);
      break;
    case kTypedDateRadio:
      s.dateMode = 1;
      ui_.setEnabled(kSavePage, kDateEdit, true);
      break;
    case kPeriodDecimalRadio:
      s.decimalSymbol = 0;
      break;
    case kCommaDecimalRadio:
      s.decimalSymbol = 1;
      if (s.listSeparator == 0) {
        ui_.setChecked(kSavePage, kCommaSeparatorRadio, false);
        ui_.setChecked(kSavePage, kSemicolonSeparatorRadio, true);
        s.listSeparator = 1;
      }
      break;
    case kCommaSeparatorRadio:
      s.listSeparator = 0;
      if (s.decimalSymbol == 1) {
        ui_.setChecked(kSavePage, kCommaDecimalRadio, false);
        ui_.setChecked(kSavePage, kPeriodDecimalRadio, true);
        s.decimalSymbol = 0;
      }
      break;
    case kSemicolonSeparatorRadio:
      s.listSeparator = 1;
      break;
    default:
      break;
  }
}

void SettingsDialog::refuse(int page, int tab, int control, const std::string& message) {
  selectTab(tab);
  MessageRequest request;
  request.text = message;
  request.icon = MessageIcon::Warning;
  request.ownerDialog = kSettingsDialog;
  ui_.showMessage(request);
  if (control != 0) ui_.setFocus(page, control);
}

bool SettingsDialog::readNumber(int control, int low, int high, int32_t& field) {
  const std::optional<int64_t> value = readLeadingInteger(editText(control));
  if (!value) {
    refuse(kRecordPage, kTabRecord, control, kIntegerMessage);
    return false;
  }
  if (*value < low || *value > high) {
    refuse(kRecordPage, kTabRecord, control, rangeMessage(low, high));
    return false;
  }
  field = static_cast<int32_t>(*value);
  return true;
}

bool SettingsDialog::readText(int control, int limit, std::string& field) {
  const std::string text = editText(control);
  if (characterCount(text) > static_cast<size_t>(limit)) {
    refuse(kSavePage, kTabSave, control, lengthMessage(limit));
    return false;
  }
  field = text;
  return true;
}

bool SettingsDialog::onOk() {
  if (!open_) return false;
  AppSettings& s = settings_;
  // Communication page: autoConnect and the port follow their controls as
  // they change; the baud rate is not edited here.

  // Record page.
  s.timeDisplayMode = timeDisplaySelection_ == 1 ? 1 : 0;
  if (!readNumber(kIntervalHoursEdit, kTimeFieldLow, kTimeFieldHigh, s.intervalHours) ||
      !readNumber(kIntervalMinutesEdit, kTimeFieldLow, kTimeFieldHigh, s.intervalMinutes) ||
      !readNumber(kIntervalSecondsEdit, kTimeFieldLow, kTimeFieldHigh, s.intervalSeconds) ||
      !readNumber(kDataCountEdit, kDataCountLow, kDataCountHigh, s.dataCount) ||
      !readNumber(kRecordHoursEdit, kTimeFieldLow, kTimeFieldHigh, s.recordHours) ||
      !readNumber(kRecordMinutesEdit, kTimeFieldLow, kTimeFieldHigh, s.recordMinutes) ||
      !readNumber(kRecordSecondsEdit, kTimeFieldLow, kTimeFieldHigh, s.recordSeconds)) {
    return false;
  }
  const LanguageTable& texts = languageTable();
  int32_t interval = intervalTotalSeconds(s.intervalHours, s.intervalMinutes, s.intervalSeconds);
  if (interval == 0) {
    if (s.intervalMode == 0) {
      refuse(kRecordPage, kTabRecord, kIntervalSecondsEdit, texts[TextIntervalAtLeastOneSecond]);
      return false;
    }
    s.intervalSeconds = 1;
    interval = 1;
  }
  if (intervalTotalSeconds(s.recordHours, s.recordMinutes, s.recordSeconds) < interval) {
    if (s.totalMode == 1) {
      refuse(kRecordPage, kTabRecord, 0, texts[TextRecordTimeTooShort]);
      return false;
    }
    s.recordHours = s.intervalHours;
    s.recordMinutes = s.intervalMinutes;
    s.recordSeconds = s.intervalSeconds;
  }

  // Save page.
  if (!readText(kCompanyEdit, kHeaderTextLimit, s.companyText) ||
      !readText(kTitleEdit, kHeaderTextLimit, s.titleText) ||
      !readText(kOperatorEdit, kHeaderTextLimit, s.operatorText) ||
      !readText(kDateEdit, kDateTextLimit, s.dateText) ||
      !readText(kTemperatureEdit, kTempHumidTextLimit, s.temperatureText) ||
      !readText(kHumidityEdit, kTempHumidTextLimit, s.humidityText) ||
      !readText(kMemoEdit, kMemoTextLimit, s.memoText)) {
    return false;
  }
  close();
  return true;
}

void SettingsDialog::onCancel() {
  if (!open_) return;
  copyEditedSettings(openingValues_, settings_);
  selectedPortIndex_ = openingPortIndex_;
  close();
}

void SettingsDialog::close() {
  open_ = false;
  shared_.settingsDialogOpen.store(0);
  ui_.closeDialog(kSettingsDialog);
}

}  // namespace lmv
