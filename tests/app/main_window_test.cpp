// The main window's own flows on a recording UiHost: start-up state, exit
// sequence, menu states, keys, language switch and the manual.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "app/main_window.h"
#include "base/paths.h"
#include "fake_ui_host.h"
#include "link/explicit_ports.h"
#include "link/port_list.h"
#include "link/port_numbering.h"
#include "record/record_controls.h"
#include "sim_fixture.h"
#include "test_files.h"
#include "ui/language_table.h"
#include "ui/main_window_controls.h"
#include "ui/monitor_controls.h"
#include "ui/settings_controls.h"

namespace lmv::test {
namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("LC_ALL", "C.UTF-8", 1);
    ::unsetenv(kPortsEnvironmentVariable);
    places = {dir.path(), dir.path()};
  }
  void TearDown() override {
    window.reset();
    meter.reset();
    portList().replace({});
  }

  void start(bool autoConnect = false) {
    if (!autoConnect) {
      // A settings file that switches automatic connection off.
      if (!std::filesystem::exists(settingsFilePath(dir.path()))) {
        AppSettings s;
        s.autoConnect = 0;
        s.currentPort = meter ? meter->portNumber() : 1000;
        writeSettings(settingsFilePath(dir.path()), s);
      }
    }
    MainWindowHooks hooks;
    hooks.recordingRunning = [this] { return recording; };
    hooks.captureRunning = [this] { return capturing; };
    hooks.dataSaved = [this] { return saved; };
    hooks.stopRecordThreads = [this] { ++recordThreadStops; };
    hooks.openFile = [this] { ++opens; };
    hooks.saveFile = [this] { ++saves; };
    hooks.saveFileAs = [this] { ++saveAses; };
    hooks.recordsGivenUp = [this] { ++givenUp; };
    hooks.openDocument = [this](const std::string& path) {
      openedDocuments.push_back(path);
      return std::filesystem::exists(path);
    };
    hooks.endProgram = [this] { ++ends; };
    hooks.settingsApplied = [this](bool timeDisplayChanged) { settingsApplied.push_back(timeDisplayChanged); };
    hooks.pasteByReturnKeyActive = [this] { return returnKeyLinked; };
    hooks.pasteByReturnKey = [this] { ++returnKeyPastes; };
    hooks.createPasteDialog = [this] { ++pasteCreates; };
    hooks.showPasteDialog = [this] { ++pasteShows; };
    hooks.pasteDialogFollow = [this](int x, int y) { follows.emplace_back(x, y); };
    window = std::make_unique<MainWindow>(ui, session, shared, std::move(hooks));
    window->startUp(places);
  }

  bool exitFinished() {
    return ui.pumpUntil([&] { return ends > 0; }, std::chrono::minutes(2));
  }

  TempDir dir;
  ProgramPlaces places;
  FakeUiHost ui;
  MeterSession session;
  SharedState shared;
  std::unique_ptr<SimulatedMeter> meter;
  std::unique_ptr<MainWindow> window;
  bool recording = false;
  bool capturing = false;
  bool saved = true;
  int recordThreadStops = 0, opens = 0, saves = 0, saveAses = 0, givenUp = 0, ends = 0;
  std::vector<std::string> openedDocuments;
  std::vector<bool> settingsApplied;
  bool returnKeyLinked = false;
  int returnKeyPastes = 0, pasteCreates = 0, pasteShows = 0;
  std::vector<std::pair<int, int>> follows;
};

