// The record list page as a real table over the core's page: the Qt model
// protocol, the columns, paging through the buttons, the MAX/MIN lines.
#include "record/record_list_widget.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QFontInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtGlobal>

#include "record/control_ids.h"
#include "record/record_controls.h"
#include "record/record_table_model.h"
#include "record_side.h"
#include "test_files.h"

namespace lmv {
namespace {

using test::RecordSide;

// Collects the model tester's complaints (it reports them as warnings).
class ModelWarnings {
 public:
  ModelWarnings() {
    warnings().clear();
    previous_ = qInstallMessageHandler(&ModelWarnings::handler);
  }
  ~ModelWarnings() { qInstallMessageHandler(previous_); }
  static QStringList& warnings() {
    static QStringList list;
    return list;
  }

 private:
  static void handler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtDebugMsg && type != QtInfoMsg) warnings() << message;
  }
  QtMessageHandler previous_ = nullptr;
};

QString cell(const QTableView* view, int row, int column) {
  return view->model()->index(row, column).data().toString();
}

template <typename W>
W* controlOf(RecordSide& side, int control) {
  W* w = qobject_cast<W*>(side.host.control(kRecordListPage, control));
  EXPECT_NE(w, nullptr) << "control " << control;
  return w;
}

// The view shows exactly the core page's rows, and the core's selected row.
void expectViewMatchesPage(RecordSide& side) {
  const RecordPageModel& page = side.recording.list().model();
  QTableView* view = side.list->table();
  ASSERT_EQ(view->model()->rowCount(), page.rowCount());
  for (int row : {0, page.rowCount() / 2, page.rowCount() - 1}) {
    if (row < 0 || row >= page.rowCount()) continue;
    const RecordRow& r = page.rows()[static_cast<size_t>(row)];
    EXPECT_EQ(cell(view, row, 0).toStdString(), r.timeText);
    EXPECT_EQ(cell(view, row, 1).toStdString(), r.valueText);
    EXPECT_EQ(cell(view, row, 2).toStdString(), r.overText);
  }
  const QModelIndexList selected = view->selectionModel()->selectedRows();
  if (page.selectedRow() < 0) {
    EXPECT_TRUE(selected.isEmpty());
  } else {
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.front().row(), page.selectedRow());
  }
}

TEST(RecordListWidget, ModelFollowsThePageThroughSamplesPagesAndClearing) {
  ModelWarnings warnings;
  RecordSide side;
  QAbstractItemModelTester tester(side.list->tableModel(), QAbstractItemModelTester::FailureReportingMode::Warning);
  side.showTab(0);
  side.putValue(1234);

  for (int i = 0; i < 1001; ++i) side.recording.onManual();
  EXPECT_EQ(side.host.text(kRecordListPage, kPageText), "2/2");
  EXPECT_EQ(side.list->table()->model()->rowCount(), 1);
  expectViewMatchesPage(side);

  side.recording.clearRecords(false);  // back to a full first page
  EXPECT_EQ(side.host.text(kRecordListPage, kPageText), "1/1");
  EXPECT_EQ(side.list->table()->model()->rowCount(), 1000);
  expectViewMatchesPage(side);

  side.recording.clearRecords(false);
  EXPECT_EQ(side.list->table()->model()->rowCount(), 999);
  expectViewMatchesPage(side);
  side.putValue(1000000);  // over range
  side.recording.onManual();
  EXPECT_EQ(cell(side.list->table(), 999, 2), QStringLiteral("OVER"));
  expectViewMatchesPage(side);

  side.recording.clearRecords(true);
  EXPECT_EQ(side.list->table()->model()->rowCount(), 0);
  expectViewMatchesPage(side);
  test::processPendingEvents();
  EXPECT_TRUE(ModelWarnings::warnings().isEmpty()) << ModelWarnings::warnings().join('\n').toStdString();
  EXPECT_TRUE(side.host.missingControls().empty());
}

