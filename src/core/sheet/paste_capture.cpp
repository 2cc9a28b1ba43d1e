#include "sheet/paste_capture.h"

#include <utility>

#include "record/time_text.h"

namespace lmv {

std::vector<std::string> captureIntervalTexts(const LanguageTable& texts) {
  std::vector<std::string> items;
  for (const int32_t seconds : kCaptureIntervals) {
    items.push_back(seconds < 60 ? std::to_string(seconds) + texts.text(TextSecondUnit)
                                 : std::to_string(seconds / 60) + texts.text(TextMinuteUnit));
  }
  return items;
}

bool recordTotalReached(const RecordSettings& settings, int32_t capturedSinceStart) {
  if (settings.totalMode == 1)
    return normalIntervalSeconds(settings) * (int64_t{capturedSinceStart} - 1) >= recordTimeSeconds(settings);
  return capturedSinceStart >= settings.dataCount;
}

PasteCapture::PasteCapture(std::unique_ptr<SheetOffice> office, UiHost& ui, const LanguageTable& texts,
                           HandOverArea& handOver, RecordClock& clock, PasteHooks hooks)
    : ui_(ui),
      texts_(texts),
      handOver_(handOver),
      clock_(clock),
      hooks_(std::move(hooks)),
      link_(std::move(office), ui, texts, SheetLink::Hooks{[this] { stopCapture(); }, [this] { onSheetClosed(); }}),
      keyBridge_(ui),
      bridge_(ui) {}

PasteCapture::~PasteCapture() {
  keyBridge_.close();
  stopThread();
}

void PasteCapture::initialise(const PasteSettings& settings) {
  settings_ = settings;
  // A settings file may hold anything: the radios and the check box show
  // one of their two states, and the logic follows what they show.
  settings_.pasteMode = settings_.pasteMode == int32_t(PasteMode::ByReturnKey) ? 1 : 0;
  settings_.pasteUseRecordSetting = settings_.pasteUseRecordSetting != 0 ? 1 : 0;
  if (settings_.pasteIntervalIndex < 0 || settings_.pasteIntervalIndex >= int32_t(kCaptureIntervals.size()))
    settings_.pasteIntervalIndex = 0;
  applyTexts();
  ui_.setChecked(kPasteDialog, kPasteByReturnKeyRadio, settings_.pasteMode == 1);
  ui_.setChecked(kPasteDialog, kPasteByIntervalRadio, settings_.pasteMode == 0);
  ui_.setChecked(kPasteDialog, kPasteUseRecordCheck, settings_.pasteUseRecordSetting == 1);
  enableModeControls(false);
  ui_.setEnabled(kPasteDialog, kPasteStartButton, false);
  ui_.setEnabled(kPasteDialog, kPasteOpenButton, true);
  counters_ = {};
}

void PasteCapture::applyTexts() {
  ui_.setWindowTitle(kPasteDialog, texts_.text(TextPasteTitle));
  ui_.setText(kPasteDialog, kPasteOpenButton, texts_.text(TextExcelOpenButton));
  ui_.setText(kPasteDialog, kPasteByReturnKeyRadio, texts_.text(TextByReturnKey));
  ui_.setText(kPasteDialog, kPasteByIntervalRadio, texts_.text(TextByTimeInterval));
  ui_.setText(kPasteDialog, kPasteUseRecordCheck, texts_.text(TextUseRecordSetting));
  ui_.setText(kPasteDialog, kPasteIntervalLabel, texts_.text(TextIntervalShort));
  ui_.setText(kPasteDialog, kPasteCloseButton, texts_.text(TextClose));
  ui_.setText(kPasteDialog, kPasteStartButton, texts_.text(captureRunning_ ? TextPasteStop : TextPasteStart));
  ui_.setComboItems(kPasteDialog, kPasteIntervalCombo, captureIntervalTexts(texts_));
  ui_.setComboSelection(kPasteDialog, kPasteIntervalCombo, settings_.pasteIntervalIndex);
}

// Radios, check box, interval choice and Start, as connected and idle in the
// current mode; all off when !enabled.
void PasteCapture::enableModeControls(bool enabled) {
  const bool byInterval = enabled && settings_.pasteMode == int32_t(PasteMode::ByTimeInterval);
  ui_.setEnabled(kPasteDialog, kPasteByReturnKeyRadio, enabled);
  ui_.setEnabled(kPasteDialog, kPasteByIntervalRadio, enabled);
  ui_.setEnabled(kPasteDialog, kPasteUseRecordCheck, byInterval);
  ui_.setEnabled(kPasteDialog, kPasteIntervalCombo, byInterval && settings_.pasteUseRecordSetting == 0);
  ui_.setEnabled(kPasteDialog, kPasteIntervalLabel, byInterval && settings_.pasteUseRecordSetting == 0);
}

void PasteCapture::enableIntervalChoice() {
  const bool free = settings_.pasteUseRecordSetting == 0;
  ui_.setEnabled(kPasteDialog, kPasteIntervalCombo, free);
  ui_.setEnabled(kPasteDialog, kPasteIntervalLabel, free);
}

bool PasteCapture::onOpen(OpenMode mode, const std::string& path) {
  if (link_.connecting()) return false;
  beginOpen();
  return finishOpen(link_.connect(mode, path));
}

void PasteCapture::openInBackground(OpenMode mode, const std::string& path, std::function<void(bool)> done) {
  if (link_.connecting()) return;
  beginOpen();
  link_.connectInBackground(mode, path, [this, done = std::move(done)](bool linked) {
    finishOpen(linked);
    if (done) done(linked);
  });
}

// Nothing but Close can be used until the link is there: a capture could
// not be written before.
void PasteCapture::beginOpen() {
  ui_.setEnabled(kPasteDialog, kPasteOpenButton, false);
  enableModeControls(false);
  ui_.setEnabled(kPasteDialog, kPasteStartButton, false);
}

bool PasteCapture::finishOpen(bool linked) {
  if (!linked) {
    ui_.setEnabled(kPasteDialog, kPasteOpenButton, true);
    ui_.setFocus(kPasteDialog, kPasteOpenButton);
    return false;
  }
  enableModeControls(true);
  const bool byInterval = settings_.pasteMode == int32_t(PasteMode::ByTimeInterval);
  ui_.setEnabled(kPasteDialog, kPasteStartButton, byInterval);
  ui_.setFocus(kPasteDialog, byInterval ? kPasteStartButton : kPasteByReturnKeyRadio);
  return true;
}

void PasteCapture::onByReturnKey() {
  if (captureRunning_) return;  // the radios are disabled while capturing
  settings_.pasteMode = int32_t(PasteMode::ByReturnKey);
  ui_.setEnabled(kPasteDialog, kPasteUseRecordCheck, false);
  ui_.setEnabled(kPasteDialog, kPasteIntervalCombo, false);
  ui_.setEnabled(kPasteDialog, kPasteIntervalLabel, false);
  ui_.setEnabled(kPasteDialog, kPasteStartButton, false);
}

void PasteCapture::onByInterval() {
  if (captureRunning_) return;
  settings_.pasteMode = int32_t(PasteMode::ByTimeInterval);
  ui_.setEnabled(kPasteDialog, kPasteUseRecordCheck, true);
  ui_.setEnabled(kPasteDialog, kPasteStartButton, true);
  enableIntervalChoice();
}

void PasteCapture::onUseRecordSetting(bool checked) {
  if (captureRunning_) return;
  settings_.pasteUseRecordSetting = checked ? 1 : 0;
  enableIntervalChoice();
}

void PasteCapture::onIntervalSelected(int index) {
  if (captureRunning_ || index < 0 || index >= int(kCaptureIntervals.size())) return;
  settings_.pasteIntervalIndex = index;
}

void PasteCapture::onStartStop() {
  if (!hooks_.meterConnected || !hooks_.meterConnected()) {
    MessageRequest request;
    request.ownerDialog = kPasteDialog;
    request.text = texts_.text(TextMonitorStoppedCapture);
    request.icon = MessageIcon::Information;
    ui_.showMessage(request);
    if (hooks_.focusMonitorButton) ui_.post(hooks_.focusMonitorButton);
    return;
  }
  if (captureRunning_) {
    stopCapture();
    return;
  }
  if (!link_.sheetConnected()) return;
  ui_.setEnabled(kPasteDialog, kPasteByReturnKeyRadio, false);
  ui_.setEnabled(kPasteDialog, kPasteByIntervalRadio, false);
  ui_.setEnabled(kPasteDialog, kPasteUseRecordCheck, false);
  ui_.setEnabled(kPasteDialog, kPasteIntervalCombo, false);
  captureRunning_ = true;
  ui_.setText(kPasteDialog, kPasteStartButton, texts_.text(TextPasteStop));
  startThread();
  postMemoryMenuState(1);
}

void PasteCapture::stopCapture() {
  if (!captureRunning_) {
    stopThread();
    return;
  }
  ui_.setEnabled(kPasteDialog, kPasteByReturnKeyRadio, true);
  ui_.setEnabled(kPasteDialog, kPasteByIntervalRadio, true);
  ui_.setEnabled(kPasteDialog, kPasteUseRecordCheck, true);
  ui_.setEnabled(kPasteDialog, kPasteIntervalCombo, settings_.pasteUseRecordSetting == 0);
  captureRunning_ = false;
  ui_.setText(kPasteDialog, kPasteStartButton, texts_.text(TextPasteStart));
  stopThread();
  postMemoryMenuState(0);
}

void PasteCapture::postMemoryMenuState(int grey) {
  if (hooks_.recordingRunning && hooks_.recordingRunning()) return;
  if (hooks_.memoryMenuState) ui_.post([menu = hooks_.memoryMenuState, grey] { menu(grey); });
}

bool PasteCapture::onEnterKey(bool inDialog) {
  if (!capturesByReturnKey()) return false;
  if (hooks_.meterConnected && hooks_.meterConnected()) {
    keyBridge_.post([this] { onPasteByReturnKey(); });
    return true;
  }
  if (!inDialog && hooks_.focusMonitorButton) hooks_.focusMonitorButton();
  MessageRequest request;
  request.ownerDialog = inDialog ? kPasteDialog : kMainDialog;
  request.text = texts_.text(TextMonitorStoppedReturnKey);
  request.icon = MessageIcon::Information;
  ui_.showMessage(request);
  if (inDialog && hooks_.focusMonitorButton) ui_.post(hooks_.focusMonitorButton);
  return true;
}

void PasteCapture::writeCapture(const OleDate& captureTime) {
  MeasuredValue value = handOver_.take().pasteCopy;
  value.timeText = absoluteTimeText(captureTime);
  const RowWrite result = link_.writeRow(value, captureTime, counters_);
  if (hooks_.rowDone) hooks_.rowDone(result);
}

void PasteCapture::onPasteByInterval(const CaptureTick& tick) {
  // A capture handed over just before a stop is not written.
  if (!captureRunning_) return;
  if (tick.firstOfStart) counters_.capturedSinceStart = 0;
  writeCapture(tick.captureTime);
  if (captureRunning_ && settings_.pasteUseRecordSetting != 0 &&
      recordTotalReached(recordSettings_, counters_.capturedSinceStart))
    stopCapture();
}

void PasteCapture::onPasteByReturnKey() { writeCapture(oleDateFromTime(clock_.calendarSeconds())); }

void PasteCapture::onMonitorStopped() {
  counters_.rowNumber = 0;
  if (captureRunning_) stopCapture();
}

void PasteCapture::onSheetClosed() {
  stopThread();
  enableModeControls(false);
  ui_.setEnabled(kPasteDialog, kPasteStartButton, false);
  ui_.setEnabled(kPasteDialog, kPasteOpenButton, true);
  ui_.setFocus(kPasteDialog, kPasteOpenButton);
  counters_.capturedSinceStart = 0;
  const bool wasRunning = captureRunning_;
  captureRunning_ = false;
  ui_.setText(kPasteDialog, kPasteStartButton, texts_.text(TextPasteStart));
  if (wasRunning) postMemoryMenuState(0);
}

void PasteCapture::startThread() {
  stopThread();
  const int64_t interval = settings_.pasteUseRecordSetting != 0
                               ? normalIntervalSeconds(recordSettings_)
                               : kCaptureIntervals[size_t(settings_.pasteIntervalIndex)];
  captureStartRequested_ = 1;
  bridge_.reopen();  // captures of the previous start still queued are dropped
  runFlag_ = true;
  thread_ = std::thread(&PasteCapture::run, this, int64_t{1}, interval);
}

void PasteCapture::stopThread() {
  runFlag_ = false;
  bridge_.close();
  if (thread_.joinable()) thread_.join();
}

void PasteCapture::run(int64_t firstWait, int64_t laterWait) {
  std::time_t base = 0;
  int64_t wait = firstWait;
  bool first = false;
  bool referenced = false;
  for (;;) {
    clock_.sleepMilliseconds(1);
    if (!runFlag_) return;
    const std::time_t now = clock_.calendarSeconds();
    if (captureStartRequested_.exchange(0) == 1) {
      base = now;
      wait = firstWait;
      first = true;
      referenced = true;
    }
    if (!referenced || now - base < wait) continue;
    base = now;
    const CaptureTick tick{oleDateFromTime(now), first};
    if (first) {
      wait = laterWait;
      first = false;
    }
    // Like the sent capture message: the next capture is timed once this
    // one was handed on; a stop releases the wait and drops the capture.
    bridge_.send([this, tick] {
      if (runFlag_) bridge_.post([this, tick] { onPasteByInterval(tick); });
    });
  }
}

}  // namespace lmv
