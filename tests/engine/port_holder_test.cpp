// The port has one holder at a time: a dialog that asks for the port while
// the monitor is letting go of it (Stop Monitor, a port change in the
// settings, a communication error) never gets it, and the monitor the user
// stopped does not come back.
#include <gtest/gtest.h>

#include <algorithm>

#include "link_fixture.h"
#include "record/record_controls.h"

namespace lmv::test {
namespace {

enum class Trigger { StopMonitor, PortChange, CommError };
enum class Request { ZeroAdjust, ReadMemory };

struct HolderCase {
  const char* name;
  Trigger trigger;
  Request request;
};

void PrintTo(const HolderCase& c, std::ostream* os) { *os << c.name; }

class ConnectedMonitor : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    sim::MeterConfig config;
    config.range = 3;
    config.source = sim::IlluminanceSource::constant(1234);
    startMeter(config);
    currentPort = meter->portNumber();
    makeControl(false);
    ASSERT_TRUE(connect());
  }
};

class PortHolder : public ConnectedMonitor, public ::testing::WithParamInterface<HolderCase> {
 protected:
  void request(Request r) {
    if (r == Request::ZeroAdjust) {
      control->onZeroAdjustButton();
    } else {
      control->onReadMemoryCommand();
    }
  }

  // The pass in progress waits for a reply that never comes; the failure it
  // ends with is the fourth in a row, so WM_COMM_ERROR follows at once.
  void armFourthFailure() {
    simulator().clearCommandLog();
    simulator().addFault(sim::Fault{sim::FaultKind::NoReply, ":STAT?", -1, 1});
    ASSERT_TRUE(ui.pumpUntil([&] { return count(":STAT?") >= 1; }));
    session.consecutiveErrors = 3;
  }
};

TEST_P(PortHolder, ADialogNeverGetsThePortOfAStoppingMonitor) {
  const HolderCase& c = GetParam();
  switch (c.trigger) {
    case Trigger::StopMonitor:
      control->onMonitorButton();
      break;
    case Trigger::PortChange:
      control->applySettings(meter->portNumber() + 1, false, 1);
      break;
    case Trigger::CommError:
      armFourthFailure();
      break;
  }
  if (c.trigger != Trigger::CommError) {
    EXPECT_FALSE(ui.enabled(kZeroAdjustButton)) << "nothing may ask for the port while the monitor lets go of it";
    EXPECT_FALSE(ui.menuEnabled(kReadMemoryMenuCommand));
  }
  request(c.request);  // the click lands before the stop has run

  ASSERT_TRUE(ui.pumpUntil([&] { return !session.meterConnected && ui.enabled(kMonitorButton); },
                           std::chrono::minutes(2)));
  const size_t logged = simulator().commandLog().size();
  ui.pumpFor(std::chrono::milliseconds(600));

  EXPECT_EQ(ui.dialogOpenCount(kZeroAdjustDialog), 0);
  EXPECT_EQ(memoryDownloads, 0);
  EXPECT_EQ(count(":0ADJUST"), 0u);
  EXPECT_FALSE(control->measurementRunning()) << "the stopped monitor came back";
  EXPECT_FALSE(control->portHandedOff());
  EXPECT_EQ(ui.text(kMonitorButton), "Monitor");
  EXPECT_EQ(simulator().commandLog().size(), logged) << "someone still talks to the meter";
  EXPECT_FALSE(session.port.isOpen());
  if (c.trigger == Trigger::CommError) {
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"Communication Error. No response!\n\nThe monitor is stopped."});
  } else {
    EXPECT_EQ(count(":SYST:GTL"), 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Races, PortHolder,
    ::testing::Values(HolderCase{"StopThenZeroAdjust", Trigger::StopMonitor, Request::ZeroAdjust},
                      HolderCase{"StopThenReadMemory", Trigger::StopMonitor, Request::ReadMemory},
                      HolderCase{"PortChangeThenZeroAdjust", Trigger::PortChange, Request::ZeroAdjust},
                      HolderCase{"PortChangeThenReadMemory", Trigger::PortChange, Request::ReadMemory},
                      HolderCase{"ZeroAdjustBeforeCommError", Trigger::CommError, Request::ZeroAdjust},
                      HolderCase{"ReadMemoryBeforeCommError", Trigger::CommError, Request::ReadMemory}),
    [](const auto& info) { return std::string(info.param.name); });

// The other way round: the dialog asked first, then the user stops the
// monitor before the hand-off has run. The stop wins and the dialog is not
// shown.
TEST_F(ConnectedMonitor, StopAfterAHandOffRequestCancelsTheHandOff) {
  control->onZeroAdjustButton();
  control->onMonitorButton();
  ASSERT_TRUE(ui.pumpUntil([&] { return !session.meterConnected && ui.enabled(kMonitorButton); }));
  ui.pumpFor(std::chrono::milliseconds(300));
  EXPECT_EQ(ui.dialogOpenCount(kZeroAdjustDialog), 0);
  EXPECT_FALSE(ui.timerRunning(TIMER_ZERO_ADJUST));
  EXPECT_FALSE(control->measurementRunning());
}

// While a dialog holds the port, a Stop Monitor that reaches the logic (the
// dialog is modal, so only a program can press it) does not take the port.
TEST_F(ConnectedMonitor, NothingTakesThePortFromTheDialogHoldingIt) {
  simulator().withMeter([](sim::MeterModel& m) { m.config().capOn = false; });
  control->onZeroAdjustButton();
  ASSERT_TRUE(ui.pumpUntil([&] { return control->zeroAdjustDialog().waitingForUser(); }));
  ASSERT_TRUE(control->portHandedOff());
  control->onMonitorButton();
  ui.pumpFor(std::chrono::milliseconds(300));
  EXPECT_EQ(count(":SYST:GTL"), 0u);
  EXPECT_TRUE(session.port.isOpen());
  control->zeroAdjustDialog().onCancel();
  ASSERT_TRUE(ui.pumpUntil([&] { return control->measurementRunning() && passes(1); }));
  EXPECT_TRUE(session.meterConnected);
}

}  // namespace
}  // namespace lmv::test
