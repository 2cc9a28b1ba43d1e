// The paste-record-data dialog on real widgets: opened from the Option menu,
// linked to a real headless office through its question, capturing the
// simulated meter's readings into the sheet at the cell cursor.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QMenuBar>
#include <QTest>
#include <cstdlib>

#include "base/paths.h"
#include "base/settings.h"
#include "gui_fixture.h"
#include "headless_office.h"
#include "main_window_widget.h"
#include "office_probe.h"
#include "qt_ui_host.h"
#include "sheet/excel_open_window.h"
#include "sheet/paste_window.h"
#include "ui/main_window_controls.h"
#include "ui/monitor_controls.h"

namespace lmv::test {
namespace {

// The dialog without a spreadsheet: opening, closing, languages, following.
class PasteWindowTest : public GuiTest {
 protected:
  QAbstractButton* button(int id, int dialog = kPasteDialog) {
    return qobject_cast<QAbstractButton*>(control(dialog, id));
  }
  void openPasteDialog() {
    app->host().action(kMenuPasteToExcel)->trigger();
    ASSERT_TRUE(waitFor([&] { return app->pasteWindow() && app->pasteWindow()->isVisible(); }));
  }
  const PasteCapture& capture() { return app->pasteDialog().capture(); }
  // Exit through the File menu, answered Yes: the paste dialog may be the
  // active window.
  bool exitFromMenu() {
    boxes.script({QMessageBox::Yes});
    app->host().action(kMenuExit)->trigger();
    return waitFor([&] { return finished; });
  }
};

TEST_F(PasteWindowTest, MadeOnceClosedByEscAndShownAgainInTheNewLanguage) {
  writeSettings(false, 1000, 1, [](AppSettings& s) {
    s.pasteMode = 0;
    s.pasteUseRecordSetting = 1;
    s.pasteIntervalIndex = 3;
  });
  startApp();
  EXPECT_EQ(app->pasteWindow(), nullptr) << "made by the first use of the menu";
  openPasteDialog();
  gui::PasteWindow* window = app->pasteWindow();
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Paste Record Data to Excel"));
  EXPECT_EQ(text(kPasteOpenButton, kPasteDialog), QStringLiteral("Excel\nOpen"));
  EXPECT_TRUE(button(kPasteByIntervalRadio)->isChecked());
  EXPECT_TRUE(button(kPasteUseRecordCheck)->isChecked());
  auto* interval = qobject_cast<QComboBox*>(control(kPasteDialog, kPasteIntervalCombo));
  EXPECT_EQ(interval->currentText(), QStringLiteral("10 sec"));
  EXPECT_TRUE(button(kPasteOpenButton)->isEnabled());
  EXPECT_FALSE(button(kPasteStartButton)->isEnabled());
  // The first step has the focus (and takes Enter, as a focused button does).
  EXPECT_EQ(window->focusWidget(), control(kPasteDialog, kPasteOpenButton));

  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
  ASSERT_TRUE(waitFor([&] { return app->shared().pasteDialogClosed == 1; }));

  app->host().action(kMenuJapanese)->trigger();
  EXPECT_EQ(window->windowTitle(), QStringLiteral("レコードデータExcel貼り付け"));
  EXPECT_EQ(text(kPasteByIntervalRadio, kPasteDialog), QStringLiteral("インターバルで取り込み"));
  EXPECT_EQ(interval->currentText(), QStringLiteral("10秒"));
  openPasteDialog();
  EXPECT_EQ(app->pasteWindow(), window) << "the same dialog, shown again";
  EXPECT_EQ(text(kPasteCloseButton, kPasteDialog), QStringLiteral("閉じる"));
  app->host().action(kMenuEnglish)->trigger();

  // The Close button keeps the choices in the settings file.
  button(kPasteCloseButton)->click();
  EXPECT_FALSE(window->isVisible());
  ASSERT_TRUE(exitFromMenu());
  const SettingsReadResult read = readSettings(settingsFilePath(dataDir.path()));
  EXPECT_EQ(read.settings.pasteMode, 0);
  EXPECT_EQ(read.settings.pasteUseRecordSetting, 1);
  EXPECT_EQ(read.settings.pasteIntervalIndex, 3);
}

TEST_F(PasteWindowTest, FollowsTheMainWindowBelowItsMonitorPanel) {
  writeSettings(false);
  startApp();
  openPasteDialog();
  gui::PasteWindow* window = app->pasteWindow();
  QWidget* client = app->window().centralWidget();
  QMenuBar* bar = app->window().menuBar();
  // The offscreen platform grows the window for the menu bar's captions only
  // with its next geometry change.
  app->window().move(app->window().pos() + QPoint(1, 1));
  ASSERT_TRUE(waitFor([&] { return bar->height() == bar->sizeHint().height(); }));
  app->window().move(app->window().pos() + QPoint(30, 20));
  // 241 dialog units below the client area's top, at its left edge.
  const auto placed = [&] { return window->pos() == client->mapToGlobal(QPoint(0, 482)); };
  ASSERT_TRUE(waitFor(placed)) << window->pos().x() << "," << window->pos().y();
  // Hidden, it stays where it is.
  button(kPasteCloseButton)->click();
  ASSERT_TRUE(waitFor([&] { return app->shared().pasteDialogClosed == 1; }));
  const QPoint hiddenAt = window->pos();
  app->window().move(app->window().pos() + QPoint(40, 10));
  ASSERT_TRUE(waitFor([&] { return client->mapToGlobal(QPoint(0, 0)).x() > hiddenAt.x() + 30; }));
  app->pasteDialog().onFollowTimer();
  QApplication::processEvents();
  EXPECT_EQ(window->pos(), hiddenAt);
  ASSERT_TRUE(exitFromMenu());
}

// With the spreadsheet: one headless office for the suite (each start costs
// seconds), a new document for each test.
class PasteOfficeTest : public PasteWindowTest {
 protected:
  static void SetUpTestSuite() { office_ = new HeadlessOffice; }
  static void TearDownTestSuite() {
    delete office_;
    office_ = nullptr;
  }
  void SetUp() override {
    GuiTest::SetUp();
    ASSERT_TRUE(office_->running());
    ::setenv("LUMETREVISOR_OFFICE_PIPE", office_->pipeName().c_str(), 1);
    probe = std::make_unique<OfficeProbe>(office_->pipeName());
    probe->newDocument();
  }
  void TearDown() override {
    GuiTest::TearDown();
    ::unsetenv("LUMETREVISOR_OFFICE_PIPE");
    if (probe) probe->closeDocument();
  }