TEST_F(MainWindowTest, FirstStartIsEnglishWithSaveAndMemoryGreyed) {
  std::filesystem::remove(settingsFilePath(dir.path()));
  start(true);
  EXPECT_EQ(ui.windowTitle(), "Lumetrevisor for LX5810/LX5811  Ver1.10");
  EXPECT_TRUE(ui.menuChecked(kMenuEnglish));
  EXPECT_FALSE(ui.menuEnabled(kMenuEnglish));
  EXPECT_FALSE(ui.menuChecked(kMenuJapanese));
  EXPECT_TRUE(ui.menuEnabled(kMenuJapanese));
  for (int command : {kMenuSave, kMenuSaveAs, kMenuSaveAsCsv, kMenuReadMemory})
    EXPECT_FALSE(ui.menuEnabled(command)) << command;
  EXPECT_TRUE(ui.menuEnabled(kMenuOpen));
  EXPECT_EQ(shared.openAllowed, 1);
  EXPECT_EQ(shared.saveAllowed, 0);
  for (int control : {kStartButton, kStopButton, kManualButton, kSaveButton, kClearButton, kCopyGraphButton,
                      kZeroAdjustButton})
    EXPECT_FALSE(ui.enabled(control)) << control;
  EXPECT_FALSE(ui.visible(kCopyGraphButton));
  EXPECT_FALSE(ui.visible(kHiddenButton));
  EXPECT_FALSE(ui.visible(kMonitorButton)) << "automatic connection hides the Monitor button";
  EXPECT_EQ(ui.menuBarText(kMenuBarFile), "File(&F)");
  EXPECT_EQ(ui.menuText(kMenuOpen), "Open(&O)\tCtrl+O");
  EXPECT_EQ(ui.menuText(kMenuExit), "Exit(&X)\tEsc");
  EXPECT_EQ(ui.tabText(kPageTabs, 0), "Record");
  EXPECT_EQ(ui.tabText(kPageTabs, 1), "Graph");
  EXPECT_EQ(ui.text(kMonitorGroup), "Real Time Monitor (Measured value)");
  EXPECT_EQ(ui.text(kLuxCaption), "LUX：");
  EXPECT_EQ(ui.unitFont(kUnitText), UnitFont::Upright);
  EXPECT_EQ(ui.columnHeading(kRecordList, 0, kRecordListPage), "Record Time");
  EXPECT_EQ(shared.initialised, 1);
  EXPECT_TRUE(window->monitor().pollRunning());
}

TEST_F(MainWindowTest, JapaneseLanguageFileChoosesJapaneseAtFirstStart) {
  std::filesystem::create_directories(dir.file("Languages"));
  std::ofstream(dir.file("Languages/lang.txt")) << "Japanese\n";
  start(true);
  EXPECT_EQ(window->languageCode(), kLanguageJapanese);
  EXPECT_TRUE(ui.menuChecked(kMenuJapanese));
  EXPECT_EQ(ui.menuBarText(kMenuBarFile), "ファイル(&F)");
}

TEST_F(MainWindowTest, ExitIsRefusedWhileRecordingOrCapturing) {
  start();
  for (bool* flag : {&recording, &capturing}) {
    *flag = true;
    window->onCancelCommand();
    *flag = false;
  }
  const auto boxes = ui.messages();
  ASSERT_EQ(boxes.size(), 2u);
  for (const auto& box : boxes) {
    EXPECT_EQ(box.text, "Please stop record before closing the app!");
    EXPECT_EQ(box.icon, MessageIcon::Warning);
  }
  EXPECT_FALSE(window->exiting());
  EXPECT_TRUE(ui.windowVisible());
}

TEST_F(MainWindowTest, ExitConfirmationPreselectsNoAndNoKeepsRunning) {
  start();
  window->onCancelCommand();  // the script is empty: the preselected button answers
  const auto boxes = ui.messages();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "This will exit the application.  \nDo you want to proceed?");
  EXPECT_EQ(boxes[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(boxes[0].defaultAnswer, MessageAnswer::No);
  EXPECT_EQ(boxes[0].icon, MessageIcon::Information);
  EXPECT_FALSE(window->exiting());
  EXPECT_EQ(recordThreadStops, 0);
}

TEST_F(MainWindowTest, ExitWithUnsavedDataAsksToSaveThenHidesAndWritesSettings) {
  start();
  saved = false;
  std::filesystem::remove(settingsFilePath(dir.path()));
  ui.scriptAnswers({MessageAnswer::Yes, MessageAnswer::Yes});
  window->onCancelCommand();
  ASSERT_TRUE(exitFinished());
  const auto boxes = ui.messages();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "Save data?");
  EXPECT_EQ(saveAses, 1);
  EXPECT_EQ(givenUp, 0) << "records the user saves are not given up";
  EXPECT_EQ(recordThreadStops, 1);
  EXPECT_FALSE(ui.windowVisible());
  EXPECT_TRUE(std::filesystem::exists(settingsFilePath(dir.path())));
}

