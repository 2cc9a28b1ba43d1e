#include "desktop_app.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>

#include "base/paths.h"
#include "dialog_units.h"
#include "files/csv_text.h"
#include "files/record_file.h"
#include "record/clear_dialog.h"
#include "record/dialog_units.h"
#include "record/qt_file_chooser.h"
#include "record/record_clock.h"
#include "record/record_pages.h"
#include "link/explicit_ports.h"
#include "link/port_list.h"
#include "record/record_controls.h"
#include "ui/language_table.h"
#include "main_window_widget.h"
#include "memory/memory_dialog.h"
#include "memory_window.h"
#include "meter_dialogs.h"
#include "monitor/value_codes.h"
#include "qt_ui_host.h"
#include "settings_window.h"
#include "sheet/excel_open_window.h"
#include "sheet/paste_window.h"
#include "sheet/uno/uno_sheet_office.h"
#include "simulator.h"
#include "ui/main_window_controls.h"
#include "ui/monitor_controls.h"

namespace lmv::gui {
namespace {

// A first start places the window this far from where the system would.
constexpr int kFirstStartOffset = 80;

// The paste dialog follows the main window this far below the top of its
// client area: over the lower half of the connection diagram and the status
// panel, clear of the monitor and of the record pages.
constexpr int kPasteDialogBelowClientDlu = 241;

static_assert(kRecordPixelsPerDlu == kPixelsPerDialogUnit, "the record pages use the main window's scale");

// The rest of the main window as the recording sees it: the live settings,
// the connected meter and the menu-state handlers.
class DesktopRecordEnvironment final : public RecordEnvironment {
 public:
  DesktopRecordEnvironment(MeterSession& session, std::unique_ptr<MainWindow>& logic,
                           std::unique_ptr<PasteDialog>& paste)
      : session_(session), logic_(logic), paste_(paste) {}
  RecordSettings recordSettings() const override { return recordSettingsOf(logic_->settings()); }
  RecordHeader recordHeader() const override { return recordHeaderOf(logic_->settings()); }
  bool statusInvalid() const override { return session_.block.statusInvalid() != 0; }
  bool meterConnected() const override { return session_.meterConnected != 0; }
  MeterIdentity connectedMeter() const override { return session_.identity(); }
  bool captureRunning() const override { return paste_ && paste_->capture().captureRunning(); }
  std::string languageText(int entry) const override { return languageTable().text(entry); }
  void memoryMenuState(int grey) override {
    if (logic_) logic_->onMemoryMenuState(grey != 0);
  }
  void fileMenuState(int grey, int leaveOpen) override {
    if (logic_) logic_->onFileMenuState(grey != 0, leaveOpen == 0);
  }