  // Monitoring the simulated meter, the paste dialog opened from the menu
  // and linked to the office's current document through its question.
  void startLinked(const std::function<void(AppSettings&)>& adjust) {
    startMeter();
    writeSettings(false, meter->portNumber(), 1, adjust);
    startApp();
    QTest::mouseClick(control(kMainDialog, kMonitorButton), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return monitoring() && app->session().block.statusInvalid() == 0; }));
    openPasteDialog();
    button(kPasteOpenButton)->click();
    gui::ExcelOpenWindow* question = app->excelOpenWindow();
    ASSERT_TRUE(waitFor([&] { return question->isVisible(); }));
    EXPECT_TRUE(question->isModal());
    EXPECT_TRUE(button(kNewFileRadio, kExcelOpenDialog)->isChecked());
    button(kExcelOpenOk, kExcelOpenDialog)->click();
    EXPECT_FALSE(question->isVisible());
    ASSERT_TRUE(waitFor([&] {
      return capture().sheetConnected() && !app->pasteDialog().capture().link().connecting();
    }));
    EXPECT_FALSE(button(kPasteOpenButton)->isEnabled());
    EXPECT_TRUE(boxes.seen().empty());
  }
  int rowNumber() { return capture().counters().rowNumber; }
  QString startText() { return text(kPasteStartButton, kPasteDialog); }
  // The numbers in the first column from start down, until an empty cell.
  std::vector<std::string> numbers(const SheetCell& start) {
    std::vector<std::string> out;
    for (SheetCell c = start; !probe->text(c).empty(); ++c.row) out.push_back(probe->text(c));
    return out;
  }

