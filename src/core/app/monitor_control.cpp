#include "app/monitor_control.h"

#include "ui/monitor_controls.h"
#include "link/identification.h"
#include "link/idn_reply.h"
#include "link/port_list.h"
#include "link/port_numbering.h"
#include "record/record_controls.h"
#include "ui/language_table.h"

namespace lmv {
namespace {

constexpr size_t kCommandReplyCapacity = 32;

// One command and its one-line reply; the reply itself is not looked at.
LinkResult command(SerialPort& port, std::string_view text) {
  if (!port.writeLine(text)) return SendFailed;
  char buffer[kCommandReplyCapacity];
  return port.readLine(buffer, sizeof buffer);
}

std::string modelName(int32_t modelIndex) {
  return modelIndex == 0 || modelIndex == 1 ? kModelNames[modelIndex] : "";
}

}  // namespace

MonitorControl::MonitorControl(UiHost& ui, MeterSession& session, MonitorHooks hooks,
                               ZeroAdjustment::Clock zeroAdjustClock)
    : ui_(ui),
      session_(session),
      hooks_(std::move(hooks)),
      zeroDialog_(ui, session.port, std::move(zeroAdjustClock)),
      bridge_(ui),
      poll_(session, ui, [this] { setTimer(TIMER_CONNECT, &MonitorControl::connectStep); }),
      measurement_(session, ui,
                   MeasurementEvents{[this](int wParam) { onCommError(wParam); }, [this] { onBufferOver(); },
                                     hooks_.handedOver}) {}

MonitorControl::~MonitorControl() {
  for (int id : {TIMER_CONNECT, TIMER_DISCONNECT, kUsbCheckTimerId, TIMER_MEMORY_DOWNLOAD, TIMER_EXIT,
                 TIMER_ZERO_ADJUST})
    ui_.killTimer(id);
  bridge_.close();
  poll_.stopAndJoin();
  measurement_.stopAndJoin();
}

void MonitorControl::setTimer(int id, void (MonitorControl::*tick)()) {
  ui_.setTimer(id, kMainTimerPeriod, [this, tick] { (this->*tick)(); });
}

void MonitorControl::startUp(bool autoConnect) {
  autoConnect_ = autoConnect;
  resetMonitorPanel();
  ui_.setEnabled(kMainDialog, kZeroAdjustButton, false);
  ui_.setText(kMainDialog, kMonitorButton, languageTable()[TextMonitor]);
  if (autoConnect) {
    ui_.setVisible(kMainDialog, kMonitorButton, false);
    startPolling();
  }
}

void MonitorControl::startPolling() { poll_.start(); }

void MonitorControl::onMonitorButton() {
  // The dialog that holds the port is modal: nothing else takes it meanwhile.
  if (handedOff_ || exiting_) return;
  ui_.setEnabled(kMainDialog, kMonitorButton, false);
  if (session_.meterConnected) {
    stopPending_ = true;
    cancelHandOff();
    // Nothing may ask for the port while the monitor lets go of it.
    ui_.setEnabled(kMainDialog, kZeroAdjustButton, false);
    ui_.setMenuEnabled(kReadMemoryMenuCommand, false);
    measurement_.requestStop();
    setTimer(TIMER_DISCONNECT, &MonitorControl::stopMonitorTick);
  } else {
    setTimer(TIMER_CONNECT, &MonitorControl::connectStep);
  }
}

void MonitorControl::connectStep() {
  ui_.killTimer(TIMER_CONNECT);
  if (autoConnect_) {
    finishConnect();
    return;
  }
  // One identification pass, here on the user-interface thread; a poll
  // thread still finishing its pass must not share the port with it.
  poll_.stopAndJoin();
  ui_.setText(kUsbCheckDialog, kUsbCheckText, languageTable()[TextCheckingUsb]);
  ui_.openDialog(kUsbCheckDialog);
  setTimer(kUsbCheckTimerId, &MonitorControl::usbCheckTick);
}

void MonitorControl::usbCheckTick() {
  ui_.killTimer(kUsbCheckTimerId);
  session_.meterFound = 1;
  if (!probeAllPorts(session_)) {
    ui_.showMessage({languageTable()[TextCommunicationErrorCheckUsb], MessageIcon::Information, MessageButtons::Ok,
                     MessageAnswer::Ok, kUsbCheckDialog});
    session_.meterFound = 0;
  }
  ui_.closeDialog(kUsbCheckDialog);
  finishConnect();
}

void MonitorControl::finishConnect() {
  session_.meterConnected = session_.meterFound.load();
  if (!session_.meterConnected) {
    notConnected();
    return;
  }
  const MeterIdentity identity = session_.identity();
  if (firmwareTooOld(identity.firmwareVersionText)) {
    ui_.showMessage({languageTable().format(TextFirmwareTooOld, kMinimumFirmwareVersion), MessageIcon::Information});
    session_.meterConnected = 0;
    notConnected();
    return;
  }
  ui_.setText(kMainDialog, kMonitorButton, languageTable()[TextStopMonitor]);
  if (!initialiseMeter()) {
    disconnectPath();
    return;
  }
  if (!measurement_.start()) {
    reportStartFailure();
    return;
  }
  showStatusPanel(identity);
  if (hooks_.connected) hooks_.connected(identity);
  for (int control : {kZeroAdjustButton, kStartButton, kManualButton}) ui_.setEnabled(kMainDialog, control, true);
  postMemoryMenuState(false);
  ui_.setEnabled(kMainDialog, kMonitorButton, true);
}

bool MonitorControl::initialiseMeter() {
  SerialPort& port = session_.port;
  return port.open(currentPort) && command(port, ":SYST:INIT") == LineReceived &&
         command(port, ":SYST:LLO") == LineReceived;
}

void MonitorControl::notConnected() {
  ui_.setText(kMainDialog, kMonitorButton, languageTable()[TextMonitor]);
  if (autoConnect_) startPolling();
  ui_.setEnabled(kMainDialog, kMonitorButton, true);
}

void MonitorControl::showStatusPanel(const MeterIdentity& identity) {
  ui_.setText(kMainDialog, kModelStatus, modelName(identity.modelIndex));
  ui_.setText(kMainDialog, kSerialNumberStatus, identity.serialNumberText);
  // The port as the user knows it on this system ("ttyACM0"), not a COM number.
  ui_.setText(kMainDialog, kPortStatus, portDisplayName(currentPort));
  ui_.setText(kMainDialog, kVersionStatus, identity.firmwareVersionText);
}

void MonitorControl::stopMonitorTick() {
  if (!measurement_.measurementThreadEnded()) return;
  ui_.killTimer(TIMER_DISCONNECT);
  measurement_.join();
  command(session_.port, ":SYST:GTL");
  disconnectPath();
}

void MonitorControl::disconnectPath() {
  session_.port.close();
  session_.meterConnected = 0;
  stopPending_ = false;
  resetMonitorPanel();
  session_.block.resetShown();
  ui_.setText(kMainDialog, kMonitorButton, languageTable()[TextMonitor]);
  for (int control : {kZeroAdjustButton, kStartButton, kStopButton, kManualButton})
    ui_.setEnabled(kMainDialog, control, false);
  if (hooks_.disconnected) hooks_.disconnected();
  postMemoryMenuState(true);
  ui_.setEnabled(kMainDialog, kMonitorButton, true);
  if (autoConnect_) startPolling();
}

void MonitorControl::resetMonitorPanel() {
  for (int control : {kAdValue, kAdLabel, kValueText, kUnitText, kRangeLabelText}) ui_.setText(kMainDialog, control, "");
  ui_.setText(kMainDialog, kLuxCaption, languageTable()[TextLuxLabel]);
  ui_.setComboItems(kMainDialog, kModeCombo, {});
  ui_.setComboItems(kMainDialog, kRangeCombo, {});
  session_.block.resetStatus();
  ui_.setEnabled(kMainDialog, kRangeCombo, true);
  for (int control : {kModelStatus, kVersionStatus, kPortStatus, kSerialNumberStatus})
    ui_.setText(kMainDialog, control, "");
}

void MonitorControl::postMemoryMenuState(bool grey) {
  bridge_.post([this, grey] {
    if (session_.identity().modelIndex < 0) return;
    ui_.setMenuEnabled(kReadMemoryMenuCommand, !grey);
  });
}

void MonitorControl::handOffPort(int timerId, std::function<void(std::function<void()> done)> runDialog) {
  if (!session_.meterConnected || stopPending_ || exiting_ || handedOff_ || handOffTimer_ != 0) return;
  measurement_.requestStop();
  handOffTimer_ = timerId;
  handOffDialog_ = std::move(runDialog);
  setTimer(timerId, &MonitorControl::handOffTick);
}

void MonitorControl::cancelHandOff() {
  if (handOffTimer_ == 0) return;
  ui_.killTimer(handOffTimer_);
  handOffTimer_ = 0;
  handOffDialog_ = nullptr;
}

void MonitorControl::handOffTick() {
  if (!measurement_.measurementThreadEnded()) return;
  ui_.killTimer(handOffTimer_);
  handOffTimer_ = 0;
  auto run = std::move(handOffDialog_);
  handOffDialog_ = nullptr;
  // The monitor may have gone meanwhile (a stop, a communication error):
  // then there is no port to hand over.
  if (!session_.meterConnected || stopPending_ || exiting_ || !run) return;
  measurement_.join();
  ui_.setText(kMainDialog, kValueText, "");
  ui_.setText(kMainDialog, kUnitText, "");
  handedOff_ = true;
  run([this] { handBack(); });
}

void MonitorControl::handBack() {
  if (!handedOff_) return;
  handedOff_ = false;
  // Exiting: TIMER_EXIT takes the port back at its next tick.
  if (exiting_) return;
  startMeasurement();
}

void MonitorControl::startMeasurement() {
  if (!measurement_.start()) reportStartFailure();
}

void MonitorControl::reportStartFailure() {
  // The loop that should have ended still runs: the port has no single
  // holder any more. Let go of the meter the safe way, as after a lost line.
  ui_.showMessage({languageTable()[TextCannotSendCommand], MessageIcon::Error});
  measurement_.stopAndJoin();
  disconnectPath();
}

void MonitorControl::onZeroAdjustButton() {
  handOffPort(TIMER_ZERO_ADJUST, [this](std::function<void()> done) {
    zeroDialog_.open([this, done](ZeroAdjustOutcome outcome) {
      lastZeroOutcome_ = outcome;
      done();
      if (hooks_.zeroAdjustClosed) hooks_.zeroAdjustClosed(outcome);
    });
  });
}

void MonitorControl::onReadMemoryCommand() {
  handOffPort(TIMER_MEMORY_DOWNLOAD, [this](std::function<void()> done) {
    if (hooks_.runMemoryDownload) {
      hooks_.runMemoryDownload(done);
    } else {
      done();
    }
  });
}

void MonitorControl::onRangeSelected(int32_t selection) {
  if (!session_.block.selectRange(selection) || !session_.recordingRunning()) return;
  if (auto stop = session_.recordingStop()) stop();
}

void MonitorControl::onModeSelected(int32_t selection) { session_.block.selectMode(selection); }

void MonitorControl::onCommError(int wParam) {
  if (hooks_.stopRecordingThreads) hooks_.stopRecordingThreads();
  onMonitorButton();
  if (autoConnect_) return;
  ui_.showMessage({languageTable()[wParam == 0 ? TextCannotSendCommand : TextNoResponse], MessageIcon::Error});
}

void MonitorControl::onBufferOver() { ui_.showMessage({languageTable()[TextBufferOver], MessageIcon::Error}); }

void MonitorControl::onDeviceChange() {
  session_.probeAbortRequested = 1;
  enumeratePorts();
  if (hooks_.portsChanged) hooks_.portsChanged();
}

void MonitorControl::applySettings(std::optional<int32_t> chosenPort, bool autoConnect, int32_t baudIndex) {
  if (!portList().empty() && chosenPort) {
    if (session_.meterConnected && *chosenPort != currentPort) {
      if (hooks_.stopRecordingThreads) hooks_.stopRecordingThreads();
      onMonitorButton();
    }
    currentPort = *chosenPort;
  }
  autoConnect_ = autoConnect;
  if (autoConnect) {
    ui_.setVisible(kMainDialog, kMonitorButton, false);
    if (!session_.meterConnected && !poll_.running()) startPolling();
  } else {
    ui_.setVisible(kMainDialog, kMonitorButton, true);
    poll_.requestStop();
  }
  if (baudIndex >= 0 && baudIndex < 2) currentBaud = kBaudTable[baudIndex];
}

void MonitorControl::exit(std::function<void()> endDialog) {
  exiting_ = true;
  cancelHandOff();
  poll_.requestStop();
  session_.probeAbortRequested = 1;
  measurement_.requestStop();
  endDialog_ = std::move(endDialog);
  if (session_.meterConnected) {
    setTimer(TIMER_EXIT, &MonitorControl::exitTick);
  } else {
    finishExit();
  }
}

void MonitorControl::exitTick() {
  // A dialog that holds the port finishes first; its hand-back comes here.
  if (handedOff_ || !measurement_.measurementThreadEnded()) return;
  ui_.killTimer(TIMER_EXIT);
  measurement_.join();
  command(session_.port, ":SYST:GTL");
  session_.port.close();
  session_.meterConnected = 0;
  finishExit();
}

void MonitorControl::finishExit() {
  poll_.stopAndJoin();
  if (auto end = std::move(endDialog_)) end();
}

}  // namespace lmv
