// The paste dialog as a window against a scripted office: the open sequence
// with its question and file choice, the link made in the background, the
// settings it starts from and keeps, closing, and following the main window.
#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "fake_sheet_office.h"
#include "fake_ui_host.h"
#include "scripted_chooser.h"
#include "sheet/paste_dialog.h"
#include "stepped_clock.h"

namespace lmv::test {
namespace {

constexpr int kFollowOffset = 482;

class PasteDialogTest : public ::testing::Test {
 protected:
  PasteDialogTest() {
    texts.fill(kLanguageEnglish);
    HandOverValue v;
    v.pasteCopy.rangeText = "2000";
    v.pasteCopy.valueText = "512";
    v.pasteCopy.unitText = "lx";
    handOver.put(v);
    office->cursor = {0, 1, 1};
  }
  ~PasteDialogTest() override {
    clock.openGate();
    releaseConnect = true;
    dialog.reset();
  }

  void make() {
    PasteHooks hooks;
    hooks.meterConnected = [] { return true; };
    hooks.recordingRunning = [] { return false; };
    hooks.rowDone = [this](RowWrite r) { rowResults.push_back(r); };
    dialog = std::make_unique<PasteDialog>(std::make_unique<FakeSheetOffice>(office), ui, texts, handOver, clock,
                                           chooser, settings, hooks, [this] { ++closed; }, kFollowOffset);
    dialog->initialise();
  }
  // The question answered (with "Edit File" when editFile), then the link
  // made.
  void open(bool editFile = false) {
    dialog->onOpenButton();
    if (editFile) dialog->openDialog().onEditFile();
    dialog->openDialog().onOk();
    ASSERT_TRUE(ui.pumpUntil([&] { return !dialog->capture().link().connecting(); }));
  }
  // The office's connect waits until releaseConnect (or the link gives up).
  void holdConnect() {
    office->duringConnect = [state = office.get(), this] {
      while (!releaseConnect && !state->abandoned) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
  }
  int rows() const {
    int n = 0;
    while (!office->text({0, 1, n + 1}).empty()) ++n;
    return n;
  }

  std::shared_ptr<FakeSheetOffice::State> office = std::make_shared<FakeSheetOffice::State>();
  FakeUiHost ui;
  LanguageTable texts;
  HandOverArea handOver;
  SteppedClock clock;
  ScriptedChooser chooser;
  AppSettings settings;
  int closed = 0;
  std::vector<RowWrite> rowResults;
  std::atomic<bool> releaseConnect{false};
  std::unique_ptr<PasteDialog> dialog;
};

struct OpenCase {
  const char* name;
  int32_t pasteMode;
  bool editFile;
  std::optional<std::string> file;  // the file choice's answer
  OfficeConnect result;
  int connects;
  bool linked;
  int focus;            // control with the focus afterwards; 0: none given
  const char* message;  // nullptr: none
};

class OpenSequence : public PasteDialogTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenSequence, AsksHowThenLinksAndFocusesTheFirstControl) {
  const OpenCase& c = GetParam();
  settings.pasteMode = c.pasteMode;
  office->connectResult = c.result;
  chooser.answers = {c.file};
  make();
  dialog->onOpenButton();
  EXPECT_TRUE(ui.dialogOpen(kExcelOpenDialog));
  EXPECT_TRUE(ui.checked(kNewFileRadio, kExcelOpenDialog));
  EXPECT_FALSE(ui.checked(kEditFileRadio, kExcelOpenDialog));
  if (c.editFile) dialog->openDialog().onEditFile();
  dialog->openDialog().onOk();
  EXPECT_FALSE(ui.dialogOpen(kExcelOpenDialog));
  ASSERT_TRUE(ui.pumpUntil([&] { return !dialog->capture().link().connecting(); }));

