#pragma once
// CLX5810appliDlg without its widgets: the start-up sequence, the exit
// sequence, the File and Option menu states, the keys, the language switch
// with the main window's texts, the tab switch, the manual and the settings
// file at the end. Everything runs on the user-interface thread; the parts
// that later windows add (records, files, paste dialog) come in as hooks.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/monitor_control.h"
#include "app/settings_dialog.h"
#include "app/shared_state.h"
#include "app/status_pictures.h"
#include "base/archive.h"
#include "base/settings.h"
#include "link/meter_session.h"
#include "ui/ui_host.h"

namespace lmv {

// Where the program runs and keeps its settings.
struct ProgramPlaces {
  std::string programDirectory;
  std::string dataDirectory;
};

struct MainWindowHooks {
  // A recording or an interval capture runs (exit is refused).
  std::function<bool()> recordingRunning;
  std::function<bool()> captureRunning;
  // Whether every record is saved (dataSaved); true when unset.
  std::function<bool()> dataSaved;
  // Exit: recordTimerThread and the paste capture thread are asked to stop.
  std::function<void()> stopRecordThreads;
  // Exit: the user answered No to "Save data?"; the unsaved records are
  // given up knowingly (their recording journal goes).
  std::function<void()> recordsGivenUp;
  // File/Open, File/Save, and the Save button (save under a chosen name).
  std::function<void()> openFile;
  std::function<void()> saveFile;
  std::function<void()> saveFileAs;
  // Enter in return-key paste mode with the spreadsheet linked.
  std::function<bool()> pasteByReturnKeyActive;
  std::function<void()> pasteByReturnKey;
  // Option/Paste Record Data to Excel: the paste dialog is made the first
  // time, then shown; and it follows the main window's moves while shown
  // (x, y: the client area's top-left corner on the screen).
  std::function<void()> createPasteDialog;
  std::function<void()> showPasteDialog;
  std::function<void(int x, int y)> pasteDialogFollow;
  // Opens a document with the desktop's viewer; false when that failed.
  std::function<bool(const std::string& path)> openDocument;
  std::function<void()> showAbout;
  // Start-up, once the settings are read and before any text is shown:
  // the record pages' initial state (list, empty graph on its plot).
  std::function<void()> initialisePages;
  // The texts of the record pages and of the paste dialog, after the main
  // window's own.
  std::function<void()> applyPageTexts;
  // The window rectangle: moved at start-up (nothing = the first-start
  // place), read at exit.
  std::function<void(std::optional<IntRect>)> placeWindow;
  std::function<IntRect()> windowRect;
  // The exit has finished: the program ends.
  std::function<void()> endProgram;
  // Accepted settings, after the connection changes: the record information
  // panel, the graph's and the paste dialog's interval, and the record list
  // again when the time display mode changed.
  std::function<void(bool timeDisplayModeChanged)> settingsApplied;
};

enum class Key { Enter, Escape, O, S, F1, Other };

class MainWindow {
 public:
  MainWindow(UiHost& ui, MeterSession& session, SharedState& shared, MainWindowHooks hooks = {},
             MonitorHooks monitorHooks = {}, ZeroAdjustment::Clock zeroAdjustClock = {});
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // The start-up sequence; reads the settings file of the data directory.
  void startUp(const ProgramPlaces& places);

  // File/Exit, Esc and the close box.
  void onCancelCommand();
  bool exiting() const { return exiting_; }

  // WM_FILE_MENU_STATE (grey; includeOpen = lParam 0) and WM_MEMORY_MENU_STATE.
  void onFileMenuState(bool grey, bool includeOpen);
  void onMemoryMenuState(bool grey);
  // Key-down before the window's own keyboard handling; true when consumed.
  // focusedControl: the main window control with the focus (0 for none).
  bool onKeyDown(Key key, bool ctrl, bool shift, int focusedControl);

  // Menu commands.
  void onPasteCommand();
  void onLanguageCommand(int command);
  void onManualCommand();
  void onAboutCommand();
  // Tab control 1021, item s selected.
  void onTabSelected(int item);
  // Device change (udev, a simulated meter coming or going).
  void onDeviceChange();
  // WM_PASTE_DIALOG_CLOSED.
  void onPasteDialogClosed();
  // The window moved; x, y: its client area's top-left corner on the screen.
  void onWindowMoved(int x, int y);
  // Setting menu: opens the settings dialog; its OK and Cancel (or close
  // box) come back here.
  void onSettingCommand();
  void onSettingsOk();
  void onSettingsCancel();
  SettingsDialog& settingsDialog() { return *settingsDialog_; }

  void applyMainWindowTexts();

  // The path of the manual in the current language.
  std::string manualPath() const;

  MonitorControl& monitor() { return *monitor_; }
  AppSettings& settings() { return settings_; }
  const ProgramPlaces& places() const { return places_; }
  int languageCode() const { return settings_.language; }

 private:
  void setUpMenus();
  void finishExit();
  void writeSettingsFile();

  UiHost& ui_;
  MeterSession& session_;
  SharedState& shared_;
  MainWindowHooks hooks_;
  ProgramPlaces places_;
  AppSettings settings_;
  bool exiting_ = false;
  bool ended_ = false;
  std::unique_ptr<MonitorControl> monitor_;
  std::unique_ptr<ClockThread> clock_;
  std::unique_ptr<SettingsDialog> settingsDialog_;
  int32_t timeDisplayModeAtOpening_ = 0;
};

}  // namespace lmv