TEST_F(MainWindowTest, ExitWithUnsavedDataAnsweredNoLosesThem) {
  start();
  saved = false;
  ui.scriptAnswers({MessageAnswer::Yes, MessageAnswer::No});
  window->onCancelCommand();
  ASSERT_TRUE(exitFinished());
  EXPECT_EQ(saveAses, 0);
  EXPECT_EQ(givenUp, 1);
}

TEST_F(MainWindowTest, ExitReportsSystemErrorWhenTheSettingsCannotBeWritten) {
  places.dataDirectory = dir.file("gone");
  start();
  ui.scriptAnswers({MessageAnswer::Yes});
  window->onCancelCommand();
  ASSERT_TRUE(exitFinished());
  const auto boxes = ui.messages();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "System Error");
  EXPECT_EQ(boxes[1].icon, MessageIcon::Error);
}

TEST_F(MainWindowTest, ExitWhileMonitoringSendsGoToLocalBeforeTheEnd) {
  meter = std::make_unique<SimulatedMeter>();
  start();
  window->monitor().onMonitorButton();
  ASSERT_TRUE(ui.pumpUntil([&] { return session.meterConnected && !ui.text(kValueText).empty(); },
                           std::chrono::minutes(2)));
  ui.scriptAnswers({MessageAnswer::Yes});
  window->onCancelCommand();
  EXPECT_FALSE(ui.windowVisible()) << "the window goes at once";
  ASSERT_TRUE(exitFinished());
  const auto log = meter->simulator().commandLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), ":SYST:GTL");
  EXPECT_EQ(session.meterConnected, 0);
}

TEST_F(MainWindowTest, FootCandlesShowInTheItalicUnitFont) {
  sim::MeterConfig config;
  config.footCandle = true;
  config.range = 3;
  meter = std::make_unique<SimulatedMeter>(config);
  start();
  window->monitor().onMonitorButton();
  ASSERT_TRUE(ui.pumpUntil([&] { return ui.text(kUnitText) == "FC"; }, std::chrono::minutes(2)));
  EXPECT_EQ(ui.unitFont(kUnitText), UnitFont::FootCandle);
}

struct FileMenuCase {
  bool grey;
  bool includeOpen;
  bool openEnabled;
  bool saveEnabled;
};

class FileMenuState : public MainWindowTest, public ::testing::WithParamInterface<FileMenuCase> {};

