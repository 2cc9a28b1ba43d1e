#include "link/measurement_thread.h"

#include <algorithm>
#include <chrono>

#include "base/charset.h"
#include "ui/monitor_controls.h"
#include "monitor/range_table.h"

namespace lmv {
namespace {

constexpr auto kPause = std::chrono::milliseconds(100);
constexpr int kMaxDrainedPieces = 64;

}  // namespace

void UiMonitorPanel::setText(int control, std::string_view text) {
  bridge_.post([&ui = bridge_.ui(), control, text = std::string(text)] { ui.setText(kMainDialog, control, text); });
}

void UiMonitorPanel::showRangeLabel(std::string_view label) { setText(kRangeLabelText, label); }

void UiMonitorPanel::fillCombos(std::string_view function, const std::vector<std::string>& rangeLabels,
                                int32_t rangeSelection) {
  block_.storeModeSelection(0);
  block_.storeRangeSelection(rangeSelection);
  bridge_.post([&ui = bridge_.ui(), function = std::string(function), rangeLabels, rangeSelection] {
    ui.setComboItems(kMainDialog, kModeCombo, {function});
    ui.setComboSelection(kMainDialog, kModeCombo, 0);
    ui.setComboItems(kMainDialog, kRangeCombo, rangeLabels);
    ui.setComboSelection(kMainDialog, kRangeCombo, rangeSelection);
  });
}

void UiMonitorPanel::selectRange(int32_t selection) {
  block_.storeRangeSelection(selection);
  bridge_.post([&ui = bridge_.ui(), selection] { ui.setComboSelection(kMainDialog, kRangeCombo, selection); });
}

void UiMonitorPanel::showValue(std::string_view text) { setText(kValueText, text); }

void UiMonitorPanel::showUnit(std::string_view text) {
  // The font is switched before every unit update: italic for foot-candles.
  const UnitFont font = text == "FC" ? UnitFont::FootCandle : UnitFont::Upright;
  bridge_.post([&ui = bridge_.ui(), font, text = std::string(text)] {
    ui.setUnitFont(kMainDialog, kUnitText, font);
    ui.setText(kMainDialog, kUnitText, text);
  });
}

MeasurementThread::MeasurementThread(MeterSession& session, UiHost& ui, MeasurementEvents events)
    : session_(session), bridge_(ui), panel_(bridge_, session.block), events_(std::move(events)) {}

MeasurementThread::~MeasurementThread() { stopAndJoin(); }

bool MeasurementThread::start() {
  {
    std::lock_guard lock(stateMutex_);
    if (alive_) return false;
  }
  if (thread_.joinable()) thread_.join();
  bridge_.reopen();
  {
    std::lock_guard lock(stateMutex_);
    alive_ = true;
    ended_ = false;
  }
  runFlag_ = true;
  thread_ = std::thread([this] { run(); });
  return true;
}

void MeasurementThread::requestStop() {
  std::lock_guard lock(stateMutex_);
  runFlag_ = false;
  ended_ = !alive_;
  wake_.notify_all();
}

bool MeasurementThread::measurementThreadEnded() const {
  std::lock_guard lock(stateMutex_);
  return ended_;
}

void MeasurementThread::join() {
  if (thread_.joinable()) thread_.join();
  // Panel updates of the last pass that the user-interface thread has not
  // run yet would land on the panel after whatever the caller shows next.
  bridge_.close();
  bridge_.reopen();
}

void MeasurementThread::stopAndJoin() {
  requestStop();
  bridge_.close();
  join();
}

void MeasurementThread::pause() {
  std::unique_lock lock(stateMutex_);
  wake_.wait_for(lock, kPause, [this] { return !runFlag_.load(); });
}

void MeasurementThread::run() {
  pause();
  while (runFlag_) {
    MeasurementBlock b = session_.block.takeForPass();
    runPass(b);
    session_.block.storeAfterPass(b);
    pause();
  }
  std::lock_guard lock(stateMutex_);
  ended_ = true;
  alive_ = false;
}

LinkResult MeasurementThread::exchange(std::string_view command, std::string& reply) {
  reply.clear();
  if (!session_.port.writeLine(command)) return SendFailed;
  char buffer[kPassReplyCapacity];
  const LinkResult r = session_.port.readLine(buffer, sizeof buffer);
  reply = localeToUtf8(buffer);
  if (r == LineOverflow) {
    // Left queued, the rest of the overlong line would be taken as the reply
    // to the next command and shift every reply after it for good.
    char rest[kPassReplyCapacity];
    for (int i = 0; i < kMaxDrainedPieces && session_.port.readLine(rest, sizeof rest) == LineOverflow; ++i) {
    }
  }
  return r;
}

void MeasurementThread::runPass(MeasurementBlock& b) {
  PassValue out;
  b.rangeIndex = 0;
  LinkResult failure = LineReceived;
  if (b.rangeChangeRequest != 0) {
    const int32_t s = std::clamp(session_.block.rangeSelection(), 0, kRangeCount - 1);
    b.shownRangeIndex = s;
    std::string reply;
    failure = exchange(":SYST:RANGE " + std::string(meterRangeToken[s]), reply);
    if (failure == LineReceived) {
      if (b.functionChangeRequest != 0 && session_.recordingRunning()) {
        if (auto stop = session_.recordingStop()) bridge_.post(stop);
      }
      return;
    }
  } else {
    PassReplies replies;
    failure = exchange(":STAT?", replies.status);
    if (failure == LineReceived) failure = exchange(":MEASCNTDISP?", replies.measurement);
    if (failure == LineReceived) failure = exchange(":SYST:RANGE?", replies.range);
    if (failure == LineReceived && interpretReplies(b, replies, out, panel_) == ReplyVerdict::ValueShown) {
      session_.consecutiveErrors = 0;
    }
  }
  if (failure != LineReceived) accountFailure(failure);
  applyFallbackIfNeeded(b, out, panel_);
  handOver(b, out);
}

void MeasurementThread::accountFailure(LinkResult failure) {
  int32_t count = session_.consecutiveErrors;
  const FailureReport report = countFailure(failure, count);
  session_.consecutiveErrors = count;
  switch (report) {
    case FailureReport::None:
      return;
    case FailureReport::BufferOver:
      if (events_.bufferOver) bridge_.send(events_.bufferOver);
      return;
    case FailureReport::CommandNotSent:
    case FailureReport::NoResponse:
      if (events_.commError) {
        const int wParam = report == FailureReport::CommandNotSent ? 0 : 1;
        bridge_.send([handler = events_.commError, wParam] { handler(wParam); });
      }
      return;
  }
}

void MeasurementThread::handOver(const MeasurementBlock& b, const PassValue& out) {
  const HandOverValue value = makeHandOver(b, out);
  const HandOverValue previous = session_.handOver.replace(value);
  if (session_.recordingRunning() && recordingMustStopAtHandOver(b, previous.functionIndex)) {
    if (auto stop = session_.recordingStop()) bridge_.post(stop);
  }
  if (events_.handedOver) events_.handedOver(value);
}

}  // namespace lmv