 private:
  MeterSession& session_;
  std::unique_ptr<MainWindow>& logic_;
  std::unique_ptr<PasteDialog>& paste_;
};

std::string executableBaseName() {
  const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
  return name.isEmpty() ? std::string("lumetrevisor") : name.toStdString();
}

}  // namespace

DesktopApp::DesktopApp(DesktopOptions options) : options_(std::move(options)) {
  PathEnvironment environment = currentPathEnvironment();
  // Pictures, Manuals and Languages: beside the executable, or in the files
  // folder of an installed program.
  if (options_.programDirectory.empty()) {
    options_.programDirectory = programFilesDirectory(environment);
  } else {
    environment.programDirectory = options_.programDirectory;
  }
  if (options_.dataDirectory.empty()) options_.dataDirectory = dataDirectory(environment);
  if (options_.applicationName.empty()) options_.applicationName = executableBaseName();

  host_ = std::make_unique<QtUiHost>(QString::fromStdString(options_.applicationName));
  recordEnvironment_ = std::make_unique<DesktopRecordEnvironment>(session_, logic_, paste_);
  recording_ = std::make_unique<Recording>(*host_, session_.handOver, systemRecordClock(), *recordEnvironment_,
                                           shared_.recording, shared_.recordStartPending);
  window_ = std::make_unique<MainWindowWidget>();
  pages_ = std::make_unique<RecordPages>(*recording_, window_.get());
  pages_->placeIn(window_->page(kRecordInfoPage), window_->page(kRecordListPage), window_->page(kGraphPage));
  chooser_ = std::make_unique<QtFileChooser>(window_.get());

  usbCheck_ = new UsbCheckWindow(window_.get());
  zeroAdjust_ = new ZeroAdjustWindow(window_.get());
  about_ = new AboutWindow(window_.get());
  host_->setMenuBar(window_->menuBar());

  logic_ = std::make_unique<MainWindow>(*host_, session_, shared_, mainWindowHooks(), monitorHooks());
  files_ = std::make_unique<RecordFileCommands>(*host_, *chooser_, *recording_, *recordEnvironment_,
                                                logic_->settings(), languageTable());
  journal_ = std::make_unique<RecordJournal>(journalFilePath(options_.dataDirectory), logic_->settings(), *recording_);
  recording_->setJournal(journal_.get());
  files_->setJournal(journal_.get());
  session_.setRecordingHooks({[this] { return shared_.recording.load() != 0; }, [this] { recording_->stop(); }});
  // The office is reached over the pipe LUMETREVISOR_OFFICE_PIPE names.
  paste_ = std::make_unique<PasteDialog>(makeUnoSheetOffice(), *host_, languageTable(), session_.handOver,
                                         systemRecordClock(), *chooser_, logic_->settings(), pasteHooks(),
                                         [this] { logic_->onPasteDialogClosed(); },
                                         dialogSize(0, kPasteDialogBelowClientDlu).height());
  settings_ = new SettingsWindow(window_.get(), logic_->settingsDialog());
  connect(settings_, &SettingsWindow::okClicked, this, [this] { logic_->onSettingsOk(); });
  connect(settings_, &SettingsWindow::cancelClicked, this, [this] { logic_->onSettingsCancel(); });

  connect(window_.get(), &MainWindowWidget::commandTriggered, this, &DesktopApp::onCommand);
  connect(window_.get(), &MainWindowWidget::buttonClicked, this, &DesktopApp::onButton);
  connect(window_.get(), &MainWindowWidget::modeActivated, this,
          [this](int index) { logic_->monitor().onModeSelected(index); });
  connect(window_.get(), &MainWindowWidget::rangeActivated, this,
          [this](int index) { logic_->monitor().onRangeSelected(index); });
  connect(window_.get(), &MainWindowWidget::tabSelected, this, [this](int index) { logic_->onTabSelected(index); });
  connect(window_.get(), &MainWindowWidget::closeRequested, this, [this] { logic_->onCancelCommand(); });
  memory_ = new MemoryWindow(window_.get());
  memoryDialog_ = std::make_unique<MemoryDialog>(*host_, session_.port, languageTable(), *memory_);
  connect(memory_, &MemoryWindow::okClicked, this, [this] {
    memoryDialog_->onOk(memory_->folderText().toStdString(), memory_->fileNameText().toStdString());
  });
  connect(memory_, &MemoryWindow::cancelClicked, this, [this] { memoryDialog_->onCancel(); });
  connect(memory_, &MemoryWindow::folderChosen, this,
          [this](const QString& folder) { memoryDialog_->onFolderChosen(folder.toStdString()); });
  connect(window_.get(), &MainWindowWidget::moved, this, [this](int x, int y) { logic_->onWindowMoved(x, y); });
  connect(zeroAdjust_, &ZeroAdjustWindow::tryAgainClicked, this,
          [this] { logic_->monitor().zeroAdjustDialog().onTryAgain(); });
  connect(zeroAdjust_, &ZeroAdjustWindow::cancelClicked, this,
          [this] { logic_->monitor().zeroAdjustDialog().onCancel(); });
  window_->setKeyHandler(
      [this](Key key, bool ctrl, bool shift, int focused) { return logic_->onKeyDown(key, ctrl, shift, focused); });
}

DesktopApp::~DesktopApp() {
  if (watcherSubscription_) watcher_.unsubscribe(watcherSubscription_);
  watcher_.stop();
  // The settings window works on the logic's dialog: it goes first.
  delete settings_;
  settings_ = nullptr;
  // The paste windows work on the paste dialog's logic; its capture and
  // connect threads are joined before the session and the host go. The
  // office and the user's documents stay open.
  delete pasteWindow_;
  pasteWindow_ = nullptr;
  excelOpenWindow_ = nullptr;
  paste_.reset();
  session_.setRecordingHooks({});
  recording_->stop();
  recording_->setJournal(nullptr);
  files_->setJournal(nullptr);
  // A download still running is stopped and joined while the port, the
  // window and the host it reports to are all there.
  memoryDialog_.reset();
  logic_.reset();
  if (demo_) {
    ExplicitPorts::instance().remove(demo_->slavePath());
    demo_->stop();
  }
}

MonitorHooks DesktopApp::monitorHooks() {
  MonitorHooks hooks;
  hooks.stopRecordingThreads = [this] {
    recording_->stopTimer();
    if (paste_) paste_->capture().stopCapture();
  };
  hooks.connected = [this](const MeterIdentity& meter) { recording_->onMeterConnected(meter); };
  hooks.disconnected = [this] {
    if (paste_) paste_->capture().onMonitorStopped();
    recording_->onMeterDisconnected();
  };
  hooks.runMemoryDownload = [this](std::function<void()> done) { runMemoryDownload(std::move(done)); };
  return hooks;
}

void DesktopApp::runMemoryDownload(std::function<void()> done) {
  AppSettings& settings = logic_->settings();
  MemoryDownloadSource source;
  source.meter = session_.identity();
  source.footCandle = session_.block.unitCode() == UnitFootCandle;
  source.symbols = csvSymbols(settings.decimalSymbol, settings.listSeparator);
  memoryDialog_->open(settings.memoryFolder, settings.memoryFileName, source, [this, done = std::move(done)] {
    // What OK last accepted opens the dialog next time and goes into the
    // settings file.
    AppSettings& s = logic_->settings();
    s.memoryFolder = memoryDialog_->confirmedFolder();
    s.memoryFileName = memoryDialog_->confirmedFileName();
    done();
  });
}

PasteHooks DesktopApp::pasteHooks() {
  PasteHooks hooks;
  hooks.meterConnected = [this] { return session_.meterConnected != 0; };
  hooks.recordingRunning = [this] { return recording_->isRecording(); };
  hooks.memoryMenuState = [this](int grey) { logic_->onMemoryMenuState(grey != 0); };
  hooks.focusMonitorButton = [this] {
    window_->activateWindow();
    host_->setFocus(kMainDialog, kMonitorButton);
  };
  return hooks;
}

void DesktopApp::createPasteWindows() {
  pasteWindow_ = new PasteWindow(window_.get(), *paste_);
  excelOpenWindow_ = new ExcelOpenWindow(pasteWindow_, paste_->openDialog());
  paste_->initialise();
}

void DesktopApp::applyPasteRecordSettings() {
  paste_->capture().setRecordSettings(recordSettingsOf(logic_->settings()));
}

MainWindowHooks DesktopApp::mainWindowHooks() {
  MainWindowHooks hooks;
  hooks.recordingRunning = [this] { return recording_->isRecording(); };
  hooks.captureRunning = [this] { return paste_ && paste_->capture().captureRunning(); };
  hooks.dataSaved = [this] { return recording_->store().state.dataSaved != 0; };
  hooks.stopRecordThreads = [this] {
    recording_->stop();
    if (paste_) paste_->capture().stopCapture();
  };
  hooks.pasteByReturnKeyActive = [this] { return paste_ && paste_->capture().capturesByReturnKey(); };
  hooks.pasteByReturnKey = [this] { paste_->capture().onPasteByReturnKey(); };
  hooks.createPasteDialog = [this] { createPasteWindows(); };
  hooks.showPasteDialog = [this] { paste_->show(); };
  hooks.pasteDialogFollow = [this](int x, int y) { paste_->onMainWindowMoved(x, y); };
  hooks.openFile = [this] { files_->onOpen(); };
  hooks.saveFile = [this] { files_->onSave(); };
  hooks.saveFileAs = [this] { files_->onSaveAs(); };
  hooks.recordsGivenUp = [this] { journal_->discard(); };
  // The pages have their fixed sizes: the graph is laid out on its plot.
  hooks.initialisePages = [this] { recording_->initialise(pages_->plotRect()); };
  hooks.applyPageTexts = [this] {
    pages_->applyTexts(languageTable());
    if (paste_) paste_->applyTexts();
  };
  hooks.settingsApplied = [this](bool timeDisplayModeChanged) {
    recording_->onSettingsApplied(timeDisplayModeChanged);
    applyPasteRecordSettings();
  };
  hooks.openDocument = [](const std::string& path) {
    const QString file = QString::fromStdString(path);
    return QFileInfo(file).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(file));
  };
  hooks.showAbout = [this] {
    about_->setWindowTitle(QString::fromStdString(languageTable()[TextAboutTitle]));
    about_->exec();
  };
  hooks.placeWindow = [this](std::optional<IntRect> rect) {
    if (rect && rect->right > rect->left && rect->bottom > rect->top) {
      window_->move(rect->left, rect->top);
      return;
    }
    QPoint origin(0, 0);
    if (QScreen* screen = QGuiApplication::primaryScreen()) origin = screen->availableGeometry().topLeft();
    window_->move(origin + QPoint(kFirstStartOffset, kFirstStartOffset));
  };
  hooks.windowRect = [this] {
    const QRect r = window_->frameGeometry();
    return IntRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
  };
  hooks.endProgram = [this] {
    window_->allowClose();
    window_->close();
    emit finished();
  };
  return hooks;
}