TEST_P(FileMenuState, GreysOrEnablesTheItemsAndTheirFlags) {
  const FileMenuCase& c = GetParam();
  start();
  window->onFileMenuState(false, true);  // everything on first
  window->onFileMenuState(c.grey, c.includeOpen);
  EXPECT_EQ(ui.menuEnabled(kMenuOpen), c.openEnabled);
  EXPECT_EQ(shared.openAllowed == 1, c.openEnabled);
  for (int command : {kMenuSave, kMenuSaveAs, kMenuSaveAsCsv}) EXPECT_EQ(ui.menuEnabled(command), c.saveEnabled);
  EXPECT_EQ(shared.saveAllowed == 1, c.saveEnabled);
  // The keys follow the flags.
  window->onKeyDown(Key::O, true, false, 0);
  window->onKeyDown(Key::S, true, false, 0);
  window->onKeyDown(Key::S, true, true, 0);
  EXPECT_EQ(opens, c.openEnabled ? 1 : 0);
  EXPECT_EQ(saves, c.saveEnabled ? 1 : 0);
  EXPECT_EQ(saveAses, c.saveEnabled ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Messages, FileMenuState,
                         ::testing::Values(FileMenuCase{true, true, false, false},
                                           FileMenuCase{true, false, true, false},
                                           FileMenuCase{false, true, true, true},
                                           FileMenuCase{false, false, true, true}));

TEST_F(MainWindowTest, MemoryMenuStateIsIgnoredWithoutAModel) {
  start();
  window->onMemoryMenuState(false);
  EXPECT_TRUE(ui.menuEnabled(kMenuReadMemory));
  session.setModelIndex(-1);
  window->onMemoryMenuState(true);
  EXPECT_TRUE(ui.menuEnabled(kMenuReadMemory));
}

TEST_F(MainWindowTest, KeysWithoutTheirCommandDoNothing) {
  start();
  EXPECT_TRUE(window->onKeyDown(Key::Enter, false, false, kModeCombo));
  EXPECT_TRUE(window->onKeyDown(Key::Enter, false, false, kRangeCombo));
  EXPECT_FALSE(window->onKeyDown(Key::Enter, false, false, kMonitorButton));
  EXPECT_FALSE(window->onKeyDown(Key::O, false, false, 0)) << "O without Ctrl goes on";
  EXPECT_EQ(opens, 1 - 1);
  EXPECT_FALSE(window->onKeyDown(Key::S, true, false, 0));
  EXPECT_EQ(saves, 0) << "saveAllowed is 0 after start-up";
  EXPECT_TRUE(ui.messages().empty());
  EXPECT_TRUE(window->onKeyDown(Key::Escape, false, false, 0)) << "Esc is the exit command";
  EXPECT_EQ(ui.messages().size(), 1u);
}

TEST_F(MainWindowTest, F1WithoutAManualShowsShellError) {
  start();
  window->onKeyDown(Key::F1, false, false, 0);
  ASSERT_EQ(openedDocuments.size(), 1u);
  EXPECT_EQ(openedDocuments[0], dir.path() + "/Manuals/LX5810appli_UsersManual_Eng.pdf");
  const auto boxes = ui.messages();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Shell Error ");
  EXPECT_EQ(boxes[0].icon, MessageIcon::None);
  // With the manual there, nothing is reported.
  std::filesystem::create_directories(dir.file("Manuals"));
  std::ofstream(dir.file("Manuals/LX5810appli_UsersManual_Eng.pdf")) << "%PDF-1.4\n";
  window->onManualCommand();
  EXPECT_EQ(ui.messages().size(), 1u);
}

TEST_F(MainWindowTest, LanguageSwitchChangesEveryCaptionAndIsKeptAfterARestart) {
  start();
  window->onLanguageCommand(kMenuJapanese);
  EXPECT_TRUE(ui.menuChecked(kMenuJapanese));
  EXPECT_FALSE(ui.menuEnabled(kMenuJapanese));
  EXPECT_FALSE(ui.menuChecked(kMenuEnglish));
  EXPECT_TRUE(ui.menuEnabled(kMenuEnglish));
  EXPECT_FALSE(ui.menuEnabled(kMenuSave)) << "replacing the caption keeps the grey state";
  EXPECT_EQ(ui.menuBarText(kMenuBarHelp), "ヘルプ(&H)");
  EXPECT_EQ(ui.menuText(kMenuPdfManual), "PDFマニュアル(&H)\tF1");
  EXPECT_EQ(ui.text(kMonitorButton), "モニタ開始");
  EXPECT_EQ(ui.text(kConnectionGroup), "本体未接続");
  EXPECT_EQ(ui.tabText(kPageTabs, 0), "レコード");
  EXPECT_EQ(ui.text(kInfoMemoCaption, kRecordInfoPage), "メモ");
  EXPECT_TRUE(ui.windowVisible());
  EXPECT_EQ(window->manualPath(), dir.path() + "/Manuals/LX5810appli_UsersManual_Jpn.pdf");

  ui.scriptAnswers({MessageAnswer::Yes});
  window->onCancelCommand();
  ASSERT_TRUE(exitFinished());
  window.reset();
  FillLanguageTable(kLanguageEnglish);

  FakeUiHost second;
  MeterSession session2;
  SharedState shared2;
  MainWindow again(second, session2, shared2);
  again.startUp(places);
  EXPECT_EQ(again.languageCode(), kLanguageJapanese);
  EXPECT_TRUE(second.menuChecked(kMenuJapanese));
  EXPECT_EQ(second.text(kMonitorGroup), "リアルタイムモニタ(測定値)");
}

}  // namespace
}  // namespace lmv::test