  static HeadlessOffice* office_;
  std::unique_ptr<OfficeProbe> probe;
};

HeadlessOffice* PasteOfficeTest::office_ = nullptr;

TEST_F(PasteOfficeTest, RecordSettingWritesThreeRowsThenTheCaptureEndsByItself) {
  probe->moveCursor({0, 2, 4});
  startLinked([](AppSettings& s) {
    s.pasteMode = 0;
    s.pasteUseRecordSetting = 1;
    s.intervalMode = 0;
    s.intervalHours = 0;
    s.intervalMinutes = 0;
    s.intervalSeconds = 1;
    s.totalMode = 0;
    s.dataCount = 3;
  });
  EXPECT_TRUE(button(kPasteStartButton)->isEnabled());
  EXPECT_FALSE(control(kPasteDialog, kPasteIntervalCombo)->isEnabled()) << "the record setting's interval";
  EXPECT_EQ(app->pasteWindow()->focusWidget(), control(kPasteDialog, kPasteStartButton));
  button(kPasteStartButton)->click();
  EXPECT_EQ(startText(), QStringLiteral("Stop"));
  EXPECT_FALSE(button(kPasteByReturnKeyRadio)->isEnabled());
  EXPECT_TRUE(waitFor([&] { return !app->host().action(kMenuReadMemory)->isEnabled(); })) << "greyed while capturing";
  ASSERT_TRUE(waitFor([&] { return !capture().captureRunning(); }));
  EXPECT_EQ(startText(), QStringLiteral("Start"));
  EXPECT_TRUE(button(kPasteByReturnKeyRadio)->isEnabled());
  EXPECT_EQ(numbers({0, 2, 4}), (std::vector<std::string>{"1", "2", "3"}));
  for (int row = 4; row <= 6; ++row) {
    EXPECT_EQ(probe->text({0, 3, row}).size(), 10u) << "date";
    EXPECT_EQ(probe->text({0, 7, row}), "lx");
    EXPECT_EQ(probe->text({0, 9, row}), "") << "seven cells";
  }
  EXPECT_EQ(probe->cursor(), (SheetCell{0, 2, 7}));
  EXPECT_TRUE(waitFor([&] { return app->host().action(kMenuReadMemory)->isEnabled(); }));
  ASSERT_TRUE(exitFromMenu());
}

TEST_F(PasteOfficeTest, EnterInTheMainWindowWritesOneRow) {
  probe->moveCursor({0, 1, 1});
  startLinked([](AppSettings& s) { s.pasteMode = 1; });
  EXPECT_FALSE(button(kPasteStartButton)->isEnabled());
  EXPECT_EQ(app->pasteWindow()->focusWidget(), control(kPasteDialog, kPasteByReturnKeyRadio));
  EXPECT_TRUE(qobject_cast<QPushButton*>(button(kPasteCloseButton))->isDefault());

  QWidget* monitorButton = control(kMainDialog, kMonitorButton);
  app->window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&app->window()));
  monitorButton->setFocus(Qt::OtherFocusReason);
  ASSERT_TRUE(waitFor([&] { return QApplication::focusWidget() == monitorButton; }));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  ASSERT_TRUE(waitFor([&] { return rowNumber() == 1; }));
  QApplication::processEvents();
  EXPECT_EQ(numbers({0, 1, 1}), std::vector<std::string>{"1"});
  EXPECT_EQ(probe->cursor(), (SheetCell{0, 1, 2}));
  EXPECT_TRUE(monitoring()) << "the key went to the capture only";

  // In the dialog too, Enter is a capture and does not close it.
  gui::PasteWindow* window = app->pasteWindow();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  ASSERT_TRUE(waitFor([&] { return rowNumber() == 2; }));
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(numbers({0, 1, 1}), (std::vector<std::string>{"1", "2"}));
  ASSERT_TRUE(exitFromMenu());
}

