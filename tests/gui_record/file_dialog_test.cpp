// The file commands' dialogs as real Qt file dialogs: the language table's
// filters in Qt's form, the default suffix, existing files for Open, the
// question before a file is replaced; then Save As and Open through them
// with the window title, and Save as CSV against lumetrevisor-cli export.
#include "record/qt_file_chooser.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <deque>
#include <functional>

#include "cli_run.h"
#include "record/window_title.h"
#include "record_side.h"
#include "test_files.h"

namespace lmv {
namespace {

using test::RecordSide;

struct FilterCase {
  int language;
  int entry;
  const char* qtFilter;
};

class QtNameFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(QtNameFilter, FollowsTheLanguageTableEntry) {
  LanguageTable texts;
  texts.fill(GetParam().language);
  EXPECT_EQ(gui::qtNameFilters(texts.text(GetParam().entry)), QStringList{QString::fromUtf8(GetParam().qtFilter)});
}

INSTANTIATE_TEST_SUITE_P(Entries, QtNameFilter,
                         ::testing::Values(FilterCase{kLanguageEnglish, TextRecordFileFilter, "lxrd file (*.lxrd)"},
                                           FilterCase{kLanguageEnglish, TextCsvFileFilter, "csv file (*.csv)"},
                                           FilterCase{kLanguageEnglish, TextExcelFilter,
                                                      "Excel file (*.xlsx *.xls)"},
                                           FilterCase{kLanguageJapanese, TextRecordFileFilter, "lxrdファイル (*.lxrd)"},
                                           FilterCase{kLanguageJapanese, TextCsvFileFilter, "csvファイル (*.csv)"},
                                           FilterCase{kLanguageJapanese, TextExcelFilter,
                                                      "Excelファイル (*.xlsx *.xls)"}));

TEST(QtNameFilter, KeepsEveryPairOfAFilterList) {
  EXPECT_EQ(gui::qtNameFilters("Text (*.txt)|*.txt|All|*.*||"), (QStringList{"Text (*.txt)", "All (*.*)"}));
  EXPECT_TRUE(gui::qtNameFilters("").isEmpty());
}

TEST(QtFileDialog, OpenAsksForAnExistingFileAndSaveAsksBeforeReplacing) {
  const FileDialogRequest open{FileDialogRequest::Kind::Open, "lxrd", "*.lxrd", "lxrd file (*.lxrd)|*.lxrd||"};
  const auto openDialog = gui::makeFileDialog(open, nullptr);
  EXPECT_EQ(openDialog->acceptMode(), QFileDialog::AcceptOpen);
  EXPECT_EQ(openDialog->fileMode(), QFileDialog::ExistingFile);
  EXPECT_EQ(openDialog->defaultSuffix(), QStringLiteral("lxrd"));
  EXPECT_EQ(openDialog->nameFilters(), QStringList{"lxrd file (*.lxrd)"});
  EXPECT_FALSE(openDialog->testOption(QFileDialog::ReadOnly));

  const FileDialogRequest save{FileDialogRequest::Kind::Save, "csv", "*.csv", "csv file (*.csv)|*.csv||"};
  const auto saveDialog = gui::makeFileDialog(save, nullptr);
  EXPECT_EQ(saveDialog->acceptMode(), QFileDialog::AcceptSave);
  EXPECT_FALSE(saveDialog->testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(saveDialog->defaultSuffix(), QStringLiteral("csv"));
  EXPECT_EQ(saveDialog->nameFilters(), QStringList{"csv file (*.csv)"});
}

// The user of the file dialogs that come up, one step a dialog: types a
// name and accepts, or cancels. A message box that the dialog shows (the
// question before a file is replaced, "file not found") gets the step's
// answer; a file dialog still up after that is cancelled. Watches the
// screen with a timer, so no dialog waits for another.
struct DialogStep {
  std::string name;  // empty: cancel the dialog
  QMessageBox::StandardButton boxAnswer = QMessageBox::NoButton;
};

class DialogScript {
 public:
  DialogScript(std::string directory, std::vector<DialogStep> steps)
      : directory_(std::move(directory)), steps_(steps.begin(), steps.end()) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    timer_.start(5);
  }
  int boxes() const { return boxes_; }
  int unexpected() const { return unexpected_; }
  bool finished() const { return steps_.empty(); }

 private:
  void tick() {
    QWidget* w = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      if (box->property("lmvAnswered").toBool()) return;
      box->setProperty("lmvAnswered", true);
      ++boxes_;
      QAbstractButton* button = box->button(answer_ == QMessageBox::NoButton ? QMessageBox::Ok : answer_);
      if (!button) button = box->buttons().value(0);
      QMetaObject::invokeMethod(button, "click", Qt::QueuedConnection);
      cancelStillOpen_ = answer_ != QMessageBox::Yes;
      return;
    }
    auto* dialog = qobject_cast<QFileDialog*>(w);
    if (!dialog) return;
    if (dialog->property("lmvHandled").toBool()) {
      if (cancelStillOpen_) {
        cancelStillOpen_ = false;
        dialog->reject();
      }
      return;
    }
    dialog->setProperty("lmvHandled", true);
    if (steps_.empty()) {
      ++unexpected_;
      dialog->reject();
      return;
    }
    const DialogStep step = steps_.front();
    steps_.pop_front();
    answer_ = step.boxAnswer;
    cancelStillOpen_ = false;
    if (step.name.empty()) {
      dialog->reject();
      return;
    }
    dialog->setDirectory(QString::fromStdString(directory_));
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!edit) {
      ++unexpected_;
      dialog->reject();
      return;
    }
    edit->setText(QString::fromStdString(step.name));
    // Accepted from the event loop: a message box it shows runs there too.
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
  }

