// The test host itself: worker threads must be able to send and post to it
// while the test thread pumps, or every flow test built on it is worthless.
#include "fake_ui_host.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace lmv::test {
namespace {

TEST(FakeUiHost, SendWaitsUntilThePumpRanTheHandler) {
  FakeUiHost ui;
  std::atomic<int> stage{0};
  std::thread worker([&] {
    ui.send([&] { stage = 1; });
    stage = stage == 1 ? 2 : -1;
  });
  EXPECT_TRUE(ui.pumpUntil([&] { return stage == 2; }));
  worker.join();
}

TEST(FakeUiHost, TimersRepeatUntilKilledByTheirOwnTick) {
  FakeUiHost ui;
  int ticks = 0;
  ui.setTimer(2, std::chrono::milliseconds(1), [&] {
    if (++ticks == 3) ui.killTimer(2);
  });
  EXPECT_TRUE(ui.pumpUntil([&] { return !ui.timerRunning(2); }));
  EXPECT_EQ(ticks, 3);
}

TEST(FakeUiHost, ScriptedAnswersThenDefaults) {
  FakeUiHost ui;
  ui.scriptAnswers({MessageAnswer::No});
  EXPECT_EQ(ui.showMessage({"a", MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::Yes}),
            MessageAnswer::No);
  EXPECT_EQ(ui.showMessage({"b", MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::Yes}),
            MessageAnswer::Yes);
  EXPECT_EQ(ui.messages().size(), 2u);
}

}  // namespace
}  // namespace lmv::test
