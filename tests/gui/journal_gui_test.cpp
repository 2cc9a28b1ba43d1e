// The recording journal in the desktop program: every sample on disk while
// the records are unsaved, offered back after a run of the program that did
// not end normally, and removed only once the records are saved or given up.
#include <gtest/gtest.h>

#include <QTableView>
#include <filesystem>

#include "cli_run.h"
#include "files/journal_lock.h"
#include "files/record_journal.h"
#include "ui/language_table.h"
#include "record/record_list_widget.h"
#include "record/record_pages.h"
#include "record_gui_fixture.h"

namespace lmv::test {
namespace {

class JournalGuiTest : public RecordGuiTest {
 protected:
  std::string journalPath() { return journalFilePath(dataDir.path()); }
  bool journalExists() { return std::filesystem::exists(journalPath()); }
  // What a program killed now would leave for the next start.
  size_t journaledRecords() {
    const JournalFileRecovery found = readJournalFile(journalPath());
    return found.recovery.outcome == JournalOutcome::Recovered ? found.recovery.contents.records.size() : 0;
  }
  bool asked(const QString& text) {
    for (const SeenBox& box : boxes.seen())
      if (box.text == text) return true;
    return false;
  }
  int listRows() { return app->recordPages().list()->table()->model()->rowCount(); }
};

TEST_F(JournalGuiTest, EverySampleIsOnDiskWhileTheRunGoesOnAndASaveRemovesIt) {
  startConnected(1000);
  EXPECT_FALSE(journalExists());
  click(kStartButton);
  ASSERT_TRUE(waitFor([&] { return records() >= 3; }));
  // Written as taken: a killed program would leave at least these.
  const size_t taken = static_cast<size_t>(records());
  ASSERT_TRUE(waitFor([&] { return journaledRecords() >= taken; }));
  click(kStopButton);
  ASSERT_FALSE(app->recording().isRecording());
  EXPECT_EQ(journaledRecords(), app->recording().store().records.size());

  const QString path = QString::fromStdString(dataDir.file("saved.lxrd"));
  {
    FileDialogAnswers answers({path});
    click(kSaveButton);
    EXPECT_EQ(answers.shown(), 1);
  }
  ASSERT_TRUE(std::filesystem::exists(path.toStdString()));
  EXPECT_FALSE(journalExists());
  // A new sample after the save starts a journal of the whole store again.
  click(kManualButton);
  ASSERT_TRUE(waitFor([&] { return journaledRecords() == app->recording().store().records.size(); }));
}

TEST_F(JournalGuiTest, ARecoveryIsOfferedAfterAnAbnormalEnd) {
  struct Case {
    const char* name;
    QMessageBox::StandardButton answer;
    size_t recordsAfter;
  };
  for (const Case& c : {Case{"Yes recovers", QMessageBox::Yes, 3}, Case{"No gives them up", QMessageBox::No, 0}}) {
    SCOPED_TRACE(c.name);
    startConnected(3);
    recordRun(3);
    const RecordArray taken = app->recording().store().records;
    stopApp();  // no exit sequence: as if the program had been killed
    ASSERT_TRUE(journalExists());

    boxes.clear();
    boxes.script({c.answer});
    startApp();
    ASSERT_FALSE(boxes.seen().empty());
    const SeenBox& offer = boxes.seen().front();
    EXPECT_EQ(offer.text, QString::fromStdString(journalWaitingMessage(kLanguageEnglish)));
    EXPECT_EQ(offer.icon, QMessageBox::Question);
    EXPECT_EQ(offer.defaultButton, QMessageBox::Yes);
    ASSERT_EQ(app->recording().store().records.size(), c.recordsAfter);
    EXPECT_EQ(listRows(), static_cast<int>(c.recordsAfter));
    if (c.recordsAfter == 0) {
      EXPECT_FALSE(journalExists());
      EXPECT_EQ(boxes.seen().size(), 1u);
    } else {
      EXPECT_TRUE(asked(QStringLiteral("3 records were recovered.")));
      for (size_t i = 0; i < taken.size(); ++i) {
        EXPECT_EQ(app->recording().store().records[i].dtTimeDays, taken[i].dtTimeDays) << i;
        EXPECT_EQ(app->recording().store().records[i].nValue, taken[i].nValue) << i;
      }
      EXPECT_EQ(app->recording().store().state.dataSaved, 0);
      EXPECT_EQ(app->window().windowTitle(), programTitle());
      EXPECT_TRUE(button(kSaveButton)->isEnabled());
      // Still unsaved, so still kept on disk.
      EXPECT_EQ(journaledRecords(), 3u);
    }
    stopApp();
    std::filesystem::remove(journalPath());
    meter.reset();
  }
}

TEST_F(JournalGuiTest, AnExitKeepsTheJournalUnlessTheRecordsAreSavedOrGivenUp) {
  struct Case {
    const char* name;
    QMessageBox::StandardButton saveData;
    bool chooseFile;
    bool journalKept;
  };
  for (const Case& c : {Case{"No to Save data?", QMessageBox::No, false, false},
                        Case{"Yes, then the file dialog cancelled", QMessageBox::Yes, false, true},
                        Case{"Yes, saved", QMessageBox::Yes, true, false}}) {
    SCOPED_TRACE(c.name);
    startConnected(2);
    recordRun(2);
    ASSERT_TRUE(journalExists());
    const QString path = QString::fromStdString(dataDir.file("exit.lxrd"));
    std::filesystem::remove(path.toStdString());
    {
      FileDialogAnswers answers(c.chooseFile ? std::deque<QString>{path} : std::deque<QString>{});
      boxes.clear();
      boxes.script({QMessageBox::Yes, c.saveData});
      QTest::keyClick(&app->window(), Qt::Key_Escape);
      ASSERT_TRUE(waitFor([&] { return finished; }));
    }
    EXPECT_TRUE(asked(QStringLiteral("Save data?")));
    EXPECT_EQ(journalExists(), c.journalKept);
    EXPECT_EQ(std::filesystem::exists(path.toStdString()), c.chooseFile);
    stopApp();
    std::filesystem::remove(journalPath());
    meter.reset();
  }
}

// A second program beside a running one: the running one's journal is not
// offered, not written into and not removed.
TEST_F(JournalGuiTest, AJournalAnotherRunningProgramKeepsIsLeftAlone) {
  startConnected(2);
  recordRun(2);
  stopApp();
  const std::string before = test::wholeFile(journalPath());
  const JournalLock otherProgram(journalPath());
  ASSERT_TRUE(otherProgram.held());
  boxes.clear();
  startApp();
  ASSERT_FALSE(boxes.seen().empty());
  EXPECT_EQ(boxes.seen().front().text, QString::fromStdString(journalInUseMessage(kLanguageEnglish)));
  EXPECT_EQ(boxes.seen().front().icon, QMessageBox::Warning);
  EXPECT_TRUE(app->recording().store().records.empty());
  QTest::mouseClick(control(kMainDialog, kMonitorButton), Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] { return button(kStartButton)->isEnabled() && app->session().block.statusInvalid() == 0; }));
  recordRun(2);
  boxes.clear();
  boxes.script({QMessageBox::Yes, QMessageBox::No});
  QTest::keyClick(&app->window(), Qt::Key_Escape);
  ASSERT_TRUE(waitFor([&] { return finished; }));
  EXPECT_TRUE(asked(QStringLiteral("Save data?")));
  EXPECT_EQ(test::wholeFile(journalPath()), before);
}

}  // namespace
}  // namespace lmv::test
