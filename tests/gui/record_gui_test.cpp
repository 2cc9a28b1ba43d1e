// The record side of the main window on real widgets against the simulated
// meter: the record buttons, the tab switch, the range combo box during a
// run, the file commands and the "Save data?" question.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <cmath>
#include <filesystem>

#include "dialog_units.h"
#include "record_gui_fixture.h"
#include "main_window_widget.h"
#include "qt_ui_host.h"
#include "record/clear_dialog.h"
#include "record/record_controls.h"
#include "record/record_pages.h"
#include "record/window_title.h"
#include "ui/main_window_controls.h"
#include "ui/monitor_controls.h"

namespace lmv::test {
namespace {

TEST_F(RecordGuiTest, WholeRecordingThroughTheButtons) {
  startConnected(5);
  click(kStartButton);
  EXPECT_TRUE(app->recording().isRecording());
  EXPECT_FALSE(button(kStartButton)->isEnabled());
  EXPECT_TRUE(button(kStopButton)->isEnabled());
  EXPECT_TRUE(focused(kStopButton));
  // The run ends by itself after the fifth sample.
  ASSERT_TRUE(waitFor([&] { return !app->recording().isRecording(); }));
  const RecordArray& r = app->recording().store().records;
  ASSERT_EQ(r.size(), 5u);
  for (size_t i = 1; i < r.size(); ++i)
    EXPECT_EQ(std::lround((r[i].dtTimeDays - r[i - 1].dtTimeDays) * 86400.0), 1) << i;
  auto* table = app->recordPages().list()->table();
  EXPECT_EQ(table->model()->rowCount(), 5);
  EXPECT_TRUE(button(kStartButton)->isEnabled());
  EXPECT_TRUE(focused(kStartButton));
  EXPECT_FALSE(button(kStopButton)->isEnabled());
  EXPECT_TRUE(button(kManualButton)->isEnabled());
  EXPECT_TRUE(button(kSaveButton)->isEnabled());
  EXPECT_TRUE(button(kClearButton)->isEnabled());
  EXPECT_FALSE(listText(kMaxLine).isEmpty());
  EXPECT_FALSE(listText(kMinLine).isEmpty());
  EXPECT_FALSE(text(kRunStartLabel).isEmpty());
  EXPECT_FALSE(text(kRunStopLabel).isEmpty());
  // Stop gives Start the focus too; Manual adds one sample.
  click(kManualButton);
  ASSERT_TRUE(waitFor([&] { return records() == 6; }));
  click(kStartButton);
  ASSERT_TRUE(focused(kStopButton));
  click(kStopButton);
  EXPECT_FALSE(app->recording().isRecording());
  EXPECT_TRUE(focused(kStartButton));
}

TEST_F(RecordGuiTest, TheGraphTabShowsCopyGraphAndHidesManual) {
  startConnected(2);
  recordRun(2);
  app->window().pageTabs()->setCurrentIndex(1);
  EXPECT_TRUE(button(kCopyGraphButton)->isVisible());
  EXPECT_TRUE(button(kCopyGraphButton)->isEnabled());
  EXPECT_FALSE(button(kManualButton)->isVisible());
  EXPECT_TRUE(app->recordPages().graph()->isVisible());
  EXPECT_FALSE(app->recordPages().list()->isVisible());
  click(kCopyGraphButton);
  app->window().pageTabs()->setCurrentIndex(0);
  EXPECT_FALSE(button(kCopyGraphButton)->isVisible());
  EXPECT_TRUE(button(kManualButton)->isVisible());
  EXPECT_TRUE(app->recordPages().list()->isVisible());
  EXPECT_FALSE(app->recordPages().graph()->isVisible());
}

TEST_F(RecordGuiTest, ThePagesFillTheTabControl) {
  startApp();
  auto* window = &app->window();
  const gui::RecordPages& pages = app->recordPages();
  const QRect tab = gui::dialogRect(233, 1, 222, 322);
  for (QWidget* page : {static_cast<QWidget*>(pages.info()), static_cast<QWidget*>(pages.list()),
                        static_cast<QWidget*>(pages.graph())}) {
    const QRect r(page->mapTo(window->centralWidget(), QPoint(0, 0)), page->size());
    EXPECT_TRUE(tab.contains(r)) << page->accessibleName().toStdString();
  }
  const QRect info(pages.info()->mapTo(window->centralWidget(), QPoint(0, 0)), pages.info()->size());
  const QRect list(pages.list()->mapTo(window->centralWidget(), QPoint(0, 0)), pages.list()->size());
  EXPECT_FALSE(info.intersects(list));
  EXPECT_EQ(list.bottom() + 1, gui::dialogRect(0, 321, 0, 0).top());
  // The graph was laid out on its plot.
  const PixelRect plot = pages.plotRect();
  EXPECT_EQ(app->recording().graph().state().plotRect.right - app->recording().graph().state().plotRect.left,
            plot.right - plot.left);
  EXPECT_GT(plot.right - plot.left, 400);
}

TEST_F(RecordGuiTest, ChangingTheRangeDuringARunStopsIt) {
  startConnected(100);
  click(kStartButton);
  ASSERT_TRUE(waitFor([&] { return records() >= 1; }));
  auto* range = app->window().rangeCombo();
  ASSERT_GT(range->count(), 1);
  const int other = range->currentIndex() == 1 ? 2 : 1;
  range->setCurrentIndex(other);
  emit range->activated(other);
  ASSERT_TRUE(waitFor([&] { return !app->recording().isRecording(); }));
  EXPECT_TRUE(button(kStartButton)->isEnabled());
  EXPECT_LT(records(), 100);
}

// Presses a key in the next Clear dialog that comes up.
class ClearDialogKey : public QObject {
 public:
  explicit ClearDialogKey(Qt::Key key) : key_(key) {
    connect(&timer_, &QTimer::timeout, this, [this] {
      auto* dialog = qobject_cast<gui::ClearDialog*>(QApplication::activeModalWidget());
      if (!dialog || pressed_) return;
      pressed_ = true;
      QTest::keyClick(dialog, key_);
    });
    timer_.start(10);
  }
  bool pressed() const { return pressed_; }