bool DesktopApp::start(std::string* error) {
  if (options_.demo) {
    sim::MeterConfig config;
    std::string sourceError;
    if (auto source = sim::IlluminanceSource::parse("sine:800:400:20", &sourceError)) config.source = *source;
    demo_ = std::make_unique<sim::Simulator>(std::move(config));
    // Some stored readings, for Option > Read Memory Data.
    demo_->withMeter([](sim::MeterModel& m) { m.fillMemory({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}); });
    if (!demo_->start(error)) {
      demo_.reset();
      return false;
    }
    ExplicitPorts::instance().add(demo_->slavePath(), demo_->friendlyName());
  }
  window_->show();
  logic_->startUp({options_.programDirectory, options_.dataDirectory});
  applyPasteRecordSettings();
  if (demo_) {
    // The demo meter is the port to use, whatever the settings named.
    if (auto port = ExplicitPorts::instance().entries(); !port.empty())
      for (const ExplicitPort& p : port)
        if (p.devicePath == demo_->slavePath()) currentPort = p.portNumber;
  }
  // Records of a run of the program that ended abnormally.
  files_->offerRecovery();
  watcherSubscription_ = watcher_.subscribe([this] {
    host_->post([this] { logic_->onDeviceChange(); });
  });
  watcher_.start();
  return true;
}