TEST(RecordListWidget, ListIsATableOfThreeCentredColumnsWithGridAndRowSelection) {
  RecordSide side;
  QTableView* view = side.list->table();
  EXPECT_EQ(view->property("lmvDialog").toInt(), kRecordListPage);
  EXPECT_EQ(view->property("lmvControl").toInt(), kRecordList);
  EXPECT_TRUE(view->showGrid());
  EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(view->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(view->editTriggers(), QAbstractItemView::NoEditTriggers);

  const int client = view->width() - 2 * view->frameWidth();
  const int w = client - 20;
  EXPECT_EQ(view->columnWidth(0), static_cast<int>(0.35 * w));
  EXPECT_EQ(view->columnWidth(1), (w - view->columnWidth(0)) / 2);
  EXPECT_EQ(view->columnWidth(2), (w - view->columnWidth(0)) / 2);

  const QAbstractItemModel* model = view->model();
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Record Time"));
  EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("LUX"));
  EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), QString());
  side.putValue(1234);
  side.recording.onManual();
  EXPECT_EQ(model->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
  EXPECT_EQ(cell(view, 0, 1), QStringLiteral("123.4 lx"));
  // The whole time text fits its column.
  EXPECT_LE(view->fontMetrics().horizontalAdvance(cell(view, 0, 0)), view->columnWidth(0) - 6);
  EXPECT_EQ(QFontInfo(view->font()).family(), QStringLiteral("Noto Sans CJK JP"));

  side.texts.fill(kLanguageJapanese);
  side.applyTexts();
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("レコード時刻"));
  EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("照度"));
  EXPECT_EQ(controlOf<QPushButton>(side, kPreviousButton)->text(), QStringLiteral("前へ"));
  EXPECT_EQ(controlOf<QPushButton>(side, kNextButton)->text(), QStringLiteral("次へ"));
  EXPECT_EQ(controlOf<QPushButton>(side, kJumpButton)->text(), QStringLiteral("ジャンプ"));
}