namespace lmv::test {
namespace {

int portIndexOf(const std::vector<std::string>& items, int portNumber) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == " " + portDisplayName(portNumber)) return static_cast<int>(i);
  }
  return -1;
}

TEST_F(MainWindowTest, SettingsCancelAppliesNothingAndOkReportsTheTimeDisplayChange) {
  start();
  window->onSettingCommand();
  ASSERT_TRUE(ui.dialogOpen(kSettingsDialog));
  window->settingsDialog().onComboSelected(kTimeDisplayCombo, 1);
  window->onSettingsCancel();
  EXPECT_FALSE(ui.dialogOpen(kSettingsDialog));
  EXPECT_TRUE(settingsApplied.empty());
  EXPECT_EQ(window->settings().timeDisplayMode, 0);

  window->onSettingCommand();
  window->settingsDialog().onTextEdited(kIntervalSecondsEdit, "0");
  window->onSettingsOk();
  EXPECT_TRUE(ui.dialogOpen(kSettingsDialog)) << "a refused OK leaves the dialog up";
  EXPECT_TRUE(settingsApplied.empty());
  window->settingsDialog().onTextEdited(kIntervalSecondsEdit, "2");
  window->settingsDialog().onComboSelected(kTimeDisplayCombo, 1);
  window->onSettingsOk();
  EXPECT_FALSE(ui.dialogOpen(kSettingsDialog));
  EXPECT_EQ(settingsApplied, std::vector<bool>{true});
  EXPECT_EQ(window->settings().timeDisplayMode, 1);
  EXPECT_EQ(window->settings().intervalSeconds, 2);
  EXPECT_EQ(shared.settingsDialogOpen.load(), 0);

  window->onSettingCommand();
  window->onSettingsOk();
  EXPECT_EQ(settingsApplied, (std::vector<bool>{true, false}));
}

TEST_F(MainWindowTest, DeviceChangeWhileTheSettingsAreOpenRefreshesThePortList) {
  meter = std::make_unique<SimulatedMeter>();
  start();
  window->onSettingCommand();
  EXPECT_EQ(ui.comboItems(kPortCombo, kCommPage).size(), 1u);
  SimulatedMeter second;
  window->onDeviceChange();
  const auto items = ui.comboItems(kPortCombo, kCommPage);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(ui.comboSelection(kPortCombo, kCommPage), portIndexOf(items, meter->portNumber()));
  window->onSettingsCancel();
  window->onDeviceChange();
}

TEST_F(MainWindowTest, PortChangeWhileMonitoringDisconnectsAndTakesTheNewPort) {
  meter = std::make_unique<SimulatedMeter>();
  SimulatedMeter second;
  start();
  window->monitor().onMonitorButton();
  ASSERT_TRUE(ui.pumpUntil([&] { return session.meterConnected != 0; }, std::chrono::minutes(2)));
  window->onSettingCommand();
  const int index = portIndexOf(ui.comboItems(kPortCombo, kCommPage), second.portNumber());
  ASSERT_GE(index, 0);
  window->settingsDialog().onComboSelected(kPortCombo, index);
  window->onSettingsOk();
  EXPECT_EQ(currentPort.load(), second.portNumber());
  EXPECT_TRUE(ui.pumpUntil([&] { return session.meterConnected == 0; }, std::chrono::minutes(2)));
}