  std::string directory_;
  std::deque<DialogStep> steps_;
  QTimer timer_;
  QMessageBox::StandardButton answer_ = QMessageBox::NoButton;
  bool cancelStillOpen_ = false;
  int boxes_ = 0;
  int unexpected_ = 0;
};

FileDialogRequest saveRecordRequest() {
  return {FileDialogRequest::Kind::Save, "lxrd", "*.lxrd", "lxrd file (*.lxrd)|*.lxrd||"};
}

FileDialogRequest openRecordRequest() {
  return {FileDialogRequest::Kind::Open, "lxrd", "*.lxrd", "lxrd file (*.lxrd)|*.lxrd||"};
}

TEST(QtFileChooser, AddsTheDefaultSuffixAndReturnsNothingWhenCancelled) {
  test::TempDir dir;
  gui::QtFileChooser chooser(nullptr);
  DialogScript user(dir.path(), {{"data"}, {""}});
  EXPECT_EQ(chooser.chooseFile(saveRecordRequest()), dir.file("data.lxrd"));
  EXPECT_EQ(chooser.chooseFile(saveRecordRequest()), std::nullopt);
  EXPECT_EQ(user.boxes(), 0);
  EXPECT_TRUE(user.finished());
}

TEST(QtFileChooser, AsksBeforeAnExistingFileIsReplaced) {
  test::TempDir dir;
  test::writeFileBytes(dir.file("old.lxrd"), {1, 2, 3});
  gui::QtFileChooser chooser(nullptr);

  {
    DialogScript refuse(dir.path(), {{"old.lxrd", QMessageBox::No}});
    EXPECT_EQ(chooser.chooseFile(saveRecordRequest()), std::nullopt);
    EXPECT_EQ(refuse.boxes(), 1);
  }
  {
    DialogScript replace(dir.path(), {{"old", QMessageBox::Yes}});  // the suffix is added first
    EXPECT_EQ(chooser.chooseFile(saveRecordRequest()), dir.file("old.lxrd"));
    EXPECT_EQ(replace.boxes(), 1);
  }
  EXPECT_EQ(test::fileBytes(dir.file("old.lxrd")).size(), 3u);  // choosing writes nothing
}

TEST(QtFileChooser, OpenTakesOnlyAnExistingFile) {
  test::TempDir dir;
  test::writeFileBytes(dir.file("here.lxrd"), {1});
  gui::QtFileChooser chooser(nullptr);
  DialogScript user(dir.path(), {{"here.lxrd"}, {"absent.lxrd", QMessageBox::Ok}});
  EXPECT_EQ(chooser.chooseFile(openRecordRequest()), dir.file("here.lxrd"));
  // A name that does not exist does not close the dialog.
  EXPECT_EQ(chooser.chooseFile(openRecordRequest()), std::nullopt);
  EXPECT_EQ(user.boxes(), 1);
  EXPECT_EQ(user.unexpected(), 0);
}

// Save As, then the next sample, then Open in another program instance:
// the title carries the file name, then " *]".
TEST(RecordFileDialogs, SaveAsThenOpenRoundTripWithTheTitle) {
  test::TempDir dir;
  gui::QtFileChooser chooser(nullptr);
  RecordSide side;
  side.chooserSwitch.use(chooser);
  side.recording.onMeterConnected(side.env.meter);
  side.putValue(1234);
  for (int i = 0; i < 3; ++i) side.recording.onManual();

  DialogScript user(dir.path(), {{"x"}, {"x.lxrd"}});
  side.commands.onSaveAs();
  const std::string title = std::string(kProgramTitle) + " - [x.lxrd]";
  EXPECT_EQ(side.host.windowTitle(), title);
  EXPECT_EQ(side.recording.store().state.dataSaved, 1);
  side.recording.onManual();
  EXPECT_EQ(side.host.windowTitle(), std::string(kProgramTitle) + " - [x.lxrd *]");

  RecordSide other;
  other.chooserSwitch.use(chooser);
  other.commands.onOpen();
  EXPECT_EQ(other.host.windowTitle(), title);
  EXPECT_TRUE(other.host.messages().empty());  // nothing unsaved: no question
  ASSERT_EQ(other.list->table()->model()->rowCount(), 3);
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      EXPECT_EQ(other.list->table()->model()->index(row, column).data(),
                side.list->table()->model()->index(row, column).data());
    }
  }
  EXPECT_TRUE(user.finished());
}

