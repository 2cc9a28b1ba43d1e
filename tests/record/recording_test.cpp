#include "record/recording.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <thread>

#include "fake_ui_host.h"
#include "monitor/format_value.h"
#include "monitor/range_table.h"
#include "monitor/value_codes.h"
#include "record/record_controls.h"
#include "record/time_text.h"
#include "record/window_title.h"
#include "record_fakes.h"

namespace lmv {
namespace {

using test::FakeRecordClock;
using test::FakeRecordEnvironment;
using test::FakeUiHost;

constexpr PixelRect kPlot{0, 0, 400, 300};

class RecordingTest : public ::testing::Test {
 protected:
  RecordingTest() : recording(host, handOver, clock, env, recordingFlag, startPending) {
    setenv("TZ", "UTC", 1);
    tzset();
    recording.list().model().setObserver(&pageRecorder);
    recording.initialise(kPlot);
    putValue(100);
  }

  // The value the measurement cycle hands over, as it formats it.
  void putValue(int32_t code, int32_t range = 3, int32_t unit = UnitLux) {
    HandOverValue h;
    h.recordCopy.valueText = formatStoredValue(code, range, unit);
    h.recordCopy.unitText = std::string(rangeUnit[rangeTableIndex(range, unit)]);
    h.recordCopy.functionText = "LUX";
    h.recordCopy.rangeText = std::string(rangeLabel(range, unit));
    h.recordCopy.overMark = isOverCode(code) ? 1 : 0;
    h.pasteCopy = h.recordCopy;
    h.valueCode = code;
    h.rangeIndex = range;
    h.unitCode = unit;
    handOver.put(h);
  }

  void recordUntilStopped() {
    recording.onStart();
    ASSERT_TRUE(recording.isRecording());
    ASSERT_TRUE(host.pumpUntil([&] { return !recording.isRecording(); }));
    host.pumpOnce();  // the posted menu states
  }

  // Sample times as seconds after 09:05:00.
  std::vector<int> sampleSeconds() const {
    std::vector<int> out;
    for (const _RECORD_DATA& r : recording.store().records) {
      out.push_back(oleDateFields(r.dtTime())->second + 60 * (oleDateFields(r.dtTime())->minute - 5));
    }
    return out;
  }
  int curveLines() const {
    int n = 0;
    for (const DrawOp& op : recording.graph().drawing().ops) n += op.color == kGraphCurve;
    return n;
  }
  bool on(int control, int dialog = kMainDialog) const { return host.enabled(control, dialog); }
  const RecordState& state() const { return recording.store().state; }

