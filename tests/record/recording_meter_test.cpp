// A whole recording against the simulated meter: the monitor runs the
// measurement thread on a pseudo-terminal, the recording's timing thread
// runs on a gated clock, and the test changes the light between samples.
#include <gtest/gtest.h>

#include <memory>

#include "app/monitor_control.h"
#include "link/explicit_ports.h"
#include "link/port_list.h"
#include "link/port_numbering.h"
#include "monitor/value_codes.h"
#include "record/record_controls.h"
#include "fake_ui_host.h"
#include "record/recording.h"
#include "record/time_text.h"
#include "record_fakes.h"
#include "sim_fixture.h"
#include "ui/language_table.h"

namespace lmv::test {
namespace {

// The rest of the main window: the meter comes from the session.
class SessionEnvironment final : public RecordEnvironment {
 public:
  explicit SessionEnvironment(MeterSession& session) : session_(session) {}
  RecordSettings settings;
  RecordSettings recordSettings() const override { return settings; }
  RecordHeader recordHeader() const override { return {}; }
  bool statusInvalid() const override { return session_.block.statusInvalid() != 0; }
  bool meterConnected() const override { return session_.meterConnected != 0; }
  MeterIdentity connectedMeter() const override { return session_.identity(); }
  bool captureRunning() const override { return false; }
  std::string languageText(int entry) const override { return languageTable().text(entry); }
  void memoryMenuState(int) override {}
  void fileMenuState(int, int) override {}

 private:
  MeterSession& session_;
};

class RecordingOnMeterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
    FillLanguageTable(kLanguageEnglish);
    sim::MeterConfig config;
    config.range = 3;  // fixed 2000 lx: 2500 lx is over range
    config.source = sim::IlluminanceSource::constant(500);
    meter = std::make_unique<SimulatedMeter>(config);
    portList().replace(buildPortList({}, ExplicitPorts::instance().entries()));
    currentBaud = 19200;
    currentPort = meter->portNumber();

    recording = std::make_unique<Recording>(ui, session.handOver, clock, env, recordingFlag, startPending);
    recording->initialise(PixelRect{0, 0, 400, 300});
    recording->graph().setCurveDrawing(CurveDrawing::Reference);
    session.setRecordingHooks({[this] { return recordingFlag.load() != 0; }, [this] { recording->stop(); }});
    MonitorHooks hooks;
    hooks.stopRecordingThreads = [this] { recording->stopTimer(); };
    hooks.connected = [this](const MeterIdentity& meter) { recording->onMeterConnected(meter); };
    hooks.disconnected = [this] { recording->onMeterDisconnected(); };
    control = std::make_unique<MonitorControl>(ui, session, std::move(hooks));
    control->startUp(false);
  }

  void TearDown() override {
    clock.openGate();
    control.reset();
    recording.reset();
    meter.reset();
    portList().replace({});
  }

  // Sets the light and waits until the measurement cycle has handed it over.
  bool light(double lux, int32_t expectedCode) {
    meter->simulator().withMeter([&](sim::MeterModel& m) { m.config().source = sim::IlluminanceSource::constant(lux); });
    return ui.pumpUntil([&] { return session.handOver.take().valueCode == expectedCode; });
  }

  FakeUiHost ui;
  FakeRecordClock clock;  // 09:05:03.500
  MeterSession session;
  SessionEnvironment env{session};
  std::atomic<int32_t> recordingFlag{0};
  std::atomic<int32_t> startPending{0};
  std::unique_ptr<SimulatedMeter> meter;
  std::unique_ptr<Recording> recording;
  std::unique_ptr<MonitorControl> control;
};