  EXPECT_EQ(office->connects, c.connects);
  EXPECT_EQ(dialog->capture().sheetConnected(), c.linked);
  if (c.connects > 0) {
    EXPECT_EQ(office->lastMode, c.editFile ? OpenMode::ChooseFile : OpenMode::NewOrRunning);
    EXPECT_EQ(office->lastPath, c.editFile ? c.file.value_or("") : "");
  }
  ASSERT_EQ(chooser.requests.size(), c.editFile ? 1u : 0u);
  if (c.editFile) {
    const FileDialogRequest& r = chooser.requests[0];
    EXPECT_EQ(r.kind, FileDialogRequest::Kind::Open);
    EXPECT_EQ(r.defaultExtension, "xls");
    EXPECT_EQ(r.initialName, "*.xls");
    EXPECT_EQ(r.filter, "Excel file (*.xlsx;*.xls)|*.xlsx;*.xls||");
  }
  const bool byInterval = c.pasteMode == 0;
  EXPECT_EQ(ui.enabled(kPasteOpenButton, kPasteDialog), !c.linked);
  EXPECT_EQ(ui.enabled(kPasteByReturnKeyRadio, kPasteDialog), c.linked);
  EXPECT_EQ(ui.enabled(kPasteByIntervalRadio, kPasteDialog), c.linked);
  EXPECT_EQ(ui.enabled(kPasteStartButton, kPasteDialog), c.linked && byInterval);
  EXPECT_EQ(ui.enabled(kPasteUseRecordCheck, kPasteDialog), c.linked && byInterval);
  EXPECT_EQ(ui.timerRunning(kTimerSheetWatch), c.linked);
  EXPECT_EQ(ui.focus(), (c.focus ? FakeUiHost::Key{kPasteDialog, c.focus} : FakeUiHost::Key{kExcelOpenDialog, kNewFileRadio}));
  const auto boxes = ui.messages();
  ASSERT_EQ(boxes.size(), c.message ? 1u : 0u);
  if (c.message) {
    EXPECT_EQ(boxes[0].text, c.message);
    EXPECT_EQ(boxes[0].ownerDialog, kPasteDialog);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenSequence,
    ::testing::Values(
        OpenCase{"NewFileByInterval", 0, false, std::nullopt, OfficeConnect::Connected, 1, true, kPasteStartButton,
                 nullptr},
        OpenCase{"NewFileByReturnKey", 1, false, std::nullopt, OfficeConnect::Connected, 1, true,
                 kPasteByReturnKeyRadio, nullptr},
        OpenCase{"EditFileChosen", 0, true, "/tmp/sheet.xlsx", OfficeConnect::Connected, 1, true, kPasteStartButton,
                 nullptr},
        OpenCase{"EditFileNotChosen", 0, true, std::nullopt, OfficeConnect::Connected, 0, false, 0, nullptr},
        OpenCase{"NoOffice", 0, false, std::nullopt, OfficeConnect::NoOffice, 1, false, kPasteOpenButton,
                 "Excel program not found."},
        OpenCase{"FileNotOpened", 1, true, "/tmp/broken.xlsx", OfficeConnect::FileNotOpened, 1, false,
                 kPasteOpenButton, "Can not open /tmp/broken.xlsx."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PasteDialogTest, TheQuestionStartsFromNewFileAndCancelEndsTheSequence) {
  make();
  dialog->onOpenButton();
  EXPECT_EQ(ui.windowTitle(kExcelOpenDialog), "Open Excel");
  EXPECT_EQ(ui.text(kNewFileRadio, kExcelOpenDialog), "New File（Launched File）");
  EXPECT_EQ(ui.text(kEditFileRadio, kExcelOpenDialog), "Edit File");
  EXPECT_EQ(ui.text(kExcelOpenOk, kExcelOpenDialog), "OK");
  EXPECT_EQ(ui.text(kExcelOpenCancel, kExcelOpenDialog), "Cancel");
  dialog->openDialog().onEditFile();
  EXPECT_EQ(dialog->openDialog().openMode(), OpenMode::ChooseFile);
  dialog->openDialog().onCancel();
  EXPECT_FALSE(ui.dialogOpen(kExcelOpenDialog));
  EXPECT_TRUE(chooser.requests.empty());
  EXPECT_EQ(office->connects, 0);
  EXPECT_TRUE(ui.enabled(kPasteOpenButton, kPasteDialog));

  dialog->onOpenButton();
  EXPECT_EQ(ui.dialogOpenCount(kExcelOpenDialog), 2);
  EXPECT_EQ(dialog->openDialog().openMode(), OpenMode::NewOrRunning);
  EXPECT_TRUE(ui.checked(kNewFileRadio, kExcelOpenDialog));
  dialog->openDialog().onNewFile();
  dialog->openDialog().onOk();
  ASSERT_TRUE(ui.pumpUntil([&] { return dialog->capture().sheetConnected() && !dialog->capture().link().connecting(); }));
  dialog->onOpenButton();
  EXPECT_EQ(ui.dialogOpenCount(kExcelOpenDialog), 2) << "linked: the Open button does nothing";
}

struct BackgroundCase {
  const char* name;
  bool editFile;
  OfficeConnect result;
  bool watchWhileConnecting;  // after the dialog was activated
  bool linked;
};

class BackgroundConnect : public PasteDialogTest, public ::testing::WithParamInterface<BackgroundCase> {};

TEST_P(BackgroundConnect, OnlyCloseWorksUntilTheOfficeAnswers) {
  const BackgroundCase& c = GetParam();
  settings.pasteMode = 1;
  office->connectResult = c.result;
  chooser.answers = {"/tmp/sheet.xlsx"};
  holdConnect();
  make();
  dialog->onOpenButton();
  if (c.editFile) dialog->openDialog().onEditFile();
  dialog->openDialog().onOk();
  ASSERT_TRUE(ui.pumpUntil([&] { return office->connectStarted.load(); }));
  PasteCapture& capture = dialog->capture();
  EXPECT_TRUE(capture.link().connecting());
  for (int control : {kPasteOpenButton, kPasteByReturnKeyRadio, kPasteByIntervalRadio, kPasteUseRecordCheck,
                      kPasteIntervalCombo, kPasteStartButton})
    EXPECT_FALSE(ui.enabled(control, kPasteDialog)) << control;
  EXPECT_TRUE(ui.enabled(kPasteCloseButton, kPasteDialog));
  // No office call but the connect: captures are dropped, a watch tick
  // does not take the unfinished link for a closed one.
  capture.onPasteByReturnKey();
  ASSERT_EQ(rowResults, std::vector<RowWrite>{RowWrite::Dropped});
  capture.link().watch();
  EXPECT_TRUE(capture.sheetConnected());
  dialog->onActivated();
  EXPECT_EQ(ui.timerRunning(kTimerSheetWatch), c.watchWhileConnecting);

  releaseConnect = true;
  ASSERT_TRUE(ui.pumpUntil([&] { return !capture.link().connecting(); }));
  EXPECT_EQ(capture.sheetConnected(), c.linked);
  EXPECT_EQ(ui.timerRunning(kTimerSheetWatch), c.linked);
  EXPECT_EQ(ui.enabled(kPasteOpenButton, kPasteDialog), !c.linked);
  EXPECT_FALSE(capture.link().startWatchOnActivate());
  if (c.linked) {
    capture.onPasteByReturnKey();
    EXPECT_EQ(rowResults.back(), RowWrite::Written);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, BackgroundConnect,
                         ::testing::Values(BackgroundCase{"NewFile", false, OfficeConnect::Connected, false, true},
                                           BackgroundCase{"EditFile", true, OfficeConnect::Connected, true, true},
                                           BackgroundCase{"EditFileFails", true, OfficeConnect::FileNotOpened, true,
                                                          false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PasteDialogTest, GoingAwayDuringTheConnectAbandonsIt) {
  holdConnect();
  make();
  dialog->onOpenButton();
  dialog->openDialog().onOk();
  ASSERT_TRUE(ui.pumpUntil([&] { return office->connectStarted.load(); }));
  dialog.reset();  // returns once the office gave up
  EXPECT_TRUE(office->abandoned);
  EXPECT_FALSE(ui.timerRunning(kTimerSheetWatch));
  EXPECT_FALSE(ui.timerRunning(kTimerPasteFollow));
  ui.pumpOnce();  // the connect's end is not handled any more
  EXPECT_TRUE(ui.messages().empty());
}

struct SettingsCase {
  const char* name;
  AppSettings stored;  // paste fields only
  int32_t pasteMode, useRecord, intervalIndex;
};

AppSettings pasteFields(int32_t mode, int32_t useRecord, int32_t index) {
  AppSettings s;
  s.pasteMode = mode;
  s.pasteUseRecordSetting = useRecord;
  s.pasteIntervalIndex = index;
  return s;
}

class InitialState : public PasteDialogTest, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(InitialState, ControlsShowTheStoredChoice) {
  const SettingsCase& c = GetParam();
  settings = c.stored;
  make();
  EXPECT_EQ(ui.checked(kPasteByReturnKeyRadio, kPasteDialog), c.pasteMode == 1);
  EXPECT_EQ(ui.checked(kPasteByIntervalRadio, kPasteDialog), c.pasteMode == 0);
  EXPECT_EQ(ui.checked(kPasteUseRecordCheck, kPasteDialog), c.useRecord == 1);
  EXPECT_EQ(ui.comboSelection(kPasteIntervalCombo, kPasteDialog), c.intervalIndex);
  EXPECT_EQ(ui.comboItems(kPasteIntervalCombo, kPasteDialog).size(), kCaptureIntervals.size());
  EXPECT_EQ(settings.pasteMode, c.pasteMode);
  EXPECT_EQ(settings.pasteUseRecordSetting, c.useRecord);
  EXPECT_EQ(settings.pasteIntervalIndex, c.intervalIndex);
  // Unlinked: only Open and Close.
  EXPECT_TRUE(ui.enabled(kPasteOpenButton, kPasteDialog));
  for (int control : {kPasteByReturnKeyRadio, kPasteByIntervalRadio, kPasteUseRecordCheck, kPasteIntervalCombo,
                      kPasteIntervalLabel, kPasteStartButton})
    EXPECT_FALSE(ui.enabled(control, kPasteDialog)) << control;
  EXPECT_TRUE(ui.timerRunning(kTimerPasteFollow));
  EXPECT_EQ(ui.windowTitle(kPasteDialog), "Paste Record Data to Excel");
  EXPECT_EQ(ui.text(kPasteStartButton, kPasteDialog), "Start");
}

INSTANTIATE_TEST_SUITE_P(Cases, InitialState,
                         ::testing::Values(SettingsCase{"Defaults", pasteFields(1, 0, 0), 1, 0, 0},
                                           SettingsCase{"IntervalWithRecordSetting", pasteFields(0, 1, 5), 0, 1, 5},
                                           SettingsCase{"LastInterval", pasteFields(0, 0, 12), 0, 0, 12},
                                           SettingsCase{"OutOfRange", pasteFields(7, 3, 20), 0, 1, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PasteDialogTest, ChoicesGoIntoTheSettingsAndCloseHidesTheDialog) {
  make();
  dialog->show();
  open();
  dialog->onByInterval();
  EXPECT_EQ(settings.pasteMode, 0);
  dialog->onUseRecordSetting(true);
  EXPECT_EQ(settings.pasteUseRecordSetting, 1);
  dialog->onUseRecordSetting(false);
  dialog->onIntervalSelected(4);
  EXPECT_EQ(settings.pasteIntervalIndex, 4);
  EXPECT_FALSE(dialog->onEnterKey()) << "by interval, Enter presses Close";
  dialog->onByReturnKey();
  EXPECT_EQ(settings.pasteMode, 1);
  EXPECT_TRUE(dialog->onEnterKey());
  ASSERT_TRUE(ui.pumpUntil([&] { return rows() == 1; }));

  dialog->onCloseButton();
  EXPECT_FALSE(ui.windowVisible(kPasteDialog));
  ASSERT_TRUE(ui.pumpUntil([&] { return closed == 1; }));
  EXPECT_TRUE(dialog->capture().sheetConnected()) << "closing keeps the link";
  EXPECT_TRUE(ui.timerRunning(kTimerSheetWatch));
  EXPECT_TRUE(ui.timerRunning(kTimerPasteFollow));
}

TEST_F(PasteDialogTest, ACaptureGoesOnWhileTheDialogIsHidden) {
  settings.pasteMode = 0;
  make();
  dialog->show();
  open();
  dialog->onStartStop();
  ASSERT_TRUE(ui.pumpUntil([&] { return rows() >= 1; }));
  dialog->onCloseCommand();
  EXPECT_FALSE(ui.windowVisible(kPasteDialog));
  const int before = rows();
  ASSERT_TRUE(ui.pumpUntil([&] { return rows() >= before + 2; }));
  EXPECT_EQ(closed, 1);
  dialog->show();
  EXPECT_TRUE(ui.windowVisible(kPasteDialog));
  EXPECT_EQ(ui.text(kPasteStartButton, kPasteDialog), "Stop");
  dialog->onStartStop();
  EXPECT_FALSE(dialog->capture().captureRunning());
}

TEST_F(PasteDialogTest, TextsFollowTheLanguageWhileHidden) {
  make();
  dialog->onCloseCommand();
  texts.fill(kLanguageJapanese);
  dialog->applyTexts();
  EXPECT_EQ(ui.windowTitle(kPasteDialog), "レコードデータExcel貼り付け");
  EXPECT_EQ(ui.text(kPasteByReturnKeyRadio, kPasteDialog), "リターンキーで取り込み");
  EXPECT_EQ(ui.comboItems(kPasteIntervalCombo, kPasteDialog)[6], "1分");
  EXPECT_EQ(ui.comboSelection(kPasteIntervalCombo, kPasteDialog), 0);
}

struct FollowCase {
  const char* name;
  bool mainWindowMoved;
  WindowPosition dialogAt;
  int moves;
};

class FollowMainWindow : public PasteDialogTest, public ::testing::WithParamInterface<FollowCase> {};

TEST_P(FollowMainWindow, TheTimerMovesTheDialogBelowTheMainWindowsClientArea) {
  const FollowCase& c = GetParam();
  make();
  ui.moveWindow(kPasteDialog, c.dialogAt);
  if (c.mainWindowMoved) dialog->onMainWindowMoved(100, 50);
  dialog->onFollowTimer();
  ASSERT_TRUE(ui.pumpUntil([&] { return ui.windowMoves(kPasteDialog) == 1 + c.moves; }));
  dialog->onFollowTimer();  // the mark was cleared
  ui.pumpOnce();
  EXPECT_EQ(ui.windowMoves(kPasteDialog), 1 + c.moves);
  if (c.moves) {
    EXPECT_EQ(ui.windowPosition(kPasteDialog), (WindowPosition{100, 50 + kFollowOffset}));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, FollowMainWindow,
                         ::testing::Values(FollowCase{"Elsewhere", true, {0, 0}, 1},
                                           FollowCase{"OnlyTheTopDiffers", true, {100, 50}, 1},
                                           FollowCase{"AlreadyThere", true, {100, 50 + kFollowOffset}, 0},
                                           FollowCase{"MainWindowNotMoved", false, {0, 0}, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lmv::test
