// The capture logic against a scripted office, with a clock that only moves
// while the capture thread sleeps, so captures come at exact times at once.
#include <gtest/gtest.h>

#include <limits>

#include "fake_sheet_office.h"
#include "fake_ui_host.h"
#include "sheet/paste_capture.h"
#include "stepped_clock.h"

namespace lmv::test {
namespace {

class PasteCaptureTest : public ::testing::Test {
 protected:
  PasteCaptureTest() {
    texts.fill(kLanguageEnglish);
    HandOverValue v;
    v.pasteCopy.rangeText = "2000";
    v.pasteCopy.valueText = "512";
    v.pasteCopy.unitText = "lx";
    handOver.put(v);
    PasteHooks hooks;
    hooks.meterConnected = [this] { return meterConnected; };
    hooks.recordingRunning = [] { return false; };
    hooks.memoryMenuState = [this](int grey) { memoryStates.push_back(grey); };
    hooks.focusMonitorButton = [this] { ++monitorFocus; };
    paste = std::make_unique<PasteCapture>(std::make_unique<FakeSheetOffice>(office), ui, texts, handOver, clock,
                                           hooks);
    paste->initialise(PasteSettings{0, 0, 0});
  }
  ~PasteCaptureTest() override {
    clock.openGate();
    paste.reset();
  }

  void connect() {
    office->cursor = {0, 1, 1};
    ASSERT_TRUE(paste->onOpen(OpenMode::NewOrRunning, ""));
  }
  // Rows written so far, counted down the first column.
  int rows() const {
    int n = 0;
    while (!office->text({0, 1, n + 1}).empty()) ++n;
    return n;
  }
  std::string cell(int column, int row) const { return office->text({0, column, row}); }
  std::string startText() const { return ui.text(kPasteStartButton, kPasteDialog); }

