#include "record/recording.h"

#include <algorithm>
#include <cstdint>

#include "monitor/extremes.h"
#include "monitor/range_table.h"
#include "record/record_controls.h"
#include "record/time_text.h"
#include "record/window_title.h"

namespace lmv {
namespace {

// The graph's interval: the normal record interval in seconds.
int32_t graphIntervalOf(const RecordSettings& s) {
  return static_cast<int32_t>(std::clamp<int64_t>(hmsSeconds(s.intervalHours, s.intervalMinutes, s.intervalSeconds),
                                                  INT32_MIN, INT32_MAX));
}

}  // namespace

Recording::Recording(UiHost& host, HandOverArea& handOver, RecordClock& clock, RecordEnvironment& environment,
                     std::atomic<int32_t>& recording, std::atomic<int32_t>& recordStartPending)
    : host_(host),
      handOver_(handOver),
      clock_(clock),
      env_(environment),
      recording_(recording),
      recordStartPending_(recordStartPending),
      list_(host, store_, [this] { return env_.recordSettings().timeDisplayMode; }),
      graph_(store_),
      info_(host),
      timer_(host, clock) {}

Recording::~Recording() {
  timer_.stop();
  alive_.reset();
}

void Recording::initialise(const PixelRect& plotRect) {
  list_.initialise();
  graph_.initialise(plotRect, graphIntervalOf(env_.recordSettings()));
  refreshRecordInfo();
  clearExtremeTexts();
}

void Recording::postMenuState(bool memory, int grey, int leaveOpen) {
  std::weak_ptr<bool> alive = alive_;
  host_.post([this, alive, memory, grey, leaveOpen] {
    if (!alive.lock()) return;
    if (memory) {
      env_.memoryMenuState(grey);
    } else {
      env_.fileMenuState(grey, leaveOpen);
    }
  });
}

bool Recording::confirmSameMeter() {
  if (store_.state.fileBound != 1) return true;
  if (env_.connectedMeter().serialNumberText == store_.fileIdentity.serialNumberText) return true;
  MessageRequest box;
  box.text = env_.languageText(kSerialNumberMismatchEntry);
  box.icon = MessageIcon::Warning;
  box.buttons = MessageButtons::YesNo;
  box.defaultAnswer = MessageAnswer::No;
  if (host_.showMessage(box) != MessageAnswer::Yes) return false;
  startNewRecordList();
  return true;
}

void Recording::onStart() {
  if (isRecording() || env_.statusInvalid()) return;
  if (!confirmSameMeter()) return;

  host_.setEnabled(kMainDialog, kZeroAdjustButton, false);
  host_.setEnabled(kMainDialog, kStartButton, false);
  host_.setEnabled(kMainDialog, kStopButton, true);
  for (int id : {kManualButton, kCopyGraphButton, kSaveButton, kClearButton}) host_.setEnabled(kMainDialog, id, false);
  // Start is disabled now: the focus goes to Stop.
  host_.setFocus(kMainDialog, kStopButton);
  clearExtremeTexts();
  list_.disablePaging();

  runSettings_ = env_.recordSettings();
  // A run of a set number of samples gets its room at once, so the store
  // never doubles past what the run needs (a run holds up to 1048576).
  if (runSettings_.totalMode == 0 && runSettings_.dataCount > 0) {
    store_.records.reserve(store_.records.size() + static_cast<size_t>(std::min(runSettings_.dataCount, 1 << 20)));
  }
  recording_ = 1;
  postMenuState(true, 1, 0);
  postMenuState(false, 1, 0);

  timer_.start(runSettings_, recordStartPending_, [this](const RecordTick& tick) { onRecordTick(tick); });
}

Recording::Sample Recording::takeSample(const OleDate& time) {
  const HandOverValue h = handOver_.take();  // holds the lock only while copying
  Sample s;
  s.value = h.recordCopy;
  s.record.nFunction = h.functionIndex;
  s.record.nValue = h.valueCode;
  s.record.nRange = h.rangeIndex;
  s.record.nUnit = h.unitCode;
  s.record.nReserved = h.reserved;
  s.record.setDtTime(time);
  s.numbers = ExtremeRecord{time, h.functionIndex, h.valueCode, h.rangeIndex};
  return s;
}

void Recording::showRecordedSample(const Sample& sample) {
  list_.addRecordRow(sample.value);
  store_.state.lastFunctionIndex = sample.record.nFunction;
  store_.state.lastRangeText = recordRangeText(sample.record.nRange, sample.record.nUnit);
  info_.showLastSample(store_.state.lastRangeText);
}

void Recording::markChanged(bool firstOfChange) {
  RecordState& st = store_.state;
  if (firstOfChange && st.fileBound == 1 && st.dataSaved == 1) {
    st.dataSaved = 0;
    host_.setWindowTitle(kMainDialog, windowTitleText(true, store_.recordFileName, true));
  }
  st.dataSaved = 0;
}

void Recording::onRecordTick(const RecordTick& tick) {
  if (!isRecording()) return;
  RecordState& st = store_.state;
  GraphState& g = graph_.state();
  if (journal_) {
    journal_->beforeSample();
    if (tick.firstOfRun) {
      journal_->runStarted({runSettings_, env_.recordHeader(), env_.connectedMeter(), g.graphIntervalSeconds});
    }
  }
  sampleTime_ = tick.sampleTime;
  if (tick.firstOfRun) {
    st.runStartTime = tick.sampleTime;
    st.runCount = 0;
  }

  Sample s = takeSample(sampleTime_);
  ++st.runCount;
  ++st.recordCount;
  info_.showDataCount(st.recordCount);
  list_.advanceForNewSample(false);
  if (st.recordCount == 1) st.baseTime = sampleTime_;

  if (st.runCount == 1) {
    const std::string t = absoluteTimeText(st.runStartTime);
    host_.setText(kMainDialog, kRunStartLabel, t);
    st.runStartText = t;
    g.runFirstRecord = st.recordCount;
    g.maxScale = g.minScale = s.record.nRange;
    listMaxFirst_ = listMinFirst_ = true;
    g.firstMaxPending = g.firstMinPending = true;
  }

  s.value.timeText = recordTimeText(sampleTime_, st.baseTime, runSettings_.timeDisplayMode);
  lastAutomaticSample_ = s.numbers;

  const auto labelDecimals = [&] { return rangeDecimals[rangeTableIndex(s.record.nRange, s.record.nUnit)]; };
  if (updateMax(listMaxFirst_, listMax_, s.numbers, false)) {
    st.maxTime = sampleTime_;
    st.maxFunctionIndex = s.record.nFunction;
    st.maxText = s.value.valueText + " " + s.value.unitText;
    list_.setMaxLine(s.value.timeText, st.maxText);
  }
  if (updateMax(g.firstMaxPending, graphMax_, s.numbers, true)) {
    g.extremeUnitText = s.value.unitText;
    g.maxCount = s.record.nValue;
    g.maxScale = s.record.nRange;
    if (s.record.nRange >= g.minScale) g.labelDecimals = labelDecimals();
    g.rescalePending = 1;
  }
  if (updateMin(listMinFirst_, listMin_, s.numbers, false)) {
    st.minTime = sampleTime_;
    st.minText = s.value.valueText + " " + s.value.unitText;
    list_.setMinLine(s.value.timeText, st.minText);
  }
  if (updateMin(g.firstMinPending, graphMin_, s.numbers, true)) {
    g.minCount = s.record.nValue;
    g.minScale = s.record.nRange;
    if (s.record.nRange >= g.maxScale) g.labelDecimals = labelDecimals();
    g.rescalePending = 1;
  }

  showRecordedSample(s);
  store_.appendRecord(s.record);
  g.blankFlag = s.value.reservedFlag;
  graph_.sampleAppended();
  if (journal_) {
    journal_->sampleTaken({false, tick.firstOfRun, s.record, s.value.valueText, s.value.unitText, s.value.reservedFlag});
  }

  const bool done = runSettings_.totalMode == 1
                        ? normalIntervalSeconds(runSettings_) * (int64_t{st.runCount} - 1) >= recordTimeSeconds(runSettings_)
                        : st.runCount >= runSettings_.dataCount;
  if (done) stop();

  markChanged(st.runCount == 1);
}

void Recording::onManual() {
  if (isRecording() || env_.statusInvalid()) return;
  if (!confirmSameMeter()) return;
  onManualSample();
}

void Recording::onManualSample() {
  RecordState& st = store_.state;
  if (journal_) journal_->beforeSample();
  const OleDate time = oleDateFromTime(clock_.calendarSeconds());
  Sample s = takeSample(time);
  ++st.recordCount;
  info_.showDataCount(st.recordCount);
  list_.advanceForNewSample(true);
  sampleTime_ = time;
  if (st.recordCount == 1) {
    st.baseTime = sampleTime_;
    host_.setEnabled(kMainDialog, kSaveButton, true);
    host_.setEnabled(kMainDialog, kClearButton, true);
    postMenuState(false, 0, 0);
  }
  s.value.timeText = recordTimeText(sampleTime_, st.baseTime, env_.recordSettings().timeDisplayMode);
  showRecordedSample(s);
  store_.appendRecord(s.record);

  if (st.runCount > 0) {
    st.runCount = 0;
    graph_.resetGraph();
    host_.setEnabled(kMainDialog, kCopyGraphButton, false);
  } else {
    graph_.state().runFirstRecord = st.recordCount + 1;
  }
  markChanged(true);
  if (journal_) journal_->sampleTaken({true, false, s.record, s.value.valueText, s.value.unitText, s.value.reservedFlag});
}

void Recording::stop() {
  // A stop asked for by the measurement cycle may arrive after the run has
  // ended (say, by a disconnection); it must not enable Start then.
  if (!isRecording()) return;
  timer_.stop();
  recordStartPending_ = 0;
  recording_ = 0;

  const RecordState& st = store_.state;
  host_.setEnabled(kMainDialog, kZeroAdjustButton, true);
  host_.setEnabled(kMainDialog, kStartButton, true);
  host_.setEnabled(kMainDialog, kStopButton, false);
  // Stop is disabled now, whoever ended the run: the focus goes to Start.
  host_.setFocus(kMainDialog, kStartButton);
  host_.setEnabled(kMainDialog, kManualButton, true);
  if (st.runCount > 0) host_.setEnabled(kMainDialog, kCopyGraphButton, true);
  if (st.recordCount > 0) {
    host_.setEnabled(kMainDialog, kSaveButton, true);
    host_.setEnabled(kMainDialog, kClearButton, true);
  }
  list_.updatePageButtons(true);

  store_.state.runStopTime = sampleTime_;
  store_.state.runStopText = absoluteTimeText(sampleTime_);
  host_.setText(kMainDialog, kRunStopLabel, store_.state.runStopText);
  if (journal_) journal_->runEnded();

  if (!env_.captureRunning()) postMenuState(true, 0, 0);
  if (st.recordCount > 0) postMenuState(false, 0, 0);
}

void Recording::requestStop() {
  std::weak_ptr<bool> alive = alive_;
  host_.post([this, alive] {
    if (alive.lock()) stop();
  });
}

void Recording::stopByDisconnection() {
  if (!isRecording()) return;
  recording_ = 0;
  recordStartPending_ = 0;
  timer_.stop();
  store_.state.runStopTime = sampleTime_;
  store_.state.runStopText = absoluteTimeText(sampleTime_);
  host_.setText(kMainDialog, kRunStopLabel, store_.state.runStopText);
  if (journal_) journal_->runEnded();
}

void Recording::onMeterConnected(const MeterIdentity& meter) {
  if (store_.state.fileBound != 0) return;
  store_.fileIdentity.modelIndex = meter.modelIndex;
  info_.showMeter(meter.modelIndex, meter.serialNumberText);
}

void Recording::onMeterDisconnected() {
  stopByDisconnection();
  const RecordState& st = store_.state;
  if (st.runCount > 0) host_.setEnabled(kMainDialog, kCopyGraphButton, true);
  if (st.recordCount > 0) {
    host_.setEnabled(kMainDialog, kSaveButton, true);
    host_.setEnabled(kMainDialog, kClearButton, true);
  }
  list_.updatePageButtons(true);
  if (st.recordCount > 0) postMenuState(false, 0, 0);
}

void Recording::clearRecords(bool all) {
  RecordState& st = store_.state;
  if (all) {
    if (st.recordCount > 0) {
      st.recordCount = 0;
      RecordArray().swap(store_.records);  // releases the memory
    }
    if (st.runCount > 0) {
      st.runCount = 0;
      graph_.resetGraph();
    }
    list_.resetPaging();
  } else {
    if (st.recordCount > 0) {
      --st.recordCount;
      if (!store_.records.empty()) store_.records.pop_back();
    }
    if (st.runCount > 0) {
      --st.runCount;
      if (st.runCount == 0) {
        graph_.resetGraph();
      } else {
        graph_.drawGraph();
      }
    }
    list_.removeLastRecord();
  }

  info_.showDataCount(st.recordCount);
  if (st.runCount == 0) host_.setEnabled(kMainDialog, kCopyGraphButton, false);
  if (st.recordCount == 0) {
    st.dataSaved = 1;
    host_.setEnabled(kMainDialog, kSaveButton, false);
    host_.setEnabled(kMainDialog, kClearButton, false);
    clearExtremeTexts();
    postMenuState(false, 1, 1);
  }
  if (journal_) journal_->recordsRemoved();
}

void Recording::startNewRecordList() {
  clearRecords(true);
  host_.setWindowTitle(kMainDialog, windowTitleText(false, {}, false));
  store_.state.fileBound = 0;
  store_.state.dataSaved = 1;
  if (journal_) journal_->recordsRemoved();
  const MeterIdentity meter = env_.connectedMeter();
  info_.showMeter(meter.modelIndex, meter.serialNumberText);
}

void Recording::clearExtremeTexts() {
  list_.clearExtremeLines();
  host_.setText(kMainDialog, kRunStartLabel, "");
  host_.setText(kMainDialog, kRunStopLabel, "");
  store_.state.maxText.clear();
  store_.state.minText.clear();
}

void Recording::refreshRecordInfo() {
  info_.refreshRecordInfo(env_.recordHeader(), env_.recordSettings(), env_.meterConnected(),
                          store_.state.fileBound == 1);
}

void Recording::onSettingsApplied(bool timeDisplayModeChanged) {
  refreshRecordInfo();
  graph_.setGraphIntervalSeconds(graphIntervalOf(env_.recordSettings()));
  if (timeDisplayModeChanged && !store_.records.empty()) {
    list_.refreshRecordPage(list_.currentPage());
    list_.refreshMaxPanel();
    list_.refreshMinPanel();
  }
}

}  // namespace lmv
