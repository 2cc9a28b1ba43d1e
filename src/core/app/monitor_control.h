#pragma once
// The main window's side of the meter link: the Monitor button, the connect
// step with its USB check and firmware check, the stop-monitor step and the
// disconnect path, the hand-off of the port to the zero-adjustment and
// memory-download dialogs, the communication error reports, the combo box
// handlers, device changes, the connection settings and the exit step. All
// of it runs on the user-interface thread; it owns usbPollThread and
// measurementThread and joins both before it goes away.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include "ui/ui_bridge.h"
#include "ui/ui_host.h"
#include "app/zero_adjust_dialog.h"
#include "link/measurement_thread.h"
#include "link/meter_session.h"
#include "link/usb_poll_thread.h"

namespace lmv {

// Timers of the main window (100 ms each; each kills itself once its
// condition is met).
inline constexpr int TIMER_CONNECT = 1;
inline constexpr int TIMER_DISCONNECT = 2;
inline constexpr int TIMER_MEMORY_DOWNLOAD = 4;
inline constexpr int TIMER_EXIT = 7;
inline constexpr int TIMER_ZERO_ADJUST = 8;
// The USB check dialog's own timer.
inline constexpr int kUsbCheckTimerId = 3;
inline constexpr auto kMainTimerPeriod = std::chrono::milliseconds(100);

// What the other parts of the main window do at the connection steps. Every
// hook runs on the user-interface thread except handedOver.
struct MonitorHooks {
  // WM_COMM_ERROR and a port change while monitoring: recordTimerThread and
  // the paste capture thread are asked to stop.
  std::function<void()> stopRecordingThreads;
  // The connect step succeeded: the record information page, the record's
  // model index, the communication page's baud choice.
  std::function<void(const MeterIdentity&)> connected;
  // The disconnect path: the paste capture ends, a running recording stops,
  // the record buttons, record list page and File menu follow.
  std::function<void()> disconnected;
  // The memory-download dialog; calls done once it has closed.
  std::function<void(std::function<void()> done)> runMemoryDownload;
  // The zero-adjustment dialog closed.
  std::function<void(ZeroAdjustOutcome)> zeroAdjustClosed;
  // The port list was rebuilt after a device change (the settings page
  // refills its list).
  std::function<void()> portsChanged;
  // On the measurement thread after every hand-over.
  std::function<void(const HandOverValue&)> handedOver;
};

class MonitorControl {
 public:
  MonitorControl(UiHost& ui, MeterSession& session, MonitorHooks hooks = {},
                 ZeroAdjustment::Clock zeroAdjustClock = {});
  ~MonitorControl();
  MonitorControl(const MonitorControl&) = delete;
  MonitorControl& operator=(const MonitorControl&) = delete;

  // Start-up: the monitor panel reset, zero adjustment disabled and, with
  // automatic connection, the Monitor button hidden and usbPollThread
  // started.
  void startUp(bool autoConnect);

  // Button 1005, also run by WM_COMM_ERROR and a port change.
  void onMonitorButton();
  // Button 1091 and Option/Read Memory Data: the port goes to the dialog
  // once measurementThread has ended, and comes back when it closes.
  void onZeroAdjustButton();
  void onReadMemoryCommand();
  // Combo boxes 1010 and 1009, selection changed by the user.
  void onRangeSelected(int32_t selection);
  void onModeSelected(int32_t selection);
  // WM_COMM_ERROR (wParam 0: a command was not sent, 1: no response) and
  // WM_BUFFER_OVER.
  void onCommError(int wParam);
  void onBufferOver();
  // Any device change: the identification pass ends, the list is rebuilt.
  void onDeviceChange();
  // Settings accepted: the port chosen on the communication page (none when
  // the list is empty), automatic connection, the baud index.
  void applySettings(std::optional<int32_t> chosenPort, bool autoConnect, int32_t baudIndex);
  // Exit, once the user confirmed: every thread of the link is asked to
  // stop; with the monitor running ":SYST:GTL" is sent when
  // measurementThread has ended. endDialog runs last.
  void exit(std::function<void()> endDialog);

  bool autoConnect() const { return autoConnect_; }
  ZeroAdjustDialog& zeroAdjustDialog() { return zeroDialog_; }
  std::optional<ZeroAdjustOutcome> lastZeroAdjustOutcome() const { return lastZeroOutcome_; }
  bool measurementRunning() const { return !measurement_.measurementThreadEnded(); }
  bool pollRunning() const { return poll_.running(); }
  // A dialog holds the port (from the hand-off until it has closed).
  bool portHandedOff() const { return handedOff_; }

 private:
  void connectStep();
  void usbCheckTick();
  void finishConnect();
  bool initialiseMeter();
  void notConnected();
  void stopMonitorTick();
  void disconnectPath();
  void resetMonitorPanel();
  void showStatusPanel(const MeterIdentity& identity);
  void postMemoryMenuState(bool grey);
  void handOffPort(int timerId, std::function<void(std::function<void()> done)> runDialog);
  void handOffTick();
  void cancelHandOff();
  void handBack();
  void startMeasurement();
  void reportStartFailure();
  void exitTick();
  void finishExit();
  void startPolling();
  void setTimer(int id, void (MonitorControl::*tick)());

  UiHost& ui_;
  MeterSession& session_;
  MonitorHooks hooks_;
  std::atomic<bool> autoConnect_{false};
  std::optional<ZeroAdjustOutcome> lastZeroOutcome_;
  // The port's next holder is decided on the user-interface thread: a stop
  // of the monitor that is under way (stop-monitor step, communication
  // error, port change) wins over a dialog that asked for the port, and
  // while a dialog holds it nothing else may take it.
  bool stopPending_ = false;
  bool handedOff_ = false;
  bool exiting_ = false;
  int handOffTimer_ = 0;
  std::function<void(std::function<void()> done)> handOffDialog_;
  std::function<void()> endDialog_;
  ZeroAdjustDialog zeroDialog_;
  UiBridge bridge_;
  // Declared last: stopped and joined first.
  UsbPollThread poll_;
  MeasurementThread measurement_;
};

}  // namespace lmv