TEST(RecordListWidget, PagingControlsStartDisabledAndShowOnePage) {
  RecordSide side;
  for (int id : {kPreviousButton, kNextButton, kJumpButton, kPageNumberEdit}) {
    EXPECT_FALSE(side.host.control(kRecordListPage, id)->isEnabled()) << id;
  }
  auto* pageText = controlOf<QLineEdit>(side, kPageText);
  EXPECT_TRUE(pageText->isReadOnly());
  EXPECT_EQ(pageText->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
  EXPECT_EQ(pageText->text(), QStringLiteral("1/1"));
  EXPECT_EQ(controlOf<QLineEdit>(side, kPageNumberEdit)->text(), QStringLiteral("1"));
}

// A saved file of 1,001 samples, opened with File > Open: page 2/2 with its
// one row; Previous shows the 1,000 rows of page 1; Jump reads the page box.
TEST(RecordListWidget, FileOfThousandAndOneSamplesPagesThroughTheButtons) {
  test::TempDir dir;
  const std::string path = dir.file("long.lxrd");
  {
    RecordSide writer;
    RecordStore& s = writer.recording.store();
    for (int i = 0; i < 1001; ++i) s.records.push_back(test::storedSample(100 + i % 50, 3, i));
    s.state.recordCount = 1001;
    s.state.runCount = 1001;
    s.state.baseTime = s.records.front().dtTime();
    s.state.dataSaved = 0;
    ASSERT_TRUE(writer.commands.saveFile(path));
  }

  RecordSide side;
  side.showTab(0);
  side.chooser.answers.push_back(path);
  side.commands.onOpen();
  QTableView* view = side.list->table();
  EXPECT_EQ(controlOf<QLineEdit>(side, kPageText)->text(), QStringLiteral("2/2"));
  ASSERT_EQ(view->model()->rowCount(), 1);
  EXPECT_EQ(cell(view, 0, 0), QStringLiteral("2014/07/07,09:16:40"));
  auto* previous = controlOf<QPushButton>(side, kPreviousButton);
  auto* next = controlOf<QPushButton>(side, kNextButton);
  EXPECT_TRUE(previous->isEnabled());
  EXPECT_FALSE(next->isEnabled());

  previous->click();
  ASSERT_TRUE(test::processEventsUntil([&] { return view->model()->rowCount() == 1000; }));
  EXPECT_EQ(controlOf<QLineEdit>(side, kPageText)->text(), QStringLiteral("1/2"));
  EXPECT_EQ(cell(view, 0, 0), QStringLiteral("2014/07/07,09:00:00"));
  EXPECT_EQ(cell(view, 999, 0), QStringLiteral("2014/07/07,09:16:39"));
  EXPECT_FALSE(previous->isEnabled());
  EXPECT_TRUE(next->isEnabled());
  expectViewMatchesPage(side);

  auto* pageNumber = controlOf<QLineEdit>(side, kPageNumberEdit);
  auto* jump = controlOf<QPushButton>(side, kJumpButton);
  pageNumber->setText(QStringLiteral("2"));
  jump->click();
  ASSERT_TRUE(test::processEventsUntil([&] { return view->model()->rowCount() == 1; }));
  EXPECT_TRUE(side.host.messages().empty());

  pageNumber->setText(QStringLiteral("abc"));
  jump->click();
  ASSERT_EQ(side.host.messages().size(), 1u);
  EXPECT_EQ(side.host.messages().front().text, "整数を入力してください。");
  // The last number read (2) is used again.
  EXPECT_EQ(controlOf<QLineEdit>(side, kPageText)->text(), QStringLiteral("2/2"));
  pageNumber->setText(QStringLiteral("0"));
  jump->click();
  ASSERT_TRUE(test::processEventsUntil([&] { return view->model()->rowCount() == 1000; }));
  EXPECT_EQ(controlOf<QLineEdit>(side, kPageText)->text(), QStringLiteral("1/2"));
  EXPECT_TRUE(side.host.missingControls().empty());
}

// Interval 0:0:1, count 5: five rows a second apart, the run stops by
// itself, and the MAX and MIN lines show the run's extremes.
TEST(RecordListWidget, RecordingFillsRowsAndExtremeLines) {
  RecordSide side;
  side.settings.intervalSeconds = 1;
  side.settings.dataCount = 5;
  // Time stops after each tick until the next value is handed over.
  const int32_t values[] = {1234, 1234, 1334, 1134, 1234};
  side.clock.setGate(test::kRecordTestStartMs + 600);  // just past the first tick at 09:05:04
  for (int i = 0; i < 5; ++i) {
    side.putValue(values[i]);
    if (i == 0) {
      side.recording.onStart();
    } else {
      side.clock.setGate(test::kRecordTestStartMs + 600 + 1000 * i);
    }
    ASSERT_TRUE(test::processEventsUntil([&] { return side.list->table()->model()->rowCount() == i + 1; })) << i;
  }
  ASSERT_TRUE(test::processEventsUntil([&] { return !side.recording.isRecording(); }));
  side.clock.openGate();
  test::processPendingEvents();
  QTableView* view = side.list->table();
  ASSERT_EQ(view->model()->rowCount(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(cell(view, i, 0).right(2).toInt(), (4 + i) % 60) << i;
  EXPECT_EQ(cell(view, 2, 1), QStringLiteral("133.4 lx"));
  EXPECT_EQ(cell(view, 3, 1), QStringLiteral("113.4 lx"));
  auto* maxLine = controlOf<QLabel>(side, kMaxLine);
  auto* minLine = controlOf<QLabel>(side, kMinLine);
  EXPECT_EQ(maxLine->text(), cell(view, 2, 0) + QStringLiteral("     133.4 lx"));
  EXPECT_EQ(minLine->text(), cell(view, 3, 0) + QStringLiteral("     113.4 lx"));
  EXPECT_EQ(side.host.control(kRecordListPage, kPreviousButton)->isEnabled(), false);  // one page
  // The run's start and stop labels of the main window.
  EXPECT_EQ(side.host.text(kMainDialog, kRunStartLabel), cell(view, 0, 0).toStdString());
  EXPECT_EQ(side.host.text(kMainDialog, kRunStopLabel), cell(view, 4, 0).toStdString());
  EXPECT_TRUE(side.host.missingControls().empty());
}

}  // namespace
}  // namespace lmv