  std::shared_ptr<FakeSheetOffice::State> office = std::make_shared<FakeSheetOffice::State>();
  FakeUiHost ui;
  LanguageTable texts;
  HandOverArea handOver;
  SteppedClock clock;
  bool meterConnected = true;
  std::vector<int> memoryStates;
  int monitorFocus = 0;
  std::unique_ptr<PasteCapture> paste;
};

TEST_F(PasteCaptureTest, IntervalTextsFollowTheLanguage) {
  EXPECT_EQ(captureIntervalTexts(texts), (std::vector<std::string>{"1 sec", "2 sec", "5 sec", "10 sec", "20 sec",
                                                                   "30 sec", "1 min", "2 min", "5 min", "10 min",
                                                                   "20 min", "30 min", "60 min"}));
  EXPECT_EQ(ui.comboItems(kPasteIntervalCombo, kPasteDialog).size(), kCaptureIntervals.size());
  EXPECT_FALSE(ui.enabled(kPasteStartButton, kPasteDialog));
  EXPECT_TRUE(ui.enabled(kPasteOpenButton, kPasteDialog));
}

TEST_F(PasteCaptureTest, NumberingGoesOnAcrossStopAndStart) {
  connect();
  EXPECT_TRUE(ui.enabled(kPasteStartButton, kPasteDialog));
  paste->onIntervalSelected(1);  // 2 s
  // The first capture when the clock's second changes, then every 2 s: three
  // captures before the gate.
  clock.setGate(kStartMs + 500 + 2 * 2000);
  paste->onStartStop();
  EXPECT_EQ(startText(), "Stop");
  EXPECT_FALSE(ui.enabled(kPasteByReturnKeyRadio, kPasteDialog));
  ASSERT_TRUE(ui.pumpUntil([&] { return rows() == 3; }));
  // The thread waits at the gate; a capture it times meanwhile is dropped by
  // the stop.
  clock.openGate();
  paste->onStartStop();
  EXPECT_FALSE(paste->captureRunning());
  EXPECT_FALSE(paste->captureThreadRunning());
  EXPECT_EQ(startText(), "Start");
  EXPECT_EQ(cell(3, 1), "09:05:04");
  EXPECT_EQ(cell(3, 2), "09:05:06");
  EXPECT_EQ(cell(3, 3), "09:05:08");

  EXPECT_EQ(rows(), 3);
  paste->onStartStop();
  ASSERT_TRUE(ui.pumpUntil([&] { return rows() >= 5; }));
  paste->onStartStop();
  const int n = rows();
  ui.pumpFor(std::chrono::milliseconds(20));
  EXPECT_FALSE(paste->captureThreadRunning());
  EXPECT_EQ(rows(), n);  // nothing after the stop
  for (int row = 1; row <= n; ++row) EXPECT_EQ(cell(1, row), std::to_string(row));
  EXPECT_EQ(cell(4, 4), "2000");
  EXPECT_EQ(cell(5, 4), "512");
  EXPECT_EQ(paste->counters().rowNumber, n);
  EXPECT_EQ(paste->counters().capturedSinceStart, n - 3);
  EXPECT_EQ(memoryStates, (std::vector<int>{1, 0, 1, 0}));
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(PasteCaptureTest, RecordSettingsEndTheCapture) {
  struct Case {
    const char* name;
    int32_t totalMode;
    int32_t dataCount;
    int32_t recordSeconds;
    int expectedRows;
  };
  const Case cases[] = {
      {"data count 3", 0, 3, 99, 3},
      {"data count 1", 0, 1, 99, 1},
      {"record time 10 s", 1, 0, 10, 3},  // (3 - 1) x 5 >= 10
      {"record time 11 s", 1, 0, 11, 4},
      {"record time shorter than the interval", 1, 0, 3, 2},
  };
  connect();
  paste->onUseRecordSetting(true);
  EXPECT_FALSE(ui.enabled(kPasteIntervalCombo, kPasteDialog));
  int written = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordSettings s;
    s.intervalSeconds = 5;
    s.totalMode = c.totalMode;
    s.dataCount = c.dataCount;
    s.recordHours = 0;
    s.recordMinutes = 0;
    s.recordSeconds = c.recordSeconds;
    paste->setRecordSettings(s);
    paste->onStartStop();
    ASSERT_TRUE(ui.pumpUntil([&] { return !paste->captureRunning(); }));
    EXPECT_FALSE(paste->captureThreadRunning());
    ui.pumpFor(std::chrono::milliseconds(20));  // nothing more comes
    EXPECT_EQ(rows() - written, c.expectedRows);
    EXPECT_EQ(paste->counters().capturedSinceStart, c.expectedRows);
    EXPECT_EQ(startText(), "Start");
    EXPECT_TRUE(ui.enabled(kPasteByIntervalRadio, kPasteDialog));
    if (c.expectedRows > 1) {
      // 5 s apart.
      const std::string a = cell(3, written + 1), b = cell(3, written + 2);
      EXPECT_EQ((std::stoi(b.substr(3, 2)) * 60 + std::stoi(b.substr(6))) -
                    (std::stoi(a.substr(3, 2)) * 60 + std::stoi(a.substr(6))),
                5);
    }
    written = rows();
  }
  EXPECT_TRUE(recordTotalReached(RecordSettings{0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 1));
}

TEST_F(PasteCaptureTest, MonitorStopEndsTheCaptureAndRestartsTheNumbers) {
  connect();
  paste->onStartStop();
  ASSERT_TRUE(ui.pumpUntil([&] { return rows() >= 2; }));
  meterConnected = false;
  paste->onMonitorStopped();
  EXPECT_FALSE(paste->captureRunning());
  EXPECT_FALSE(paste->captureThreadRunning());
  EXPECT_EQ(paste->counters().rowNumber, 0);

  paste->onStartStop();  // monitor stopped: refused
  EXPECT_FALSE(paste->captureRunning());
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text, texts.text(TextMonitorStoppedCapture));
  EXPECT_EQ(ui.messages()[0].icon, MessageIcon::Information);
  ui.pumpFor(std::chrono::milliseconds(20));
  EXPECT_EQ(monitorFocus, 1);

  meterConnected = true;
  office->cursor = {0, 1, 10};
  paste->onStartStop();
  ASSERT_TRUE(ui.pumpUntil([&] { return !cell(1, 10).empty(); }));
  paste->stopCapture();
  EXPECT_EQ(cell(1, 10), "1");
}

TEST_F(PasteCaptureTest, EnterKeyCapturesInReturnKeyModeOnly) {
  EXPECT_FALSE(paste->onEnterKey(false));  // not linked
  connect();
  EXPECT_FALSE(paste->onEnterKey(false));  // by interval
  paste->onByReturnKey();
  EXPECT_FALSE(ui.enabled(kPasteStartButton, kPasteDialog));
  EXPECT_TRUE(paste->onEnterKey(false));
  EXPECT_TRUE(paste->onEnterKey(true));
  ASSERT_TRUE(ui.pumpUntil([&] { return rows() == 2; }));
  EXPECT_EQ(cell(1, 2), "2");
  EXPECT_EQ(cell(2, 1), "2014/07/07");

  meterConnected = false;
  EXPECT_TRUE(paste->onEnterKey(false));
  EXPECT_EQ(monitorFocus, 1);
  ui.pumpFor(std::chrono::milliseconds(20));
  EXPECT_EQ(rows(), 2);
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text, texts.text(TextMonitorStoppedReturnKey));
  EXPECT_EQ(ui.messages()[0].ownerDialog, kMainDialog);
}

TEST_F(PasteCaptureTest, RefusedWriteOrClosedSheetEndTheCapture) {
  connect();
  office->cursor = {0, office->bounds.lastColumn, 1};  // no room for seven cells
  paste->onStartStop();
  ASSERT_TRUE(ui.pumpUntil([&] { return !paste->captureRunning(); }));
  EXPECT_FALSE(paste->captureThreadRunning());
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text, texts.text(TextCellWriteError));

  office->cursor = {0, 1, 1};
  paste->onStartStop();
  ASSERT_TRUE(ui.pumpUntil([&] { return rows() >= 1; }));
  office->present = false;
  paste->link().watch();
  EXPECT_FALSE(paste->captureRunning());
  EXPECT_FALSE(paste->captureThreadRunning());
  EXPECT_FALSE(paste->sheetConnected());
  EXPECT_EQ(paste->counters().capturedSinceStart, 0);
  EXPECT_EQ(ui.messages().back().text, texts.text(TextExcelClosed));
  EXPECT_TRUE(ui.enabled(kPasteOpenButton, kPasteDialog));
  EXPECT_EQ(ui.focus(), (FakeUiHost::Key{kPasteDialog, kPasteOpenButton}));
  EXPECT_FALSE(ui.enabled(kPasteStartButton, kPasteDialog));
  EXPECT_EQ(startText(), "Start");
  EXPECT_FALSE(paste->onEnterKey(true));
}

}  // namespace
}  // namespace lmv::test