TEST_F(PasteOfficeTest, ClosedDuringACaptureTheRowsKeepComing) {
  probe->moveCursor({0, 1, 1});
  startLinked([](AppSettings& s) {
    s.pasteMode = 0;
    s.pasteIntervalIndex = 0;  // 1 s
  });
  button(kPasteStartButton)->click();
  ASSERT_TRUE(waitFor([&] { return rowNumber() >= 1; }));
  button(kPasteCloseButton)->click();
  EXPECT_FALSE(app->pasteWindow()->isVisible());
  const int hiddenAt = rowNumber();
  ASSERT_TRUE(waitFor([&] { return rowNumber() >= hiddenAt + 2; }));

  // No exit while a capture runs.
  boxes.clear();
  app->host().action(kMenuExit)->trigger();
  ASSERT_TRUE(waitFor([&] { return !boxes.seen().empty(); }));
  EXPECT_EQ(boxes.seen()[0].text, QStringLiteral("Please stop record before closing the app!"));
  EXPECT_EQ(boxes.seen()[0].icon, QMessageBox::Warning);
  EXPECT_FALSE(finished);

  openPasteDialog();
  EXPECT_EQ(startText(), QStringLiteral("Stop"));
  button(kPasteStartButton)->click();
  EXPECT_FALSE(capture().captureRunning());
  EXPECT_EQ(startText(), QStringLiteral("Start"));
  QApplication::processEvents();
  const int n = rowNumber();
  std::vector<std::string> expected;
  for (int i = 1; i <= n; ++i) expected.push_back(std::to_string(i));
  EXPECT_EQ(numbers({0, 1, 1}), expected);
  ASSERT_TRUE(exitFromMenu());
}

struct MonitorEndCase {
  const char* name;
  bool meterGone;  // the meter stops answering: a communication error
};

class MonitorEndDuringACapture : public PasteOfficeTest, public ::testing::WithParamInterface<MonitorEndCase> {};

TEST_P(MonitorEndDuringACapture, EndsItAndTheNumbersStartAgain) {
  probe->moveCursor({0, 1, 1});
  startLinked([](AppSettings& s) {
    s.pasteMode = 0;
    s.pasteIntervalIndex = 0;
  });
  button(kPasteStartButton)->click();
  ASSERT_TRUE(waitFor([&] { return rowNumber() >= 2; }));
  if (GetParam().meterGone) {
    meter->simulator().hangUp();
  } else {
    QTest::mouseClick(control(kMainDialog, kMonitorButton), Qt::LeftButton);
  }
  ASSERT_TRUE(waitFor([&] { return app->session().meterConnected == 0 && !capture().captureRunning(); }));
  EXPECT_EQ(startText(), QStringLiteral("Start"));
  EXPECT_EQ(rowNumber(), 0);
  QApplication::processEvents();
  const size_t before = numbers({0, 1, 1}).size();
  ASSERT_GE(before, 2u);
  if (GetParam().meterGone) {
    // Reported as the monitor's communication error; nothing else.
    ASSERT_TRUE(waitFor([&] { return !boxes.seen().empty(); }));
    EXPECT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].icon, QMessageBox::Critical);
    ASSERT_TRUE(exitFromMenu());
    return;
  }
  QTest::mouseClick(control(kMainDialog, kMonitorButton), Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] { return monitoring() && app->session().block.statusInvalid() == 0; }));
  button(kPasteStartButton)->click();
  ASSERT_TRUE(waitFor([&] { return rowNumber() >= 1; }));
  button(kPasteStartButton)->click();
  EXPECT_EQ(probe->text({0, 1, static_cast<int32_t>(before) + 1}), "1");
  ASSERT_TRUE(exitFromMenu());
}

INSTANTIATE_TEST_SUITE_P(Cases, MonitorEndDuringACapture,
                         ::testing::Values(MonitorEndCase{"MonitorStopped", false}, MonitorEndCase{"MeterGone", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lmv::test