void DesktopApp::onCommand(int command) {
  switch (command) {
    case kMenuExit:
      logic_->onCancelCommand();
      return;
    case kMenuJapanese:
    case kMenuEnglish:
      logic_->onLanguageCommand(command);
      return;
    case kMenuPdfManual:
      logic_->onManualCommand();
      return;
    case kMenuAbout:
      logic_->onAboutCommand();
      return;
    case kMenuSetting:
      logic_->onSettingCommand();
      return;
    case kMenuReadMemory:
      logic_->monitor().onReadMemoryCommand();
      return;
    case kMenuOpen:
      files_->onOpen();
      return;
    case kMenuSave:
      files_->onSave();
      return;
    case kMenuSaveAs:
      files_->onSaveAs();
      return;
    case kMenuSaveAsCsv:
      files_->onSaveAsCsv();
      return;
    case kMenuPasteToExcel:
      logic_->onPasteCommand();
      return;
    default:
      return;
  }
}

void DesktopApp::onButton(int control) {
  switch (control) {
    case kMonitorButton:
      logic_->monitor().onMonitorButton();
      return;
    case kZeroAdjustButton:
      logic_->monitor().onZeroAdjustButton();
      return;
    case kStartButton:
      recording_->onStart();
      return;
    case kStopButton:
      recording_->onStop();
      return;
    case kManualButton:
      recording_->onManual();
      return;
    case kCopyGraphButton:
      pages_->graph()->copyGraph();
      return;
    case kSaveButton:
      files_->onSaveAs();
      return;
    case kClearButton:
      onClearButton();
      return;
    default:
      return;
  }
}

void DesktopApp::onClearButton() {
  ClearDialog dialog(languageTable(), window_.get());
  if (const std::optional<bool> all = dialog.ask()) recording_->clearRecords(*all);
}

}  // namespace lmv::gui
