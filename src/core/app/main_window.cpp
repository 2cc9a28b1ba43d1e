#include "app/main_window.h"

#include "base/paths.h"
#include "link/port_list.h"
#include "record/record_controls.h"
#include "record/time_text.h"
#include "record/window_title.h"
#include "ui/language_choice.h"
#include "ui/language_table.h"
#include "ui/main_window_controls.h"
#include "ui/monitor_controls.h"

namespace lmv {
namespace {

constexpr int kLanguageCommands[kLanguageCount] = {kMenuJapanese, kMenuEnglish};

// Record list page buttons and edit box that start disabled.
constexpr int kListPageControls[] = {kPreviousButton, kNextButton, kJumpButton, kPageNumberEdit};


bool ask(const std::function<bool()>& f, bool fallback) { return f ? f() : fallback; }

void run(const std::function<void()>& f) {
  if (f) f();
}

}  // namespace

MainWindow::MainWindow(UiHost& ui, MeterSession& session, SharedState& shared, MainWindowHooks hooks,
                       MonitorHooks monitorHooks, ZeroAdjustment::Clock zeroAdjustClock)
    : ui_(ui),
      session_(session),
      shared_(shared),
      hooks_(std::move(hooks)),
      monitor_(std::make_unique<MonitorControl>(ui, session, std::move(monitorHooks), std::move(zeroAdjustClock))),
      settingsDialog_(std::make_unique<SettingsDialog>(ui, settings_, shared)) {}

MainWindow::~MainWindow() {
  // The threads stop before what they read goes away.
  if (clock_) clock_->stopAndJoin();
  monitor_.reset();
}

void MainWindow::startUp(const ProgramPlaces& places) {
  ui_.setWindowTitle(kMainDialog, kProgramTitle);
  shared_.reset();
  shared_.pasteDialogClosed = 1;
  session_.block.resetShown();

  session_.probeAbortRequested = 1;
  const std::vector<_COM_LIST> ports = enumeratePorts();

  places_ = places;
  const SettingsReadResult read = readSettings(settingsFilePath(places_.dataDirectory));
  shared_.settingsLoaded = read.settingsLoaded ? 1 : 0;
  shared_.settingsFromOtherVersion = read.settingsFromOtherVersion ? 1 : 0;
  settings_ = read.settings;
  if (read.settingsLoaded) {
    if (hooks_.placeWindow) hooks_.placeWindow(settings_.windowRect);
  } else {
    applyStartupDefaults(settings_, firstPortOrNone(ports), places_.dataDirectory);
    if (hooks_.placeWindow) hooks_.placeWindow(std::nullopt);
  }
  currentPort = settings_.currentPort;
  currentBaud = settings_.currentBaud;
  session_.setModelIndex(settings_.modelIndex);
  {
    MeterIdentity identity = session_.identity();
    identity.serialNumberText.clear();
    session_.setIdentity(identity);
  }

  settings_.language = chooseStartupLanguage(read.settingsLoaded, read.settingsFromOtherVersion,
                                             settings_.language, places_.programDirectory);
  setUpMenus();

  ui_.setUnitFont(kMainDialog, kUnitText, UnitFont::Upright);

  ui_.setTabText(kMainDialog, kPageTabs, 0, "レコード");
  ui_.setTabText(kMainDialog, kPageTabs, 1, "グラフ");
  onTabSelected(0);
  for (int control : kListPageControls) ui_.setEnabled(kRecordListPage, control, false);
  for (int control : {kStartButton, kStopButton, kManualButton, kSaveButton, kClearButton, kCopyGraphButton})
    ui_.setEnabled(kMainDialog, control, false);
  ui_.setVisible(kMainDialog, kCopyGraphButton, false);
  run(hooks_.initialisePages);

  ui_.setText(kMainDialog, kStatusLine, "");
  if (settings_.dateMode == 0) {
    settings_.dateText = todayDateText();
    ui_.setText(kRecordInfoPage, kInfoDate, settings_.dateText);
  }
  ui_.setVisible(kMainDialog, kHiddenButton, false);

  FillLanguageTable(settings_.language);
  applyMainWindowTexts();

  // Monitor panel reset, zero adjustment off, Monitor button hidden with
  // automatic connection, usbPollThread; then clockThread.
  monitor_->startUp(settings_.autoConnect == 1);
  clock_ = std::make_unique<ClockThread>(ui_, session_, places_.programDirectory);
  clock_->start();

  shared_.initialised = 1;
}

void MainWindow::setUpMenus() {
  for (int command : {kMenuSave, kMenuSaveAs, kMenuSaveAsCsv}) ui_.setMenuEnabled(command, false);
  shared_.openAllowed = 1;
  shared_.saveAllowed = 0;
  ui_.setMenuEnabled(kMenuReadMemory, false);
  settings_.language = normalizeLanguageCode(settings_.language);
  for (int code = 0; code < kLanguageCount; ++code) {
    ui_.setMenuChecked(kLanguageCommands[code], code == settings_.language);
    ui_.setMenuEnabled(kLanguageCommands[code], code != settings_.language);
  }
}

void MainWindow::applyMainWindowTexts() {
  const LanguageTable& t = languageTable();
  const bool monitoring = session_.meterConnected == 1;
  const bool recording = ask(hooks_.recordingRunning, false);
  const bool capturing = ask(hooks_.captureRunning, false);

  ui_.setMenuBarText(kMenuBarFile, t[TextMenuFile]);
  ui_.setMenuBarText(kMenuBarSetting, t[TextMenuSetting]);
  ui_.setMenuBarText(kMenuBarOption, t[TextMenuOption]);
  ui_.setMenuBarText(kMenuBarLanguage, t[TextMenuLanguage]);
  ui_.setMenuBarText(kMenuBarHelp, t[TextMenuHelp]);

  ui_.setMenuText(kMenuOpen, t[TextMenuOpen]);
  ui_.setMenuText(kMenuSave, t[TextMenuSave]);
  ui_.setMenuText(kMenuSaveAs, t[TextMenuSaveAs]);
  ui_.setMenuText(kMenuSaveAsCsv, t[TextMenuSaveAsCsv]);
  ui_.setMenuText(kMenuExit, t[TextMenuExit]);
  ui_.setMenuEnabled(kMenuOpen, shared_.openAllowed == 1);
  for (int command : {kMenuSave, kMenuSaveAs, kMenuSaveAsCsv}) ui_.setMenuEnabled(command, shared_.saveAllowed == 1);

  ui_.setMenuText(kMenuReadMemory, t[TextMenuReadMemory]);
  ui_.setMenuText(kMenuPasteToExcel, t[TextMenuPasteToExcel]);
  ui_.setMenuEnabled(kMenuReadMemory, monitoring && !recording && !capturing);

  ui_.setMenuText(kMenuPdfManual, t[TextMenuPdfManual]);
  ui_.setMenuText(kMenuAbout, t[TextMenuAbout]);

  const std::pair<int, int> captions[] = {
      {kMonitorGroup, TextRealTimeMonitor},
      {kLuxCaption, TextLuxLabel},
      {kModeCaption, TextModeLabel},
      {kRangeCaption, TextRangeLabel},
      {kMonitorButton, monitoring ? TextStopMonitor : TextMonitor},
      {kConnectionGroup, monitoring ? TextCommunicating : TextUutUnconnected},
      {kStatusGroup, TextStatus},
      {kModelCaption, TextModelLabel},
      {kVersionCaption, TextVersionLabel},
      {kPortCaption, TextPortLabel},
      {kTimeCaption, TextTimeLabel},
  };
  for (auto [control, entry] : captions) ui_.setText(kMainDialog, control, t[entry]);

  ui_.setTabText(kMainDialog, kPageTabs, 0, t[TextTabRecord]);
  ui_.setTabText(kMainDialog, kPageTabs, 1, t[TextTabGraph]);

  const std::pair<int, int> infoCaptions[] = {
      {kInfoCompanyCaption, TextCompany}, {kInfoModelCaption, TextModel},     {kInfoFunctionCaption, TextFunction},
      {kInfoRangeCaption, TextRange},     {kInfoDateCaption, TextDate},       {kInfoOperatorCaption, TextOperator},
      {kInfoTempHumidCaption, TextTempHumid}, {kInfoIntervalCaption, TextInterval},
      {kInfoBufferCaption, TextBuffer},   {kInfoMemoCaption, TextMemo},
  };
  for (auto [control, entry] : infoCaptions) ui_.setText(kRecordInfoPage, control, t[entry]);

  ui_.setColumnHeading(kRecordListPage, kRecordList, 0, t[TextRecordTimeHeading]);
  ui_.setColumnHeading(kRecordListPage, kRecordList, 1, t[TextLux]);
  ui_.setColumnHeading(kRecordListPage, kRecordList, 2, t[TextListColumn2]);
  ui_.setText(kRecordListPage, kPreviousButton, t[TextPrevious]);
  ui_.setText(kRecordListPage, kNextButton, t[TextNext]);
  ui_.setText(kRecordListPage, kJumpButton, t[TextJump]);
  ui_.setText(kRecordListPage, kRecordListLuxLabel, t[TextLux]);
  ui_.setTabText(kGraphPage, kGraphTabs, 0, t[TextLux]);

  const std::pair<int, int> recordControls[] = {
      {kStartCaption, TextStartLabel}, {kStopCaption, TextStopLabel},     {kStartButton, TextStartButton},
      {kStopButton, TextStopButton},   {kManualButton, TextManual},       {kCopyGraphButton, TextCopyGraph},
      {kSaveButton, TextSaveButton},   {kClearButton, TextClearButton},
  };
  for (auto [control, entry] : recordControls) ui_.setText(kMainDialog, control, t[entry]);

  if (monitoring) {
    ui_.setComboItems(kMainDialog, kModeCombo, {"LUX"});
    ui_.setComboSelection(kMainDialog, kModeCombo, session_.block.modeSelection());
  }
  run(hooks_.applyPageTexts);
}

void MainWindow::onCancelCommand() {
  if (exiting_) return;
  const LanguageTable& t = languageTable();
  if (ask(hooks_.recordingRunning, false) || ask(hooks_.captureRunning, false)) {
    ui_.showMessage({t[TextStopRecordBeforeExit], MessageIcon::Warning});
    return;
  }
  if (ui_.showMessage({t[TextConfirmExit], MessageIcon::Information, MessageButtons::YesNo, MessageAnswer::No}) !=
      MessageAnswer::Yes)
    return;
  exiting_ = true;
  run(hooks_.stopRecordThreads);
  if (!ask(hooks_.dataSaved, true)) {
    if (ui_.showMessage({t[TextSaveData], MessageIcon::Information, MessageButtons::YesNo, MessageAnswer::Yes}) ==
        MessageAnswer::Yes) {
      run(hooks_.saveFileAs);
    } else {
      run(hooks_.recordsGivenUp);
    }
  }
  if (hooks_.windowRect) settings_.windowRect = hooks_.windowRect();
  ui_.setWindowVisible(kMainDialog, false);
  monitor_->exit([this] { finishExit(); });
}

void MainWindow::finishExit() {
  if (ended_) return;
  ended_ = true;
  if (clock_) clock_->stopAndJoin();
  writeSettingsFile();
  run(hooks_.endProgram);
}

void MainWindow::writeSettingsFile() {
  settings_.currentPort = currentPort;
  settings_.currentBaud = currentBaud;
  settings_.autoConnect = monitor_->autoConnect() ? 1 : 0;
  settings_.modelIndex = session_.identity().modelIndex < 0 ? settings_.modelIndex : session_.identity().modelIndex;
  const SettingsWriteResult result = writeSettings(settingsFilePath(places_.dataDirectory), settings_);
  if (result.outcome == SettingsWriteOutcome::DataDirectoryMissing ||
      result.outcome == SettingsWriteOutcome::WriteFailed)
    ui_.showMessage({languageTable()[TextSystemError], MessageIcon::Error});
}

void MainWindow::onFileMenuState(bool grey, bool includeOpen) {
  if (includeOpen) {
    ui_.setMenuEnabled(kMenuOpen, !grey);
    shared_.openAllowed = grey ? 0 : 1;
  }
  for (int command : {kMenuSave, kMenuSaveAs, kMenuSaveAsCsv}) ui_.setMenuEnabled(command, !grey);
  shared_.saveAllowed = grey ? 0 : 1;
}

void MainWindow::onMemoryMenuState(bool grey) {
  if (session_.identity().modelIndex < 0) return;
  ui_.setMenuEnabled(kMenuReadMemory, !grey);
}

bool MainWindow::onKeyDown(Key key, bool ctrl, bool shift, int focusedControl) {
  switch (key) {
    case Key::Enter:
      if (ask(hooks_.pasteByReturnKeyActive, false)) {
        if (session_.meterConnected == 1) {
          ui_.post([this] { run(hooks_.pasteByReturnKey); });
        } else {
          ui_.setFocus(kMainDialog, kMonitorButton);
          ui_.showMessage({languageTable()[TextMonitorStoppedReturnKey], MessageIcon::Information});
        }
        return true;
      }
      return focusedControl == kModeCombo || focusedControl == kRangeCombo;
    case Key::Escape:
      onCancelCommand();
      return true;
    case Key::O:
      if (ctrl && shared_.openAllowed == 1) run(hooks_.openFile);
      return false;
    case Key::S:
      if (ctrl && shared_.saveAllowed == 1) run(shift ? hooks_.saveFileAs : hooks_.saveFile);
      return false;
    case Key::F1:
      onManualCommand();
      return false;
    case Key::Other:
      return false;
  }
  return false;
}

void MainWindow::onPasteCommand() {
  if (shared_.pasteDialogClosed == 0) return;
  shared_.pasteDialogClosed = 0;
  if (shared_.pasteDialogCreated == 0) {
    run(hooks_.createPasteDialog);
    shared_.pasteDialogCreated = 1;
  }
  run(hooks_.showPasteDialog);
}

void MainWindow::onPasteDialogClosed() { shared_.pasteDialogClosed = 1; }

void MainWindow::onWindowMoved(int x, int y) {
  if (shared_.pasteDialogClosed == 0 && hooks_.pasteDialogFollow) hooks_.pasteDialogFollow(x, y);
}

void MainWindow::onLanguageCommand(int command) {
  if (command != kMenuJapanese && command != kMenuEnglish) return;
  const int old = normalizeLanguageCode(settings_.language);
  ui_.setMenuChecked(kLanguageCommands[old], false);
  ui_.setMenuEnabled(kLanguageCommands[old], true);
  settings_.language = command == kMenuJapanese ? kLanguageJapanese : kLanguageEnglish;
  ui_.setMenuChecked(kLanguageCommands[settings_.language], true);
  ui_.setMenuEnabled(kLanguageCommands[settings_.language], false);
  FillLanguageTable(settings_.language);
  applyMainWindowTexts();
  ui_.setWindowVisible(kMainDialog, false);
  ui_.setWindowVisible(kMainDialog, true);
}

std::string MainWindow::manualPath() const {
  return places_.programDirectory + "/Manuals/LX5810appli_UsersManual" + languageTable()[TextManualFileSuffix];
}

void MainWindow::onManualCommand() {
  if (hooks_.openDocument && hooks_.openDocument(manualPath())) return;
  ui_.showMessage({languageTable()[TextShellError]});
}

void MainWindow::onAboutCommand() { run(hooks_.showAbout); }

void MainWindow::onTabSelected(int item) {
  ui_.setVisible(kMainDialog, kRecordInfoPage, false);
  ui_.setVisible(kMainDialog, kRecordInfoPage, true);
  ui_.setVisible(kMainDialog, kRecordListPage, item == 0);
  ui_.setVisible(kMainDialog, kManualButton, item == 0);
  ui_.setVisible(kMainDialog, kGraphPage, item == 1);
  ui_.setVisible(kMainDialog, kCopyGraphButton, item == 1);
}

void MainWindow::onDeviceChange() {
  monitor_->onDeviceChange();
  if (shared_.settingsDialogOpen.load() != 0 && settingsDialog_->isOpen()) {
    settingsDialog_->refreshPortList(portList().snapshot(), currentPort);
  }
}

void MainWindow::onSettingCommand() {
  if (settingsDialog_->isOpen()) return;
  timeDisplayModeAtOpening_ = settings_.timeDisplayMode;
  settingsDialog_->open(portList().snapshot(), currentPort, ask(hooks_.recordingRunning, false));
}

void MainWindow::onSettingsCancel() { settingsDialog_->onCancel(); }

void MainWindow::onSettingsOk() {
  if (!settingsDialog_->onOk()) return;
  monitor_->applySettings(settingsDialog_->selectedPortNumber(), settings_.autoConnect != 0, settings_.baudIndex);
  if (hooks_.settingsApplied) hooks_.settingsApplied(settings_.timeDisplayMode != timeDisplayModeAtOpening_);
}

}  // namespace lmv
