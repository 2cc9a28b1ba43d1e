// Connecting, monitoring and stopping against the simulated meter, as the
// main window does it: every message, timer and posted panel update runs on
// the test thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "link/port_numbering.h"
#include "link_fixture.h"
#include "monitor/value_codes.h"
#include "record/record_controls.h"

namespace lmv::test {
namespace {

using Strings = std::vector<std::string>;
const Strings kLuxLabels{"Auto", "20", "200", "2000", "20000", "200000"};
const Strings kFcLabels{"Auto", "2", "20", "200", "2000", "20000"};

bool contains(const Strings& list, const std::string& s) { return std::find(list.begin(), list.end(), s) != list.end(); }

TEST_F(LinkTest, MonitorButtonIdentifiesConnectsAndShowsTheMeter) {
  sim::MeterConfig config;
  config.range = 3;
  config.source = sim::IlluminanceSource::constant(1234);
  startMeter(config);
  currentPort = meter->portNumber();
  makeControl(false);
  EXPECT_EQ(ui.text(kMonitorButton), "Monitor");
  EXPECT_FALSE(ui.enabled(kZeroAdjustButton));

  control->onMonitorButton();
  EXPECT_FALSE(ui.enabled(kMonitorButton)) << "a second press cannot come before the step has run";
  ASSERT_TRUE(ui.pumpUntil([&] { return session.meterConnected && !ui.text(kValueText).empty(); }));

  EXPECT_EQ(ui.dialogOpenCount(kUsbCheckDialog), 1);
  EXPECT_FALSE(ui.dialogOpen(kUsbCheckDialog));
  EXPECT_EQ(ui.text(kUsbCheckText, kUsbCheckDialog), "Checking USB connection ....");
  const Strings log = simulator().commandLog();
  ASSERT_GE(log.size(), 8u);
  EXPECT_EQ(Strings(log.begin(), log.begin() + 8),
            (Strings{"QPID", "QPID", "*IDN?", ":SYST:INIT", ":SYST:LLO", ":STAT?", ":MEASCNTDISP?", ":SYST:RANGE?"}));

  EXPECT_EQ(ui.text(kMonitorButton), "Stop Monitor");
  EXPECT_TRUE(ui.enabled(kMonitorButton));
  EXPECT_EQ(ui.text(kModelStatus), "LX5810");
  EXPECT_EQ(ui.text(kSerialNumberStatus), "10000123");
  EXPECT_EQ(ui.text(kVersionStatus), "1.00");
  EXPECT_EQ(ui.text(kPortStatus), portDisplayName(meter->portNumber()));
  for (int control : {kZeroAdjustButton, kStartButton, kManualButton}) EXPECT_TRUE(ui.enabled(control)) << control;
  EXPECT_TRUE(ui.pumpUntil([&] { return ui.menuEnabled(kReadMemoryMenuCommand); }));

  ASSERT_TRUE(passes(1));
  EXPECT_EQ(ui.text(kValueText), "1234");
  EXPECT_EQ(ui.text(kUnitText), "lx");
  EXPECT_EQ(ui.text(kRangeLabelText), "2000");
  EXPECT_EQ(ui.comboItems(kModeCombo), Strings{"LUX"});
  EXPECT_EQ(ui.comboItems(kRangeCombo), kLuxLabels);
  EXPECT_EQ(ui.comboSelection(kRangeCombo), 3);
  const HandOverValue v = lastHanded();
  EXPECT_EQ(v.valueCode, 1234);
  EXPECT_EQ(v.rangeIndex, 3);
  EXPECT_EQ(v.unitCode, 0);
  EXPECT_EQ(v.recordCopy.rangeText, "2000");
  EXPECT_EQ(v.pasteCopy.functionText, "LUX");
  EXPECT_EQ(session.block.statusInvalid(), 0);
  EXPECT_TRUE(ui.messages().empty());
}

struct ShownCase {
  const char* name;
  double lux;
  int range;
  bool footCandle;
  bool sensor;
  const char* value;
  const char* unit;
  const char* label;
  int32_t valueCode;
  int32_t rangeIndex;
  int comboSelection;
  int32_t overMark;
};

class ShownValue : public LinkTest, public ::testing::WithParamInterface<ShownCase> {};

TEST_P(ShownValue, AsTheMeterReportsIt) {
  const ShownCase& c = GetParam();
  sim::MeterConfig config;
  config.source = sim::IlluminanceSource::constant(c.lux);
  config.range = c.range;
  config.footCandle = c.footCandle;
  config.sensorConnected = c.sensor;
  startMeter(config);
  currentPort = meter->portNumber();
  makeControl(false);
  ASSERT_TRUE(connect());
  ASSERT_TRUE(passes(1));
  EXPECT_EQ(ui.text(kValueText), c.value);
  EXPECT_EQ(ui.text(kUnitText), c.unit);
  EXPECT_EQ(ui.text(kRangeLabelText), c.label);
  EXPECT_EQ(ui.comboItems(kRangeCombo), c.footCandle ? kFcLabels : kLuxLabels);
  EXPECT_EQ(ui.comboSelection(kRangeCombo), c.comboSelection);
  const HandOverValue v = lastHanded();
  EXPECT_EQ(v.valueCode, c.valueCode);
  EXPECT_EQ(v.rangeIndex, c.rangeIndex);
  EXPECT_EQ(v.unitCode, c.footCandle ? 1 : 0);
  EXPECT_EQ(v.recordCopy.overMark, c.overMark);
  EXPECT_EQ(session.block.overFlag(), c.overMark);
  EXPECT_EQ(session.block.autoRange(), c.range == 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Simulator, ShownValue,
    ::testing::Values(ShownCase{"Lux", 1234, 3, false, true, "1234", "lx", "2000", 1234, 3, 3, 0},
                      ShownCase{"FootCandle", 1234, 3, true, true, "114.7", "FC", "200", 1147, 3, 3, 0},
                      ShownCase{"AutoRange", 150, 0, false, true, "150.0", "lx", "200", 1500, 2, 0, 0},
                      ShownCase{"NoSensor", 1234, 3, false, false, "n.c.  ", "lx", "2000", CodeNotConnected, 3, 3, 0},
                      ShownCase{"Over", 500, 1, false, true, "20.00", "lx", "20", CodeOver, 1, 1, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkTest, ValueOfAnotherRangeShowsDashes) {
  sim::MeterConfig config;
  config.range = 3;
  config.source = sim::IlluminanceSource::constant(1234);
  startMeter(config);
  currentPort = meter->portNumber();
  makeControl(false);
  ASSERT_TRUE(connect());
  // The range moves between the value and the range query of one pass.
  std::atomic<bool> armed{true};
  simulator().setCommandObserver([&](const std::string& command, bool) {
    if (command == ":MEASCNTDISP?" && armed.exchange(false)) simulator().withMeter([](auto& m) { m.config().range = 2; });
  });
  auto mismatchHanded = [&] {
    std::lock_guard lock(handedMutex);
    return std::any_of(handed.begin(), handed.end(),
                       [](const HandOverValue& v) { return v.valueCode == CodeNoValue && v.rangeIndex == 2; });
  };
  ASSERT_TRUE(ui.pumpUntil(mismatchHanded));
  ui.pumpOnce();  // the panel updates of that pass
  // "----" with the decimal point of range index 2.
  EXPECT_TRUE(contains(ui.textHistory(kValueText), "---.-"));
  simulator().setCommandObserver({});
  EXPECT_TRUE(ui.messages().empty());
}

struct FailureCase {
  const char* name;
  std::vector<sim::Fault> faults;
  std::vector<int32_t> errorCounts;  // consecutiveErrors after the first passes
  Strings messages;
};

class PassFailures : public LinkTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(PassFailures, AreCountedAndReportedOncePerFour) {
  const FailureCase& c = GetParam();
  sim::MeterConfig config;
  config.range = 3;
  config.source = sim::IlluminanceSource::constant(1234);
  startMeter(config);
  for (const auto& f : c.faults) simulator().addFault(f);
  currentPort = meter->portNumber();
  makeControl(false);
  ASSERT_TRUE(connect());
  ASSERT_TRUE(ui.pumpUntil([&] { return handedCount() >= c.errorCounts.size() + 1; }));
  ui.pumpOnce();
  const auto counts = errorCounts();
  EXPECT_EQ(std::vector<int32_t>(counts.begin(), counts.begin() + static_cast<long>(c.errorCounts.size())),
            c.errorCounts);
  EXPECT_EQ(messageTexts(), c.messages);
  for (const auto& m : ui.messages()) EXPECT_EQ(m.icon, MessageIcon::Error);
  EXPECT_TRUE(session.meterConnected) << "monitoring goes on";
  EXPECT_EQ(ui.text(kValueText), "1234");
}

sim::Fault fault(sim::FaultKind kind, const char* command, int count) {
  sim::Fault f;
  f.kind = kind;
  f.command = command;
  f.count = count;
  return f;
}

INSTANTIATE_TEST_SUITE_P(
    Simulator, PassFailures,
    ::testing::Values(
        FailureCase{"ThreeOverflowsThenAGoodPass",
                    {fault(sim::FaultKind::Overlong, ":STAT?", 3)},
                    {1, 2, 3, 0},
                    {}},
        FailureCase{"FourOverflowsOneMessage",
                    {fault(sim::FaultKind::Overlong, ":STAT?", 4)},
                    {1, 2, 3, 0, 0},
                    {"Communication Error. Buffer over."}},
        FailureCase{"CommandErrorIsNotCounted",
                    {fault(sim::FaultKind::Overlong, ":STAT?", 2), fault(sim::FaultKind::CommandError, ":MEASCNTDISP?", 1)},
                    {1, 2, 2, 0},
                    {}},
        FailureCase{"LineNoiseIsNotCounted", {fault(sim::FaultKind::Garbage, ":SYST:RANGE?", 2)}, {0, 0, 0}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkTest, CommandErrorShowsErrorThenDashes) {
  sim::MeterConfig config;
  config.range = 1;
  startMeter(config);
  simulator().addFault(fault(sim::FaultKind::CommandError, ":MEASCNTDISP?", 1));
  currentPort = meter->portNumber();
  makeControl(false);
  ASSERT_TRUE(connect());
  ASSERT_TRUE(passes(1));
  const Strings values = ui.textHistory(kValueText);
  ASSERT_GE(values.size(), 3u);
  // After the panel reset: "Error", then "----" with range 1's decimal point.
  EXPECT_EQ(values[1], "Error");
  EXPECT_EQ(values[2], "--.--");
  std::lock_guard lock(handedMutex);
  EXPECT_EQ(handed.front().valueCode, CodeNoValue);
}

TEST_F(LinkTest, VanishingMeterStopsTheMonitorWithOneMessage) {
  startMeter();
  currentPort = meter->portNumber();
  makeControl(false);
  ASSERT_TRUE(connect());
  simulator().hangUp();
  ASSERT_TRUE(ui.pumpUntil([&] { return !session.meterConnected && ui.enabled(kMonitorButton); }));
  ui.pumpFor(std::chrono::milliseconds(300));
  EXPECT_EQ(messageTexts(), Strings{"Communication Error. Can not send command!\n\nThe monitor is stopped."});
  EXPECT_EQ(recordingThreadStops, 1);
  EXPECT_EQ(disconnects, 1);
  EXPECT_EQ(ui.text(kMonitorButton), "Monitor");
  EXPECT_EQ(ui.text(kValueText), "");
  EXPECT_TRUE(ui.comboItems(kRangeCombo).empty());
  EXPECT_FALSE(ui.enabled(kZeroAdjustButton));
  EXPECT_FALSE(ui.menuEnabled(kReadMemoryMenuCommand));
  EXPECT_EQ(session.block.statusInvalid(), 1);
  EXPECT_FALSE(session.port.isOpen());
  EXPECT_FALSE(control->pollRunning());
}

TEST_F(LinkTest, WithAutomaticConnectionAVanishedMeterIsLookedForAgain) {
  startMeter();
  makeControl(true);
  EXPECT_FALSE(ui.visible(kMonitorButton));
  ASSERT_TRUE(ui.pumpUntil([&] { return session.meterConnected && !ui.text(kValueText).empty(); }));
  EXPECT_EQ(ui.dialogOpenCount(kUsbCheckDialog), 0);
  EXPECT_EQ(currentPort, meter->portNumber());
  simulator().hangUp();
  ASSERT_TRUE(ui.pumpUntil([&] { return !session.meterConnected && control->pollRunning(); }));
  EXPECT_TRUE(ui.messages().empty());
  EXPECT_FALSE(ui.visible(kMonitorButton));
}

class Firmware : public LinkTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(Firmware, OlderThanZeroPointTwentyFourIsRefused) {
  const std::string version = GetParam();
  sim::MeterConfig config;
  config.firmwareVersion = version;
  startMeter(config);
  currentPort = meter->portNumber();
  makeControl(false);
  control->onMonitorButton();
  ASSERT_TRUE(ui.pumpUntil([&] { return ui.enabled(kMonitorButton); }));
  const bool refused = version == "0.23";
  EXPECT_EQ(session.meterConnected, refused ? 0 : 1);
  EXPECT_EQ(count(":SYST:INIT"), refused ? 0u : 1u);
  if (refused) {
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text,
              "Version of the LX5810/LX5811 firmware is not compatible.\n\nThis program is valid for more than or "
              "equal to Ver 0.24.\nPlease execute application after the upgrade.");
    EXPECT_EQ(ui.messages()[0].icon, MessageIcon::Information);
    EXPECT_EQ(ui.text(kMonitorButton), "Monitor");
  } else {
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(ui.text(kMonitorButton), "Stop Monitor");
    EXPECT_EQ(ui.text(kVersionStatus), version);
  }
}

INSTANTIATE_TEST_SUITE_P(Simulator, Firmware, ::testing::Values("0.23", "0.24", "1.00"));

TEST_F(LinkTest, NoMeterFoundIsReportedByTheUsbCheck) {
  makeControl(false);
  control->onMonitorButton();
  ASSERT_TRUE(ui.pumpUntil([&] { return ui.enabled(kMonitorButton); }));
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text,
            "Communication Error.\n\nCheck USB cable connection, \nor power supply of LX5810/LX5811.  ");
  EXPECT_EQ(ui.messages()[0].icon, MessageIcon::Information);
  EXPECT_EQ(ui.messages()[0].ownerDialog, kUsbCheckDialog);
  EXPECT_FALSE(ui.dialogOpen(kUsbCheckDialog));
  EXPECT_EQ(session.meterConnected, 0);
  EXPECT_EQ(ui.text(kMonitorButton), "Monitor");
}

TEST_F(LinkTest, StopMonitorLetsThePassFinishThenSendsGoToLocal) {
  startMeter();
  currentPort = meter->portNumber();
  makeControl(false);
  ASSERT_TRUE(connect());
  control->onMonitorButton();
  EXPECT_FALSE(ui.enabled(kMonitorButton));
  ASSERT_TRUE(ui.pumpUntil([&] { return !session.meterConnected; }));
  EXPECT_EQ(simulator().commandLog().back(), ":SYST:GTL");
  EXPECT_FALSE(simulator().withMeter([](auto& m) { return m.localLockout(); }));
  EXPECT_TRUE(ui.enabled(kMonitorButton));
  EXPECT_EQ(ui.text(kMonitorButton), "Monitor");
  EXPECT_EQ(ui.text(kValueText), "");
  EXPECT_EQ(ui.text(kModelStatus), "");
  EXPECT_EQ(ui.text(kLuxCaption), "LUX：");
  EXPECT_FALSE(session.port.isOpen());
  EXPECT_EQ(session.block.snapshot().shownRangeIndex, -1);
  EXPECT_FALSE(control->measurementRunning());
  EXPECT_TRUE(ui.messages().empty());

  // And connects again.
  ASSERT_TRUE(connect());
  EXPECT_EQ(ui.comboItems(kRangeCombo), kLuxLabels) << "combos are filled again after a reconnect";
}

TEST_F(LinkTest, RangeChoiceIsSentOnceAndStopsARecording) {
  sim::MeterConfig config;
  config.range = 3;
  config.source = sim::IlluminanceSource::constant(123);
  startMeter(config);
  currentPort = meter->portNumber();
  makeControl(false);
  ASSERT_TRUE(connect());
  recording = true;
  ui.setComboSelection(kMainDialog, kRangeCombo, 2);  // the user's pick
  control->onRangeSelected(2);
  EXPECT_EQ(recordingStops, 1);
  control->onRangeSelected(2);
  EXPECT_EQ(recordingStops, 1) << "the same selection again is no change";
  ASSERT_TRUE(ui.pumpUntil([&] { return ui.text(kRangeLabelText) == "200" && ui.text(kValueText) == "123.0"; }));
  EXPECT_EQ(count(":SYST:RANGE 200"), 1u);
  EXPECT_EQ(ui.comboSelection(kRangeCombo), 2);
  control->onModeSelected(0);
  EXPECT_EQ(session.block.snapshot().functionChangeRequest, 0) << "the mode list holds LUX only";
}

TEST_F(LinkTest, PassWithoutStatusStopsARunningRecording) {
  startMeter();
  simulator().addFault(fault(sim::FaultKind::Overlong, ":STAT?", 1));
  currentPort = meter->portNumber();
  recording = true;
  makeControl(false);
  ASSERT_TRUE(connect());
  ASSERT_TRUE(passes(3));
  EXPECT_TRUE(ui.pumpUntil([&] { return recordingStops == 1; }));
  ui.pumpFor(std::chrono::milliseconds(50));
  EXPECT_EQ(recordingStops, 1) << "good passes do not stop it";
}

TEST_F(LinkTest, ExitWhileMonitoringEndsAfterGoToLocal) {
  startMeter();
  currentPort = meter->portNumber();
  makeControl(false);
  ASSERT_TRUE(connect());
  bool ended = false;
  control->exit([&] { ended = true; });
  ASSERT_TRUE(ui.pumpUntil([&] { return ended; }));
  EXPECT_EQ(simulator().commandLog().back(), ":SYST:GTL");
  EXPECT_EQ(session.meterConnected, 0);
  EXPECT_FALSE(session.port.isOpen());
  EXPECT_FALSE(control->measurementRunning());
}

TEST_F(LinkTest, DeviceChangeRebuildsTheListAndAutomaticConnectionFindsTheNewMeter) {
  makeControl(true);
  ASSERT_TRUE(ui.pumpUntil([&] { return control->pollRunning(); }));
  ui.pumpFor(std::chrono::milliseconds(250));  // passes over the empty list
  EXPECT_EQ(session.meterConnected, 0);
  meter = std::make_unique<SimulatedMeter>();  // plugged in: not listed until the device change
  control->onDeviceChange();
  EXPECT_TRUE(portList().findByNumber(meter->portNumber()));
  ASSERT_TRUE(ui.pumpUntil([&] { return session.meterConnected && !ui.text(kValueText).empty(); }));
  EXPECT_EQ(currentPort, meter->portNumber());
}

TEST_F(LinkTest, SettingsWithAnotherPortStopTheMonitorAndSwitchConnectionMode) {
  startMeter();
  currentPort = meter->portNumber();
  makeControl(false);
  ASSERT_TRUE(connect());
  const int32_t other = meter->portNumber() + 1;
  control->applySettings(other, false, 0);
  EXPECT_EQ(currentPort, other);
  EXPECT_EQ(currentBaud, 9600);
  EXPECT_EQ(recordingThreadStops, 1);
  ASSERT_TRUE(ui.pumpUntil([&] { return !session.meterConnected && ui.enabled(kMonitorButton); }));
  EXPECT_EQ(simulator().commandLog().back(), ":SYST:GTL");
  EXPECT_TRUE(ui.messages().empty());

  control->applySettings(meter->portNumber(), true, 1);
  EXPECT_FALSE(ui.visible(kMonitorButton));
  EXPECT_EQ(currentBaud, 19200);
  ASSERT_TRUE(ui.pumpUntil([&] { return session.meterConnected && !ui.text(kValueText).empty(); }));
  control->applySettings(meter->portNumber(), false, 1);
  EXPECT_TRUE(ui.visible(kMonitorButton));
  EXPECT_TRUE(session.meterConnected) << "the same port keeps the monitor running";
}

TEST_F(LinkTest, DestroyingTheFlowWhileAPassWaitsForTheUserInterfaceDoesNotHang) {
  startMeter();
  simulator().addFault(fault(sim::FaultKind::Overlong, ":STAT?", -1));
  currentPort = meter->portNumber();
  makeControl(false);
  ASSERT_TRUE(connect());
  ASSERT_TRUE(ui.pumpUntil([&] { return handedCount() >= 3; }));
  // The fourth overflow resets the count and waits for its message box,
  // which is never pumped.
  for (int i = 0; i < 1000 && session.consecutiveErrors != 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_EQ(session.consecutiveErrors, 0);
  control.reset();
  EXPECT_TRUE(ui.messages().empty());
}

}  // namespace
}  // namespace lmv::test