// "Save data?" before Open, answered Yes: the save dialog comes first; the
// open dialog follows even when the save dialog was cancelled.
TEST(RecordFileDialogs, OpenAsksToSaveUnsavedRecordsFirst) {
  test::TempDir dir;
  gui::QtFileChooser chooser(nullptr);
  RecordSide side;
  side.chooserSwitch.use(chooser);
  side.putValue(1234);
  side.recording.onManual();

  side.host.scriptAnswers({MessageAnswer::Yes, MessageAnswer::Yes});
  DialogScript user(dir.path(), {{"first"}, {""}, {""}, {""}});
  side.commands.onOpen();
  ASSERT_EQ(side.host.messages().size(), 1u);
  EXPECT_EQ(side.host.messages().back().text, side.texts.text(TextSaveData));
  EXPECT_FALSE(test::fileBytes(dir.file("first.lxrd")).empty());
  EXPECT_EQ(side.recording.store().state.dataSaved, 1);

  side.recording.onManual();
  side.commands.onOpen();  // save cancelled, open cancelled
  EXPECT_EQ(side.host.messages().size(), 2u);
  EXPECT_EQ(side.recording.store().state.dataSaved, 0);
  EXPECT_TRUE(user.finished());
  EXPECT_EQ(user.unexpected(), 0);
}

// Records opened from a file of another meter: Start asks entry 158 with
// No preselected; No keeps the records and starts nothing.
TEST(RecordFileDialogs, StartOnAFileOfAnotherMeterAsksFirst) {
  test::TempDir dir;
  gui::QtFileChooser chooser(nullptr);
  {
    RecordSide writer;
    writer.chooserSwitch.use(chooser);
    writer.recording.onMeterConnected(writer.env.meter);
    writer.putValue(1234);
    for (int i = 0; i < 2; ++i) writer.recording.onManual();
    DialogScript user(dir.path(), {{"other"}});
    writer.commands.onSaveAs();
  }
  RecordSide side;
  side.chooserSwitch.use(chooser);
  side.env.meter.serialNumberText = "987654321";
  DialogScript user(dir.path(), {{"other.lxrd"}});
  side.commands.onOpen();
  ASSERT_EQ(side.list->table()->model()->rowCount(), 2);
  const std::string title = side.host.windowTitle();

  side.host.scriptAnswers({MessageAnswer::No});
  side.recording.onStart();
  ASSERT_EQ(side.host.messages().size(), 1u);
  const MessageRequest& asked = side.host.messages().front();
  EXPECT_EQ(asked.text, side.texts.text(kSerialNumberMismatchEntry));
  EXPECT_EQ(asked.buttons, MessageButtons::YesNo);
  EXPECT_EQ(asked.defaultAnswer, MessageAnswer::No);
  EXPECT_FALSE(side.recording.isRecording());
  EXPECT_EQ(side.list->table()->model()->rowCount(), 2);
  EXPECT_EQ(side.host.windowTitle(), title);

  side.host.scriptAnswers({MessageAnswer::Yes});
  side.recording.onStart();
  EXPECT_TRUE(side.recording.isRecording());
  EXPECT_EQ(side.list->table()->model()->rowCount(), 0);  // a new record list
  EXPECT_EQ(side.host.windowTitle(), std::string(kProgramTitle));
  side.recording.stop();
}

// Save as CSV from the program writes, byte for byte, what
// lumetrevisor-cli export writes from the saved record file.
TEST(RecordFileDialogs, CsvIsWhatTheCommandLineExportWrites) {
  test::TempDir dir;
  gui::QtFileChooser chooser(nullptr);
  RecordSide side;
  side.chooserSwitch.use(chooser);
  side.settings.companyText = "TAVEK";
  side.settings.memoText = "memo";
  side.recording.onMeterConnected(side.env.meter);
  for (int32_t code : {1234, 1000000, 2000000, -1000000, 99}) {
    side.putValue(code);
    side.recording.onManual();
  }
  DialogScript user(dir.path(), {{"run"}, {"gui"}});
  side.commands.onSaveAs();
  ASSERT_FALSE(test::fileBytes(dir.file("run.lxrd")).empty());

  side.commands.onSaveAsCsv();
  const auto fromGui = test::fileBytes(dir.file("gui.csv"));
  ASSERT_FALSE(fromGui.empty());

  const test::CliRun run = test::runCli({"export", dir.file("run.lxrd"), "--csv", dir.file("cli.csv"), "--lang", "en"},
                                        dir.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(fromGui, test::fileBytes(dir.file("cli.csv")));
}

}  // namespace
}  // namespace lmv