TEST_F(RecordingOnMeterTest, RecordsFiveSamplesFromTheMeterAndStops) {
  control->onMonitorButton();
  ASSERT_TRUE(ui.pumpUntil([&] { return session.meterConnected && session.block.statusInvalid() == 0; }));
  ASSERT_TRUE(ui.enabled(kStartButton));
  EXPECT_EQ(ui.text(kInfoModel, kRecordInfoPage), "LX5810");
  EXPECT_EQ(ui.text(kInfoSerialNumber, kRecordInfoPage), "10000123");

  env.settings.dataCount = 5;
  struct Step {
    double lux;
    int32_t code;
  };
  const Step steps[] = {{500, 500}, {800, 800}, {300, 300}, {2500, CodeOver}, {600, 600}};
  clock.setGate(kRecordTestStartMs + 600);  // just past the first tick at 09:05:04
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(light(steps[i].lux, steps[i].code)) << i;
    if (i == 0) {
      recording->onStart();
      ASSERT_TRUE(recording->isRecording());
    } else {
      clock.setGate(kRecordTestStartMs + 600 + 1000 * i);
    }
    ASSERT_TRUE(ui.pumpUntil([&] { return recording->store().state.recordCount == i + 1; })) << i;
  }
  EXPECT_FALSE(recording->isRecording()) << "the fifth tick stops the run";
  clock.openGate();
  ui.pumpFor(std::chrono::milliseconds(50));

  // The store.
  const RecordStore& store = recording->store();
  ASSERT_EQ(store.records.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    const _RECORD_DATA& r = store.records[i];
    EXPECT_EQ(r.nValue, steps[i].code) << i;
    EXPECT_EQ(r.nRange, 3);
    EXPECT_EQ(r.nUnit, UnitLux);
    EXPECT_EQ(absoluteTimeText(r.dtTime()), "2014/07/07,09:05:0" + std::to_string(4 + i));
  }
  EXPECT_EQ(store.state.runCount, 5);
  EXPECT_EQ(store.state.dataSaved, 0);
  EXPECT_EQ(store.state.lastRangeText, "2000 lx");
  EXPECT_EQ(store.state.runStartText, "2014/07/07,09:05:04");
  EXPECT_EQ(store.state.runStopText, "2014/07/07,09:05:08");

  // The list rows and the extremes.
  const auto& rows = recording->list().model().rows();
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0], (RecordRow{"2014/07/07,09:05:04", "500 lx", ""}));
  EXPECT_EQ(rows[3], (RecordRow{"2014/07/07,09:05:07", "2000 lx", "OVER"}));
  EXPECT_EQ(rows[4], (RecordRow{"2014/07/07,09:05:08", "600 lx", ""}));
  EXPECT_EQ(ui.text(kMaxLine, kRecordListPage), "2014/07/07,09:05:07     2000 lx");
  EXPECT_EQ(ui.text(kMinLine, kRecordListPage), "2014/07/07,09:05:06     300 lx");
  EXPECT_EQ(ui.text(kInfoDataCount, kRecordInfoPage), "5");

  // The graph: scaled by 800 and 300 (never by the over-range sample),
  // the over-range stretch drawn as two verticals.
  const GraphState& g = recording->graph().state();
  EXPECT_EQ(g.maxCount, 800);
  EXPECT_EQ(g.minCount, 300);
  EXPECT_EQ(g.axisTop, 900);
  EXPECT_EQ(g.axisBottom, 190);
  EXPECT_EQ(g.timeSpan, 10);
  std::vector<DrawOp> curve;
  for (const DrawOp& op : recording->graph().drawing().ops) {
    if (op.color == kGraphCurve) curve.push_back(op);
  }
  // y = 9 + (900 - v) x 271 / 710; x = 46 + s x 344 / 10.
  EXPECT_EQ(curve, (std::vector<DrawOp>{DrawOp::line(47, 161, 80, 47, kGraphCurve),
                                        DrawOp::line(80, 47, 114, 238, kGraphCurve),
                                        DrawOp::line(114, 238, 114, 10, kGraphCurve),
                                        DrawOp::line(183, 10, 183, 123, kGraphCurve)}));

  // Buttons after the stop; the monitor still runs.
  EXPECT_TRUE(ui.enabled(kStartButton));
  EXPECT_FALSE(ui.enabled(kStopButton));
  EXPECT_TRUE(ui.enabled(kCopyGraphButton));
  EXPECT_TRUE(session.meterConnected);
}

TEST_F(RecordingOnMeterTest, DisconnectionEndsTheRun) {
  control->onMonitorButton();
  ASSERT_TRUE(ui.pumpUntil([&] { return session.meterConnected && session.block.statusInvalid() == 0; }));
  env.settings.dataCount = 100;
  clock.setGate(kRecordTestStartMs + 600);
  recording->onStart();
  ASSERT_TRUE(ui.pumpUntil([&] { return recording->store().state.recordCount == 1; }));

  control->onMonitorButton();  // Stop Monitor
  ASSERT_TRUE(ui.pumpUntil([&] { return !session.meterConnected; }));
  EXPECT_FALSE(recording->isRecording());
  EXPECT_EQ(recording->store().state.runStopText, "2014/07/07,09:05:04");
  EXPECT_EQ(ui.text(kRunStopLabel), "2014/07/07,09:05:04");
  for (int id : {kCopyGraphButton, kSaveButton, kClearButton}) EXPECT_TRUE(ui.enabled(id)) << id;
  for (int id : {kStartButton, kStopButton, kManualButton}) EXPECT_FALSE(ui.enabled(id)) << id;
  clock.openGate();
  ui.pumpFor(std::chrono::milliseconds(50));
  EXPECT_EQ(recording->store().state.recordCount, 1);
}

}  // namespace
}  // namespace lmv::test
