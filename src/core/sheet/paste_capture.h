#pragma once
// The paste dialog's logic and the main window's paste handlers: the link to
// the spreadsheet, the two capture modes, the capture thread that times
// captures by interval, the row numbering and the automatic end by the
// record settings. The dialog's window only forwards its control events here
// and shows what is set through the UiHost.
//
// Everything runs on the user-interface thread except the capture thread,
// which only times captures and hands each one over through a UiBridge.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "base/ole_date.h"
#include "ui/ui_bridge.h"
#include "ui/ui_host.h"
#include "link/hand_over.h"
#include "record/record_clock.h"
#include "record/record_settings.h"
#include "sheet/sheet_link.h"
#include "ui/language_table.h"

namespace lmv {

// Controls of the paste dialog.
inline constexpr int kPasteOpenButton = 1013;
inline constexpr int kPasteByReturnKeyRadio = 1014;
inline constexpr int kPasteByIntervalRadio = 1015;
inline constexpr int kPasteIntervalCombo = 1016;
inline constexpr int kPasteIntervalLabel = 1018;
inline constexpr int kPasteStartButton = 1087;
inline constexpr int kPasteUseRecordCheck = 1147;
inline constexpr int kPasteCloseButton = 1;

// Seconds, in the order of the interval combo box.
inline constexpr std::array<int32_t, 13> kCaptureIntervals = {1, 2, 5, 10, 20, 30, 60, 120, 300, 600, 1200, 1800, 3600};

enum class PasteMode : int32_t { ByTimeInterval = 0, ByReturnKey = 1 };

// The persisted paste settings.
struct PasteSettings {
  int32_t pasteMode = 1;
  int32_t pasteUseRecordSetting = 0;
  int32_t pasteIntervalIndex = 0;
};

// One capture by interval as the capture thread hands it over.
struct CaptureTick {
  OleDate captureTime;
  bool firstOfStart = false;  // capturedSinceStart counts again from here
};

// The rest of the main window, as the paste logic needs it.
struct PasteHooks {
  std::function<bool()> meterConnected;
  std::function<bool()> recordingRunning;
  // WM_MEMORY_MENU_STATE: grey (1) or enable (0) the memory download.
  std::function<void(int grey)> memoryMenuState;
  // WM_FOCUS_MONITOR_BUTTON.
  std::function<void()> focusMonitorButton;
  // After each row handed to the link (written or not), on the
  // user-interface thread.
  std::function<void(RowWrite)> rowDone;
};

// The combo box texts of the capture intervals in the current language.
std::vector<std::string> captureIntervalTexts(const LanguageTable& texts);

// Whether a capture with the record settings has reached their total after
// capturedSinceStart rows.
bool recordTotalReached(const RecordSettings& settings, int32_t capturedSinceStart);

class PasteCapture {
 public:
  PasteCapture(std::unique_ptr<SheetOffice> office, UiHost& ui, const LanguageTable& texts, HandOverArea& handOver,
               RecordClock& clock, PasteHooks hooks);
  ~PasteCapture();
  PasteCapture(const PasteCapture&) = delete;
  PasteCapture& operator=(const PasteCapture&) = delete;

  // Once, when the dialog is created.
  void initialise(const PasteSettings& settings);
  // At initialisation and after every language switch.
  void applyTexts();
  // The main window copies the record settings at start-up and whenever the
  // settings dialog closes with OK.
  void setRecordSettings(const RecordSettings& settings) { recordSettings_ = settings; }

  // Open button, after the user chose how to open (and which file): links
  // the spreadsheet, then enables the controls of the current mode and puts
  // the focus on the first of them (on the Open button again on failure).
  bool onOpen(OpenMode mode, const std::string& path);
  // The same with the office reached in the background; done(linked) runs
  // on the user-interface thread at the end. Meanwhile every control but
  // Close is disabled.
  void openInBackground(OpenMode mode, const std::string& path, std::function<void(bool linked)> done = {});
  void onByReturnKey();
  void onByInterval();
  void onUseRecordSetting(bool checked);
  void onIntervalSelected(int index);
  // Start/Stop button 1087.
  void onStartStop();
  // The single way a capture by interval ends.
  void stopCapture();
  // Enter key, in the dialog (inDialog) or in the main window; true when
  // consumed.
  bool onEnterKey(bool inDialog);
  // WM_PASTE_BY_INTERVAL and WM_PASTE_BY_RETURN_KEY.
  void onPasteByInterval(const CaptureTick& tick);
  void onPasteByReturnKey();
  // The main window's disconnect path.
  void onMonitorStopped();

  SheetLink& link() { return link_; }
  const PasteSettings& settings() const { return settings_; }
  const PasteCounters& counters() const { return counters_; }
  bool captureRunning() const { return captureRunning_; }
  bool captureThreadRunning() const { return runFlag_; }
  bool sheetConnected() const { return link_.sheetConnected(); }
  // Linked in "By return key" mode: Enter is a capture.
  bool capturesByReturnKey() const {
    return link_.sheetConnected() && settings_.pasteMode == int32_t(PasteMode::ByReturnKey);
  }

 private:
  void beginOpen();
  bool finishOpen(bool linked);
  void writeCapture(const OleDate& captureTime);
  void onSheetClosed();
  void enableModeControls(bool enabled);
  void enableIntervalChoice();
  void startThread();
  void stopThread();
  void run(int64_t firstWait, int64_t laterWait);
  void postMemoryMenuState(int grey);

  UiHost& ui_;
  const LanguageTable& texts_;
  HandOverArea& handOver_;
  RecordClock& clock_;
  PasteHooks hooks_;
  SheetLink link_;
  PasteSettings settings_;
  RecordSettings recordSettings_;
  PasteCounters counters_;
  bool captureRunning_ = false;

  UiBridge keyBridge_;  // Enter-key captures, open for the whole run
  UiBridge bridge_;     // the capture thread's, closed at every stop
  std::atomic<bool> runFlag_{false};
  std::atomic<int32_t> captureStartRequested_{0};
  std::thread thread_;
};

}  // namespace lmv
