#pragma once
// The desktop program put together: the widgets, the UiHost on them, the
// main window's logic, the device watcher and, with --demo, the built-in
// simulated meter. Every connection between them is made here.
#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/main_window.h"
#include "app/shared_state.h"
#include "files/record_file_commands.h"
#include "files/record_journal.h"
#include "record/recording.h"
#include "link/device_watcher.h"
#include "link/meter_session.h"
#include "sheet/paste_dialog.h"

namespace lmv {
class MemoryDialog;
}

namespace lmv::sim {
class Simulator;
}

namespace lmv::gui {

class AboutWindow;
class ExcelOpenWindow;
class PasteWindow;
class QtFileChooser;
class RecordPages;
class MainWindowWidget;
class MemoryWindow;
class QtUiHost;
class SettingsWindow;
class UsbCheckWindow;
class ZeroAdjustWindow;

struct DesktopOptions {
  // Start the built-in simulated meter and list it as a meter port.
  bool demo = false;
  // Where Pictures, Manuals and Languages are; empty: beside the executable.
  std::string programDirectory;
  // Where the settings file is; empty: as the program decides.
  std::string dataDirectory;
  // The message boxes' caption; empty: the executable's base name.
  std::string applicationName;
};

class DesktopApp : public QObject {
  Q_OBJECT
 public:
  explicit DesktopApp(DesktopOptions options);
  ~DesktopApp() override;

  // Runs the start-up sequence and shows the window; false when the demo
  // meter could not be started (error says why).
  bool start(std::string* error = nullptr);

  MainWindowWidget& window() { return *window_; }
  QtUiHost& host() { return *host_; }
  MainWindow& logic() { return *logic_; }
  MeterSession& session() { return session_; }
  SharedState& shared() { return shared_; }
  ZeroAdjustWindow& zeroAdjustWindow() { return *zeroAdjust_; }
  SettingsWindow& settingsWindow() { return *settings_; }
  MemoryWindow& memoryWindow() { return *memory_; }
  MemoryDialog& memoryDialog() { return *memoryDialog_; }
  sim::Simulator* demoMeter() { return demo_.get(); }
  DeviceWatcher& deviceWatcher() { return watcher_; }
  Recording& recording() { return *recording_; }
  RecordPages& recordPages() { return *pages_; }
  RecordFileCommands& fileCommands() { return *files_; }
  PasteDialog& pasteDialog() { return *paste_; }
  // Made by the first Option/Paste Record Data to Excel.
  PasteWindow* pasteWindow() { return pasteWindow_; }
  ExcelOpenWindow* excelOpenWindow() { return excelOpenWindow_; }

 signals:
  // The exit sequence has ended: the program ends.
  void finished();

 private:
  void onCommand(int command);
  void onButton(int control);
  MainWindowHooks mainWindowHooks();
  MonitorHooks monitorHooks();
  PasteHooks pasteHooks();
  void onClearButton();
  void runMemoryDownload(std::function<void()> done);
  void createPasteWindows();
  // The paste dialog's copy of the record settings: at start-up and after
  // every Settings OK.
  void applyPasteRecordSettings();

  DesktopOptions options_;
  MeterSession session_;
  SharedState shared_;
  std::unique_ptr<sim::Simulator> demo_;
  std::unique_ptr<QtUiHost> host_;
  // Every sample the recording takes, on disk until it is saved; goes after
  // the recording that writes to it.
  std::unique_ptr<RecordJournal> journal_;
  // The recording outlives the window: its pages' widgets observe it.
  std::unique_ptr<RecordEnvironment> recordEnvironment_;
  std::unique_ptr<Recording> recording_;
  std::unique_ptr<MainWindowWidget> window_;
  std::unique_ptr<RecordPages> pages_;
  std::unique_ptr<QtFileChooser> chooser_;
  std::unique_ptr<RecordFileCommands> files_;
  UsbCheckWindow* usbCheck_ = nullptr;
  ZeroAdjustWindow* zeroAdjust_ = nullptr;
  AboutWindow* about_ = nullptr;
  SettingsWindow* settings_ = nullptr;
  MemoryWindow* memory_ = nullptr;
  // Draws into memory_: goes before the window does.
  std::unique_ptr<MemoryDialog> memoryDialog_;
  PasteWindow* pasteWindow_ = nullptr;
  ExcelOpenWindow* excelOpenWindow_ = nullptr;
  DeviceWatcher watcher_;
  int watcherSubscription_ = 0;
  // Declared last: their threads stop first, the paste dialog's before the
  // main window's (its capture reads what the measurement hands over).
  std::unique_ptr<MainWindow> logic_;
  std::unique_ptr<PasteDialog> paste_;
};

}  // namespace lmv::gui