 private:
  Qt::Key key_;
  QTimer timer_;
  bool pressed_ = false;
};

TEST_F(RecordGuiTest, ClearDialogEnterRemovesTheLastSampleAndEscNothing) {
  startConnected(3);
  recordRun(3);
  {
    ClearDialogKey esc(Qt::Key_Escape);
    click(kClearButton);
    EXPECT_TRUE(esc.pressed());
  }
  EXPECT_EQ(records(), 3);
  {
    ClearDialogKey enter(Qt::Key_Return);
    click(kClearButton);
    EXPECT_TRUE(enter.pressed());
  }
  EXPECT_EQ(records(), 2);
  EXPECT_EQ(app->recordPages().list()->table()->model()->rowCount(), 2);
}

TEST_F(RecordGuiTest, SaveAsThenOpenFollowsTheTitleRule) {
  startConnected(2);
  recordRun(2);
  EXPECT_EQ(app->window().windowTitle(), programTitle());
  const QString path = QString::fromStdString(dataDir.file("x.lxrd"));
  {
    FileDialogAnswers answers({path});
    click(kSaveButton);
    EXPECT_EQ(answers.shown(), 1);
  }
  ASSERT_TRUE(std::filesystem::exists(path.toStdString()));
  EXPECT_EQ(app->window().windowTitle(), programTitle() + QStringLiteral(" - [x.lxrd]"));
  // The next sample marks the title.
  click(kManualButton);
  ASSERT_TRUE(waitFor([&] { return records() == 3; }));
  EXPECT_EQ(app->window().windowTitle(), programTitle() + QStringLiteral(" - [x.lxrd *]"));
  // Open asks "Save data?" first (No: the file keeps its two samples).
  boxes.clear();
  boxes.script({QMessageBox::No});
  {
    FileDialogAnswers answers({path});
    app->window().commandTriggered(kMenuOpen);
    EXPECT_EQ(answers.shown(), 1);
  }
  ASSERT_FALSE(boxes.seen().empty());
  EXPECT_EQ(boxes.seen().front().text, QStringLiteral("Save data?"));
  EXPECT_EQ(records(), 2);
  EXPECT_EQ(app->recordPages().list()->table()->model()->rowCount(), 2);
  EXPECT_EQ(app->window().windowTitle(), programTitle() + QStringLiteral(" - [x.lxrd]"));
}

TEST_F(RecordGuiTest, EscWithUnsavedDataAsksSaveData) {
  startConnected(2);
  recordRun(2);
  // Exit: Yes; Save data?: No.
  boxes.clear();
  boxes.script({QMessageBox::Yes, QMessageBox::No});
  QTest::keyClick(&app->window(), Qt::Key_Escape);
  ASSERT_TRUE(waitFor([&] { return finished; }));
  bool asked = false;
  for (const SeenBox& box : boxes.seen()) asked = asked || box.text == QStringLiteral("Save data?");
  EXPECT_TRUE(asked);
}

}  // namespace
}  // namespace lmv::test
