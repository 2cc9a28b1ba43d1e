// The zero adjustment, handed the port by the running monitor.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "link_fixture.h"

namespace lmv::test {
namespace {

constexpr const char* kCapMessage =
    "Zero-adjustment cannot be performed\nsince the sensor cap in not covered.\n\nAffix the sensor cap and try again.";

class ZeroAdjust : public LinkTest {
 protected:
  void start(bool capOn, std::chrono::milliseconds adjustTime = std::chrono::milliseconds(50)) {
    sim::MeterConfig config;
    config.capOn = capOn;
    config.zeroAdjustTime = adjustTime;
    config.range = 3;
    config.source = sim::IlluminanceSource::constant(1234);
    startMeter(config);
    currentPort = meter->portNumber();
    makeControl(false);
    ASSERT_TRUE(connect());
  }

  bool buttonsShown() {
    return ui.visible(kZeroAdjustTryAgain, kZeroAdjustDialog) && ui.enabled(kZeroAdjustTryAgain, kZeroAdjustDialog) &&
           ui.visible(kZeroAdjustCancel, kZeroAdjustDialog) && ui.enabled(kZeroAdjustCancel, kZeroAdjustDialog) &&
           !ui.visible(kZeroAdjustProgress, kZeroAdjustDialog);
  }

  // The monitor is back once a pass shows a value again after the hand-off.
  bool monitoringAgain() {
    return ui.pumpUntil([&] { return ui.text(kValueText) == "1234"; });
  }
};

TEST_F(ZeroAdjust, MeterAnswersOkAndMonitoringResumes) {
  start(true, std::chrono::milliseconds(400));
  control->onZeroAdjustButton();
  ASSERT_TRUE(ui.pumpUntil([&] { return ui.dialogOpen(kZeroAdjustDialog); }));
  EXPECT_EQ(ui.text(kValueText), "") << "the value is emptied while the dialog has the port";
  EXPECT_EQ(ui.windowTitle(kZeroAdjustDialog), "Zero-Adjustment");
  EXPECT_EQ(ui.text(kZeroAdjustMessage, kZeroAdjustDialog), "\nPerfoming zero-adjustment.");
  EXPECT_EQ(ui.text(kZeroAdjustTryAgain, kZeroAdjustDialog), "Try Again");
  EXPECT_EQ(ui.text(kZeroAdjustCancel, kZeroAdjustDialog), "Cancel");
  EXPECT_FALSE(ui.visible(kZeroAdjustTryAgain, kZeroAdjustDialog));
  EXPECT_FALSE(ui.visible(kZeroAdjustCancel, kZeroAdjustDialog));
  EXPECT_TRUE(ui.visible(kZeroAdjustProgress, kZeroAdjustDialog));
  EXPECT_FALSE(control->measurementRunning());

  ASSERT_TRUE(ui.pumpUntil([&] { return !ui.dialogOpen(kZeroAdjustDialog); }));
  EXPECT_EQ(control->lastZeroAdjustOutcome(), ZeroAdjustOutcome::Done);
  EXPECT_EQ(zeroAdjustCloses, 1);
  EXPECT_FALSE(ui.timerRunning(kZeroAdjustTimerId));
  EXPECT_TRUE(monitoringAgain());
  EXPECT_EQ(count(":0ADJUST"), 1u);
  EXPECT_EQ(count(":SYST:GTL"), 0u) << "the port stays with the program";
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(ZeroAdjust, CapOffOffersTryAgainUntilTheCapIsFitted) {
  start(false);
  control->onZeroAdjustButton();
  ASSERT_TRUE(ui.pumpUntil([&] { return ui.text(kZeroAdjustMessage, kZeroAdjustDialog) == kCapMessage; }));
  EXPECT_TRUE(buttonsShown());
  EXPECT_FALSE(ui.timerRunning(kZeroAdjustTimerId));
  EXPECT_TRUE(ui.dialogOpen(kZeroAdjustDialog));

  control->zeroAdjustDialog().onTryAgain();
  EXPECT_FALSE(buttonsShown());
  ASSERT_TRUE(ui.pumpUntil([&] { return count(":0ADJUST") == 2 && buttonsShown(); }));
  EXPECT_EQ(ui.text(kZeroAdjustMessage, kZeroAdjustDialog), kCapMessage);

  simulator().withMeter([](auto& m) { m.config().capOn = true; });
  control->zeroAdjustDialog().onTryAgain();
  ASSERT_TRUE(ui.pumpUntil([&] { return !ui.dialogOpen(kZeroAdjustDialog); }));
  EXPECT_EQ(control->lastZeroAdjustOutcome(), ZeroAdjustOutcome::Done);
  EXPECT_EQ(count(":0ADJUST"), 3u);
  EXPECT_TRUE(monitoringAgain());
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(ZeroAdjust, CancelAfterCapMessageResumesMonitoring) {
  start(false);
  control->onZeroAdjustButton();
  ASSERT_TRUE(ui.pumpUntil([&] { return buttonsShown() && ui.dialogOpen(kZeroAdjustDialog); }));
  control->zeroAdjustDialog().onCancel();
  EXPECT_FALSE(ui.dialogOpen(kZeroAdjustDialog));
  EXPECT_EQ(control->lastZeroAdjustOutcome(), ZeroAdjustOutcome::Cancelled);
  EXPECT_TRUE(monitoringAgain());
}

TEST_F(ZeroAdjust, NoAnswerWithinFifteenSecondsFails) {
  start(true);
  sim::Fault silent;
  silent.kind = sim::FaultKind::NoReply;
  silent.command = ":0ADJUST";
  simulator().addFault(silent);
  control->onZeroAdjustButton();
  ASSERT_TRUE(ui.pumpUntil([&] { return count(":0ADJUST") == 1; }));
  // Fifteen whole seconds are still within the limit.
  clock += 15;
  ui.pumpFor(std::chrono::milliseconds(450));
  EXPECT_TRUE(ui.dialogOpen(kZeroAdjustDialog));
  EXPECT_TRUE(ui.messages().empty());

  clock += 1;
  ASSERT_TRUE(ui.pumpUntil([&] { return !ui.dialogOpen(kZeroAdjustDialog); }));
  EXPECT_EQ(control->lastZeroAdjustOutcome(), ZeroAdjustOutcome::Failed);
  ASSERT_GE(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text,
            "Communication Error.\n\nCheck USB cable connection, \nor power supply of LX5810/LX5811.  ");
  EXPECT_EQ(ui.messages()[0].icon, MessageIcon::Error);
  EXPECT_EQ(ui.messages()[0].ownerDialog, kZeroAdjustDialog);

  // The port was closed: the restarted monitor cannot reach the meter and
  // stops after its fourth failed pass.
  ASSERT_TRUE(ui.pumpUntil([&] { return !session.meterConnected && ui.enabled(kMonitorButton); }));
  ASSERT_EQ(ui.messages().size(), 2u);
  EXPECT_EQ(ui.messages()[1].text, "Communication Error. Can not send command!\n\nThe monitor is stopped.");
}

// The 15-second limit is measured on the monotonic clock: a wall clock set
// back while the buttons are hidden must not keep it from ever passing.
TEST(ZeroAdjustClock, IsMonotonic) {
  const auto steady = [] {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
  };
  const int64_t before = steady();
  const int64_t reading = ZeroAdjustment::monotonicSeconds();
  EXPECT_GE(reading, before);
  EXPECT_LE(reading, steady());
  EXPECT_GT(std::abs(reading - static_cast<int64_t>(std::time(nullptr))), 3600) << "the calendar is no measure here";
}

}  // namespace
}  // namespace lmv::test