TEST_F(MainWindowTest, PasteMenuMakesTheDialogOnceAndShowsItOnlyWhenHidden) {
  start();
  EXPECT_EQ(shared.pasteDialogClosed, 1);
  EXPECT_EQ(shared.pasteDialogCreated, 0);
  window->onPasteCommand();
  EXPECT_EQ(pasteCreates, 1);
  EXPECT_EQ(pasteShows, 1);
  EXPECT_EQ(shared.pasteDialogClosed, 0);
  EXPECT_EQ(shared.pasteDialogCreated, 1);
  window->onPasteCommand();
  EXPECT_EQ(pasteShows, 1) << "shown already: nothing happens";
  window->onPasteDialogClosed();
  EXPECT_EQ(shared.pasteDialogClosed, 1);
  window->onPasteCommand();
  EXPECT_EQ(pasteCreates, 1);
  EXPECT_EQ(pasteShows, 2);
}

TEST_F(MainWindowTest, MovesAreHandedToThePasteDialogOnlyWhileItIsShown) {
  EXPECT_EQ(shared.pasteDialogClosed, 1) << "a window moved before the start-up";
  start();
  window->onWindowMoved(10, 20);
  window->onPasteCommand();
  window->onWindowMoved(30, 40);
  window->onPasteDialogClosed();
  window->onWindowMoved(50, 60);
  EXPECT_EQ(follows, (std::vector<std::pair<int, int>>{{30, 40}}));
}

struct EnterCase {
  const char* name;
  bool linked;  // the spreadsheet linked in return-key mode
  bool monitoring;
  bool consumed;
  int pastes;
  bool toldToStartTheMonitor;
};

class EnterKeyPaste : public MainWindowTest, public ::testing::WithParamInterface<EnterCase> {};

TEST_P(EnterKeyPaste, CapturesOnlyWhenLinkedAndMonitoring) {
  const EnterCase& c = GetParam();
  if (c.monitoring) meter = std::make_unique<SimulatedMeter>();
  start();
  if (c.monitoring) {
    window->monitor().onMonitorButton();
    ASSERT_TRUE(ui.pumpUntil([&] { return session.meterConnected == 1; }));
  }
  returnKeyLinked = c.linked;
  ui.setFocus(kMainDialog, kStartButton);
  EXPECT_EQ(window->onKeyDown(Key::Enter, false, false, kStartButton), c.consumed);
  // The capture is posted: it comes once the window's queue runs.
  ui.pumpUntil([&] { return returnKeyPastes == c.pastes; });
  EXPECT_EQ(returnKeyPastes, c.pastes);
  const auto boxes = ui.messages();
  ASSERT_EQ(boxes.size(), c.toldToStartTheMonitor ? 1u : 0u);
  if (c.toldToStartTheMonitor) {
    EXPECT_EQ(boxes[0].text, "Monitor is stopping.\nPlease run after you start the monitor.");
    EXPECT_EQ(boxes[0].icon, MessageIcon::Information);
    EXPECT_EQ(ui.focus(), (FakeUiHost::Key{kMainDialog, kMonitorButton}));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, EnterKeyPaste,
                         ::testing::Values(EnterCase{"NotLinked", false, true, false, 0, false},
                                           EnterCase{"LinkedMonitorStopped", true, false, true, 0, true},
                                           EnterCase{"LinkedMonitoring", true, true, true, 1, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, MemoryItemStaysGreyAcrossALanguageSwitchWhileCapturing) {
  meter = std::make_unique<SimulatedMeter>();
  start();
  window->monitor().onMonitorButton();
  ASSERT_TRUE(ui.pumpUntil([&] { return session.meterConnected == 1 && ui.menuEnabled(kMenuReadMemory); }));
  capturing = true;
  window->onMemoryMenuState(true);
  window->onLanguageCommand(kMenuJapanese);
  EXPECT_FALSE(ui.menuEnabled(kMenuReadMemory));
  capturing = false;
  window->onMemoryMenuState(false);
  window->onLanguageCommand(kMenuEnglish);
  EXPECT_TRUE(ui.menuEnabled(kMenuReadMemory));
}

}  // namespace
}  // namespace lmv::test