  FakeUiHost host;
  FakeRecordClock clock;
  FakeRecordEnvironment env;
  HandOverArea handOver;
  std::atomic<int32_t> recordingFlag{0};
  std::atomic<int32_t> startPending{0};
  Recording recording;
  test::PageRecorder pageRecorder;
};

TEST_F(RecordingTest, DataCountFiveTakesFiveSamplesAndStopsInTheFifthTick) {
  env.settings.dataCount = 5;
  std::vector<int> recordingWhenShown;
  recordUntilStopped();
  // Started at 09:05:03.5: the first sample at the next whole second.
  EXPECT_EQ(sampleSeconds(), (std::vector<int>{4, 5, 6, 7, 8}));
  EXPECT_EQ(state().recordCount, 5);
  EXPECT_EQ(state().runCount, 5);
  EXPECT_EQ(state().runStartText, "2014/07/07,09:05:04");
  EXPECT_EQ(state().runStopText, "2014/07/07,09:05:08");
  EXPECT_EQ(host.text(kRunStartLabel), "2014/07/07,09:05:04");
  EXPECT_EQ(host.text(kRunStopLabel), "2014/07/07,09:05:08");
  EXPECT_EQ(startPending.load(), 0);

  // The timing thread has ended: no sixth sample however long we wait.
  clock.advance(10000);
  host.pumpFor(std::chrono::milliseconds(30));
  EXPECT_EQ(state().recordCount, 5);

  EXPECT_TRUE(on(kStartButton));
  EXPECT_FALSE(on(kStopButton));
  for (int id : {kManualButton, kCopyGraphButton, kSaveButton, kClearButton, kZeroAdjustButton}) EXPECT_TRUE(on(id));
  EXPECT_EQ(env.memoryStates, (std::vector<int>{1, 0}));
  EXPECT_EQ(env.fileStates, (std::vector<std::pair<int, int>>{{1, 0}, {0, 0}}));
  EXPECT_EQ(host.text(kInfoDataCount, kRecordInfoPage), "5");
  EXPECT_EQ(host.text(kInfoRange, kRecordInfoPage), "2000 lx");
  EXPECT_EQ(state().dataSaved, 0);
}

TEST_F(RecordingTest, WhileRecordingOnlyStopIsOn) {
  env.settings.dataCount = 3;
  recording.onStart();
  EXPECT_EQ(recordingFlag.load(), 1);
  EXPECT_FALSE(on(kStartButton));
  EXPECT_TRUE(on(kStopButton));
  for (int id : {kManualButton, kCopyGraphButton, kSaveButton, kClearButton, kZeroAdjustButton}) EXPECT_FALSE(on(id));
  for (int id : {kPreviousButton, kNextButton, kPageNumberEdit, kJumpButton}) EXPECT_FALSE(on(id, kRecordListPage));
  ASSERT_TRUE(host.pumpUntil([&] { return !recording.isRecording(); }));
}

TEST_F(RecordingTest, RecordTimeCountsTheIntervalBetweenSamples) {
  struct Case {
    int interval, recordTime;
    std::vector<int> seconds;
  };
  for (const Case& c : {Case{2, 10, {4, 6, 8, 10, 12, 14}}, Case{3, 3, {4, 7}}}) {
    recording.clearRecords(true);
    env.settings.totalMode = 1;
    env.settings.intervalSeconds = c.interval;
    env.settings.recordSeconds = c.recordTime;
    env.settings.recordHours = env.settings.recordMinutes = 0;
    const int64_t startSecond = clock.now() / 1000;
    recordUntilStopped();
    std::vector<int> relative;
    for (const _RECORD_DATA& r : recording.store().records) {
      relative.push_back(static_cast<int>(std::llround((r.dtTimeDays - recording.store().records[0].dtTimeDays) * 86400)));
    }
    std::vector<int> expected;
    for (int s : c.seconds) expected.push_back(s - c.seconds[0]);
    EXPECT_EQ(relative, expected) << c.interval;
    EXPECT_GE(static_cast<int64_t>(std::llround(recording.store().records[0].dtTimeDays * 86400)) % 86400,
              (startSecond + 1) % 86400);
  }
}

// Ticks of a fast run, as milliseconds of the fake clock when each was taken.
class TickTimes final : public RecordPageObserver {
 public:
  explicit TickTimes(FakeRecordClock& clock) : clock_(clock) {}
  std::vector<int64_t> times;
  void rowsReset() override {}
  void rowAppended(int) override { times.push_back(clock_.now()); }
  void rowRemoved(int) override {}
  void selectionChanged(int) override {}

 private:
  FakeRecordClock& clock_;
};

TEST_F(RecordingTest, FastModeTicksEveryHundredMillisecondsTimesFastIndex) {
  for (int index : {0, 4}) {
    recording.clearRecords(true);
    TickTimes ticks(clock);
    recording.list().model().setObserver(&ticks);
    env.settings.intervalMode = 1;
    env.settings.fastIntervalIndex = index;
    env.settings.dataCount = 10;
    const int64_t started = clock.now();
    recordUntilStopped();
    ASSERT_EQ(ticks.times.size(), 10u);
    // The thread takes its reference 1 ms after Start; the first tick follows one unit later.
    EXPECT_EQ(ticks.times[0] - started, 101);
    for (size_t i = 1; i < ticks.times.size(); ++i) EXPECT_EQ(ticks.times[i] - ticks.times[i - 1], 100 * (index + 1));
    std::set<double> seconds;
    for (const _RECORD_DATA& r : recording.store().records) seconds.insert(r.dtTimeDays);
    EXPECT_LE(seconds.size(), index == 0 ? 2u : 6u);
    recording.list().model().setObserver(nullptr);
  }
}

TEST_F(RecordingTest, FastModeRecordTimeStillCountsTheNormalInterval) {
  env.settings.intervalMode = 1;
  env.settings.totalMode = 1;
  env.settings.intervalSeconds = 1;
  env.settings.recordHours = env.settings.recordMinutes = 0;
  env.settings.recordSeconds = 3;
  recordUntilStopped();
  EXPECT_EQ(state().recordCount, 4);  // 1 x (4 - 1) >= 3, after 400 ms
}

TEST_F(RecordingTest, SecondRunAppendsKeepsTheBaseTimeAndGraphsOnlyItself) {
  env.settings.dataCount = 3;
  recordUntilStopped();
  const OleDate base = state().baseTime;
  EXPECT_EQ(curveLines(), 2);

  clock.advance(60000);
  putValue(150);
  env.settings.dataCount = 2;
  recordUntilStopped();
  EXPECT_EQ(state().recordCount, 5);
  EXPECT_EQ(state().runCount, 2);
  EXPECT_EQ(state().baseTime, base);
  EXPECT_EQ(recording.store().records[0].dtTime(), base);
  EXPECT_EQ(recording.graph().state().runFirstRecord, 4);
  EXPECT_EQ(recording.graph().runSamples(), 2);
  EXPECT_EQ(curveLines(), 1);
  EXPECT_EQ(recording.list().model().rowCount(), 5);
  EXPECT_EQ(host.text(kRunStartLabel), "2014/07/07,09:06:07");
}

TEST_F(RecordingTest, ExtremesGoToTheMaxAndMinLinesAndScaleTheGraph) {
  env.settings.timeDisplayMode = 1;
  env.settings.dataCount = 5;
  std::vector<int32_t> values{300, CodeOver, 100, CodeNoValue, 200};
  size_t next = 0;
  // Each row appended means a sample was taken; the next value is handed over then.
  struct Feeder final : RecordPageObserver {
    std::function<void()> onRow;
    void rowsReset() override {}
    void rowAppended(int) override { onRow(); }
    void rowRemoved(int) override {}
    void selectionChanged(int) override {}
  } feeder;
  feeder.onRow = [&] {
    if (++next < values.size()) putValue(values[next]);
  };
  recording.list().model().setObserver(&feeder);
  putValue(values[0]);
  recordUntilStopped();

  // The over-range sample is the list's maximum but never the graph's.
  EXPECT_EQ(host.text(kMaxLine, kRecordListPage), "00:00:01     2000 lx");
  EXPECT_EQ(host.text(kMinLine, kRecordListPage), "00:00:02     100 lx");
  EXPECT_EQ(state().maxText, "2000 lx");
  EXPECT_EQ(state().minText, "100 lx");
  const GraphState& g = recording.graph().state();
  EXPECT_EQ(g.maxCount, 300);
  EXPECT_EQ(g.minCount, 100);
  EXPECT_EQ(g.labelDecimals, 0);
  EXPECT_EQ(g.extremeUnitText, "lx");
  EXPECT_EQ(g.axisTop, 340);
  EXPECT_EQ(g.axisBottom, 50);  // 59.99999 lowered to the step of 10
  EXPECT_EQ(recording.lastAutomaticSample().valueCode, 200);
  EXPECT_EQ(recording.list().model().rows()[1], (RecordRow{"00:00:01", "2000 lx", "OVER"}));
  EXPECT_EQ(recording.list().model().rows()[3].valueText, "---- lx");
  recording.list().model().setObserver(nullptr);
}

TEST_F(RecordingTest, FirstSampleAtRangeOneScalesTheAxis) {
  putValue(1234, 1);
  env.settings.dataCount = 1;
  recordUntilStopped();
  const GraphState& g = recording.graph().state();
  EXPECT_EQ(g.axisTop, 1236);
  EXPECT_EQ(g.axisBottom, 1231);
  EXPECT_EQ(g.labelDecimals, 2);
  std::vector<std::string> labels;
  for (const DrawOp& op : recording.graph().drawing().ops) {
    if (op.kind == DrawKind::Text && op.font == GraphFont::ValueLabel) labels.push_back(op.text);
  }
  EXPECT_EQ(labels, (std::vector<std::string>{"12.36", "12.35", "12.34", "12.33", "12.32", "12.31"}));
}

TEST_F(RecordingTest, ManualSampleAfterARunResetsTheGraph) {
  env.settings.dataCount = 3;
  recordUntilStopped();
  EXPECT_TRUE(on(kCopyGraphButton));
  clock.advance(5000);
  recording.onManual();
  EXPECT_EQ(state().recordCount, 4);
  EXPECT_EQ(state().runCount, 0);
  EXPECT_EQ(curveLines(), 0);
  EXPECT_EQ(recording.graph().state().axisTop, 2000);
  EXPECT_FALSE(on(kCopyGraphButton));
  EXPECT_EQ(recording.store().records.size(), 4u);
  EXPECT_EQ(recording.sampleTime(), recording.store().records.back().dtTime());

  // A second manual sample moves the start of the (empty) run past itself.
  recording.onManual();
  EXPECT_EQ(recording.graph().state().runFirstRecord, 6);
  EXPECT_EQ(recording.graph().runSamples(), 0);
}

TEST_F(RecordingTest, FirstManualSampleEnablesSavingAndNothingWhileStatusIsInvalid) {
  env.invalidStatus = true;
  recording.onManual();
  recording.onStart();
  EXPECT_EQ(state().recordCount, 0);
  EXPECT_FALSE(recording.isRecording());

  env.invalidStatus = false;
  recording.onManual();
  host.pumpOnce();
  EXPECT_EQ(state().recordCount, 1);
  EXPECT_TRUE(on(kSaveButton));
  EXPECT_TRUE(on(kClearButton));
  EXPECT_EQ(env.fileStates, (std::vector<std::pair<int, int>>{{0, 0}}));
  EXPECT_EQ(state().baseTime, recording.store().records[0].dtTime());
  EXPECT_EQ(recording.list().model().rows()[0].timeText, "2014/07/07,09:05:03");
}

TEST_F(RecordingTest, ClearLastOnPageTwoFallsBackToAFullPageOne) {
  for (int i = 0; i < 1001; ++i) recording.onManual();
  ASSERT_EQ(recording.list().currentPage(), 2);
  ASSERT_EQ(recording.list().model().rowCount(), 1);
  recording.clearRecords(false);
  EXPECT_EQ(state().recordCount, 1000);
  EXPECT_EQ(recording.store().records.size(), 1000u);
  EXPECT_EQ(recording.list().pageCount(), 1);
  EXPECT_EQ(recording.list().currentPage(), 1);
  EXPECT_EQ(recording.list().lastPageRows(), 1000);
  EXPECT_EQ(recording.list().model().rowCount(), 1000);
  EXPECT_EQ(host.text(kPageText, kRecordListPage), "1/1");
  EXPECT_EQ(host.text(kInfoDataCount, kRecordInfoPage), "1000");
}

TEST_F(RecordingTest, ClearLastWhileAnEarlierPageIsShownJumpsToTheLastPage) {
  for (int i = 0; i < 1500; ++i) {
    clock.advance(1000);
    recording.onManual();
  }
  recording.list().onPrevious();
  host.pumpOnce();
  ASSERT_EQ(recording.list().currentPage(), 1);
  const std::string lastBefore = recording.list().model().rows().back().timeText;

  recording.clearRecords(false);
  EXPECT_EQ(recording.list().currentPage(), 2);
  EXPECT_EQ(host.text(kPageText, kRecordListPage), "2/2");
  ASSERT_EQ(recording.list().model().rowCount(), 499);
  EXPECT_EQ(recording.list().lastPageRows(), 499);
  EXPECT_EQ(recording.list().model().rows().back().timeText,
            absoluteTimeText(recording.store().records[1498].dtTime()));
  EXPECT_NE(recording.list().model().rows().back().timeText, lastBefore);
}

TEST_F(RecordingTest, ClearingTheLastRecordLeavesAnEmptySavedStore) {
  env.settings.dataCount = 1;
  recordUntilStopped();
  env.fileStates.clear();
  EXPECT_NE(host.text(kMaxLine, kRecordListPage), "");
  recording.clearRecords(false);
  host.pumpOnce();
  EXPECT_EQ(state().recordCount, 0);
  EXPECT_EQ(state().runCount, 0);
  EXPECT_EQ(state().dataSaved, 1);
  EXPECT_FALSE(on(kSaveButton));
  EXPECT_FALSE(on(kClearButton));
  EXPECT_FALSE(on(kCopyGraphButton));
  for (int id : {kMaxLine, kMinLine}) EXPECT_EQ(host.text(id, kRecordListPage), "");
  for (int id : {kRunStartLabel, kRunStopLabel}) EXPECT_EQ(host.text(id), "");
  EXPECT_EQ(state().maxText, "");
  EXPECT_EQ(state().runStartText, "2014/07/07,09:05:04");  // kept
  EXPECT_EQ(env.fileStates, (std::vector<std::pair<int, int>>{{1, 1}}));
  EXPECT_EQ(curveLines(), 0);
  EXPECT_EQ(host.text(kInfoDataCount, kRecordInfoPage), "0");
}

TEST_F(RecordingTest, ClearLastRedrawsTheRunWithoutTheRemovedSample) {
  env.settings.dataCount = 3;
  recordUntilStopped();
  EXPECT_EQ(curveLines(), 2);
  recording.clearRecords(false);
  EXPECT_EQ(state().runCount, 2);
  EXPECT_EQ(curveLines(), 1);
  EXPECT_TRUE(on(kCopyGraphButton));
}

TEST_F(RecordingTest, AllClearKeepsTheFileBinding) {
  recording.store().state.fileBound = 1;
  recording.store().recordFileName = "run.lxrd";
  env.meter.serialNumberText = recording.store().fileIdentity.serialNumberText = "SN0001";
  env.settings.dataCount = 2;
  recordUntilStopped();
  EXPECT_EQ(host.windowTitle(), "Lumetrevisor for LX5810/LX5811  Ver1.10 - [run.lxrd *]");
  recording.clearRecords(true);
  EXPECT_EQ(state().fileBound, 1);
  EXPECT_EQ(state().dataSaved, 1);
  EXPECT_EQ(recording.list().model().rowCount(), 0);
  EXPECT_EQ(host.text(kPageText, kRecordListPage), "1/1");
  EXPECT_EQ(recording.store().records.capacity(), 0u);
}

TEST_F(RecordingTest, TitleGainsTheMarkOnlyOnceWhenBoundAndSaved) {
  recording.store().state.fileBound = 1;
  recording.store().state.dataSaved = 1;
  recording.store().recordFileName = "a.lxrd";
  env.meter.serialNumberText = recording.store().fileIdentity.serialNumberText;
  recording.onManual();
  EXPECT_EQ(host.windowTitle(), windowTitleText(true, "a.lxrd", true));
  EXPECT_EQ(state().dataSaved, 0);
  host.setWindowTitle(kMainDialog, "untouched");
  recording.onManual();
  EXPECT_EQ(host.windowTitle(), "untouched");
}

TEST_F(RecordingTest, RecordsOfAnotherMeterAskBeforeStarting) {
  recording.onManual();
  recording.store().state.fileBound = 1;
  recording.store().state.dataSaved = 1;
  recording.store().recordFileName = "other.lxrd";
  recording.store().fileIdentity = MeterIdentity{1, "SN9999", "1.00"};
  env.settings.dataCount = 1;

  host.scriptAnswers({MessageAnswer::No});
  recording.onStart();
  ASSERT_EQ(host.messages().size(), 1u);
  const MessageRequest box = host.messages()[0];
  EXPECT_EQ(box.text, "text 158");
  EXPECT_EQ(box.icon, MessageIcon::Warning);
  EXPECT_EQ(box.buttons, MessageButtons::YesNo);
  EXPECT_EQ(box.defaultAnswer, MessageAnswer::No);
  EXPECT_FALSE(recording.isRecording());
  EXPECT_EQ(state().recordCount, 1);
  EXPECT_EQ(state().fileBound, 1);

  host.scriptAnswers({MessageAnswer::No});
  recording.onManual();
  EXPECT_EQ(state().recordCount, 1);

  host.scriptAnswers({MessageAnswer::Yes});
  recordUntilStopped();
  EXPECT_EQ(state().fileBound, 0);
  EXPECT_EQ(state().recordCount, 1);  // the new list holds only the new sample
  EXPECT_EQ(host.windowTitle(), "Lumetrevisor for LX5810/LX5811  Ver1.10");
  EXPECT_EQ(host.text(kInfoModel, kRecordInfoPage), "LX5810");
  EXPECT_EQ(host.text(kInfoSerialNumber, kRecordInfoPage), "SN0001");
}

TEST_F(RecordingTest, StopBeforeTheFirstTickAddsNothing) {
  recording.onStart();
  recording.onStop();
  EXPECT_TRUE(on(kStartButton));
  host.pumpFor(std::chrono::milliseconds(20));
  EXPECT_EQ(state().recordCount, 0);
  EXPECT_EQ(state().runStopText, "1899/12/30,00:00:00");
  EXPECT_EQ(env.fileStates, (std::vector<std::pair<int, int>>{{1, 0}}));  // nothing to save
  EXPECT_FALSE(on(kSaveButton));
}

TEST_F(RecordingTest, StopByDisconnectionEndsTheRunWithoutTouchingButtons) {
  env.settings.dataCount = 100;
  recording.onStart();
  ASSERT_TRUE(host.pumpUntil([&] { return state().recordCount >= 2; }));
  recording.stopByDisconnection();
  EXPECT_FALSE(recording.isRecording());
  EXPECT_EQ(startPending.load(), 0);
  const int32_t count = state().recordCount;
  host.pumpFor(std::chrono::milliseconds(20));
  EXPECT_EQ(state().recordCount, count);  // a tick already handed over is dropped
  EXPECT_EQ(state().runStopText, absoluteTimeText(recording.sampleTime()));
  EXPECT_EQ(host.text(kRunStopLabel), state().runStopText);
  EXPECT_FALSE(on(kStartButton));  // the disconnect path sets the buttons

  // A stop the measurement cycle asked for before the disconnection comes late.
  host.setEnabled(kMainDialog, kStartButton, false);
  recording.stop();
  EXPECT_FALSE(on(kStartButton));
}

TEST_F(RecordingTest, ConnectionShowsTheMeterUnlessTheRecordsAreBoundToAFile) {
  recording.onMeterConnected(MeterIdentity{1, "SN77", "1.00"});
  EXPECT_EQ(recording.store().fileIdentity.modelIndex, 1);
  EXPECT_EQ(host.text(kInfoModel, kRecordInfoPage), "LX5811");
  EXPECT_EQ(host.text(kInfoSerialNumber, kRecordInfoPage), "SN77");

  recording.store().state.fileBound = 1;
  recording.onMeterConnected(MeterIdentity{0, "SN01", "1.00"});
  EXPECT_EQ(recording.store().fileIdentity.modelIndex, 1);
  EXPECT_EQ(host.text(kInfoSerialNumber, kRecordInfoPage), "SN77");
}

TEST_F(RecordingTest, DisconnectionWithoutARunOnlyRestoresTheRecordControls) {
  recording.onManual();
  host.pumpOnce();
  env.fileStates.clear();
  host.setEnabled(kMainDialog, kCopyGraphButton, false);
  recording.onMeterDisconnected();
  host.pumpOnce();
  EXPECT_TRUE(on(kSaveButton));
  EXPECT_FALSE(on(kCopyGraphButton));  // no run
  EXPECT_EQ(env.fileStates, (std::vector<std::pair<int, int>>{{0, 0}}));
  EXPECT_EQ(state().runStopText, "");  // no run ended
}

TEST_F(RecordingTest, StartUpFillsTheInformationPanelFromTheSettings) {
  // The fixture's recording was initialised with the default settings.
  EXPECT_EQ(host.text(kInfoInterval, kRecordInfoPage), "1s");
  env.settings.intervalMinutes = 2;
  recording.initialise(kPlot);
  EXPECT_EQ(host.text(kInfoInterval, kRecordInfoPage), "2m 1s");
}

TEST_F(RecordingTest, AcceptedSettingsRefreshThePanelTheGraphAndTheTimesOfTheList) {
  struct Case {
    const char* name;
    bool withRecords;
    bool timeModeChanged;
    bool relisted;
  };
  for (const Case c : {Case{"records, mode changed", true, true, true}, Case{"records, same mode", true, false, false},
                       Case{"no records, mode changed", false, true, false}}) {
    SCOPED_TRACE(c.name);
    recording.clearRecords(true);
    env.settings.timeDisplayMode = 0;
    env.settings.intervalHours = 0;
    env.settings.intervalSeconds = 1;
    env.settings.dataCount = 3;
    if (c.withRecords) recordUntilStopped();
    const auto& rows = recording.list().model().rows();
    const std::string firstTime = c.withRecords ? rows.front().timeText : "";
    const std::string maxLine = host.text(kMaxLine, kRecordListPage);
    const int resets = pageRecorder.resets;

    env.settings.timeDisplayMode = c.timeModeChanged ? 1 : 0;
    env.settings.intervalHours = 1;
    env.settings.intervalSeconds = 30;
    env.header.operatorText = "Operator A";
    recording.onSettingsApplied(c.timeModeChanged);

    EXPECT_EQ(host.text(kInfoInterval, kRecordInfoPage), "1h 30s");
    EXPECT_EQ(host.text(kInfoOperator, kRecordInfoPage), "Operator A");
    EXPECT_EQ(recording.graph().state().graphIntervalSeconds, 3630);
    EXPECT_EQ(pageRecorder.resets > resets, c.relisted);
    if (!c.withRecords) continue;
    if (c.relisted) {
      EXPECT_EQ(rows.front().timeText, "00:00:00");
      EXPECT_EQ(rows.back().timeText, "00:00:02");
      EXPECT_NE(host.text(kMaxLine, kRecordListPage), maxLine);
      EXPECT_EQ(host.text(kMaxLine, kRecordListPage).rfind("00:00:0", 0), 0u) << host.text(kMaxLine, kRecordListPage);
    } else {
      EXPECT_EQ(rows.front().timeText, firstTime);
      EXPECT_EQ(host.text(kMaxLine, kRecordListPage), maxLine);
    }
  }
}

TEST_F(RecordingTest, StopRequestedByAnotherThreadRunsOnTheQueue) {
  env.settings.dataCount = 100;
  recording.onStart();
  ASSERT_TRUE(host.pumpUntil([&] { return state().recordCount >= 1; }));
  std::thread([&] { recording.requestStop(); }).join();
  EXPECT_TRUE(host.pumpUntil([&] { return !recording.isRecording(); }));
  EXPECT_TRUE(on(kStartButton));
}

TEST_F(RecordingTest, NewRunAfterAStopDuringATickDoesNotOverlap) {
  env.settings.dataCount = 1000;
  for (int run = 0; run < 20; ++run) {
    recording.onStart();
    ASSERT_TRUE(host.pumpUntil([&] { return state().recordCount >= run + 1; }));
    recording.onStop();
  }
  host.pumpFor(std::chrono::milliseconds(20));
  EXPECT_EQ(state().runCount, 1);  // each run stopped after its first sample
  EXPECT_EQ(state().recordCount, 20);
}

TEST_F(RecordingTest, DestroyingWhileRecordingJoinsTheTimingThread) {
  auto other = std::make_unique<Recording>(host, handOver, clock, env, recordingFlag, startPending);
  other->initialise(kPlot);
  env.settings.dataCount = 1000;
  other->onStart();
  ASSERT_TRUE(host.pumpUntil([&] { return other->store().state.recordCount >= 1; }));
  other.reset();
  host.pumpFor(std::chrono::milliseconds(20));  // queued ticks and menu states find it gone
}

}  // namespace
}  // namespace lmv
