// Option > Read Memory Data on real widgets against the simulated meter:
// the download itself, compared with lumetrevisor-cli memory, the refused
// names, the question before a file is replaced, Cancel, Browse, the values
// kept in the settings file, and the exit while the dialog holds the port.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "base/paths.h"
#include "base/settings.h"
#include "cli_run.h"
#include "gui_fixture.h"
#include "memory/memory_controls.h"
#include "memory_window.h"
#include "qt_ui_host.h"
#include "ui/language_table.h"
#include "ui/main_window_controls.h"
#include "ui/monitor_controls.h"

namespace lmv::test {
namespace {

class MemoryGuiTest : public GuiTest {
 protected:
  // A meter with readings in slots 3 and 7 only, monitored; the Option menu
  // item is usable.
  void startConnected() {
    if (!meter) {
      startMeter();
      meter->simulator().withMeter([](sim::MeterModel& m) {
        m.clearMemory();
        m.setSlot(3, sim::MemoryRecord{0, 1, 123, 0});
        m.setSlot(7, sim::MemoryRecord{0, 4, 123, 0});
      });
      writeSettings(false, meter->portNumber());
    }
    startApp();
    QTest::mouseClick(control(kMainDialog, kMonitorButton), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return monitoring() && app->session().block.statusInvalid() == 0; }));
    ASSERT_TRUE(waitFor([&] { return app->host().action(kMenuReadMemory)->isEnabled(); }));
  }
  gui::MemoryWindow& window() { return app->memoryWindow(); }
  void openMemory() {
    app->host().action(kMenuReadMemory)->trigger();
    ASSERT_TRUE(waitFor([&] { return window().isVisible(); }));
    EXPECT_TRUE(app->logic().monitor().portHandedOff());
  }
  void type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
  }
  void enter(const QString& folder, const QString& name) {
    type(window().folderEdit(), folder);
    type(window().fileNameEdit(), name);
  }
  QString memoryText(int id) { return text(id, kMemoryDialog); }
  // The dialog is gone and the measurement thread owns the port again.
  bool monitorBack() {
    return !window().isVisible() && !app->logic().monitor().portHandedOff() &&
           app->logic().monitor().measurementRunning() && monitoring();
  }
  QString folder() { return QString::fromStdString(dataDir.path()); }
  std::string csvPath(const std::string& name) { return dataDir.file(name + ".csv"); }
  // OK with a good name, answered until the dialog has closed.
  void download(const QString& name) {
    enter(folder(), name);
    QTest::mouseClick(window().okButton(), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return monitorBack(); }));
  }
};

TEST_F(MemoryGuiTest, DownloadsThroughTheMenuAsTheCommandLineDoes) {
  startConnected();
  openMemory();
  EXPECT_EQ(window().windowTitle(), QStringLiteral("Read Memory Data form LX5810/LX5811"));
  EXPECT_EQ(memoryText(kMemoryStatusText), QString());
  for (QWidget* w : window().findChildren<QWidget*>()) {
    if (!w->property(gui::kControlProperty).isValid()) continue;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    ASSERT_NE(iface, nullptr);
    EXPECT_FALSE(iface->text(QAccessible::Name).isEmpty()) << w->property(gui::kControlProperty).toInt();
  }
  EXPECT_EQ(window().folderEdit()->accessibleName(), QStringLiteral("Folder name"));
  // What the user sees while the completion message is up.
  QString statusUnderBox;
  bool okUnderBox = false;
  bool cancelUnderBox = true;
  bool dialogUnderBox = false;
  QString countUnderBox;
  bool escapeIgnored = false;
  boxes.beforeAnswer([&](const SeenBox&) {
    statusUnderBox = memoryText(kMemoryStatusText);
    countUnderBox = memoryText(kMemoryCountText);
    okUnderBox = window().okButton()->isEnabled();
    cancelUnderBox = window().cancelButton()->isEnabled();
    dialogUnderBox = window().isVisible();
    // Without Cancel, neither Esc nor the close box ends the dialog.
    QTest::keyClick(&window(), Qt::Key_Escape);
    window().close();
    escapeIgnored = window().isVisible() && app->memoryDialog().isOpen();
  });
  download(QStringLiteral("gui"));
  ASSERT_EQ(boxes.seen().size(), 1u);
  const SeenBox& box = boxes.seen().front();
  EXPECT_EQ(box.text, QStringLiteral("Completed reading data from LX5810/LX5811."));
  EXPECT_EQ(box.icon, QMessageBox::Information);
  EXPECT_EQ(box.caption, QStringLiteral("LX5810appli"));
  EXPECT_EQ(statusUnderBox, box.text);
  EXPECT_EQ(countUnderBox, QStringLiteral("2 / 2"));
  EXPECT_TRUE(okUnderBox);
  EXPECT_FALSE(cancelUnderBox);
  EXPECT_TRUE(dialogUnderBox);
  EXPECT_TRUE(escapeIgnored);
  EXPECT_EQ(window().progressBar()->value(), 2);
  EXPECT_EQ(window().progressBar()->maximum(), 2);
  EXPECT_EQ(app->logic().settings().memoryFolder, dataDir.path());
  EXPECT_EQ(app->logic().settings().memoryFileName, "gui");
  // The live texts are their controls' descriptions.
  EXPECT_EQ(control(kMemoryDialog, kMemoryCountText)->accessibleDescription(), QStringLiteral("2 / 2"));
  EXPECT_EQ(control(kMemoryDialog, kMemoryStatusText)->accessibleName(), QStringLiteral("Status"));
  EXPECT_EQ(window().fileNameEdit()->accessibleName(), QStringLiteral("File name"));

  // The same meter through the command line, once the program has let go of it.
  ASSERT_TRUE(exitApp());
  const CliRun run = runCli({"memory", "--port", meter->path(), "--csv", "cli.csv", "--lang", "en", "--settings",
                             dataDir.file("none.ini")},
                            dataDir.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string fromGui = wholeFile(csvPath("gui"));
  EXPECT_TRUE(fromGui.ends_with("\r\n3,200,12.3,lx,\r\n7,200000,12300,lx,\r\n")) << fromGui;
  EXPECT_EQ(fromGui, wholeFile(csvPath("cli")));
}

struct RefusedName {
  const char* name;
  const char* fileName;
  const char* message;
};

class MemoryNameRefused : public MemoryGuiTest, public ::testing::WithParamInterface<RefusedName> {};

TEST_P(MemoryNameRefused, ItsMessageThenTheFocusInTheName) {
  startConnected();
  openMemory();
  enter(folder(), QString::fromUtf8(GetParam().fileName));
  // Enter in the folder edit is OK, the default button.
  window().folderEdit()->setFocus();
  QTest::keyClick(window().folderEdit(), Qt::Key_Return);
  ASSERT_EQ(boxes.seen().size(), 1u);
  EXPECT_EQ(boxes.seen().front().text, QString::fromUtf8(GetParam().message));
  EXPECT_EQ(boxes.seen().front().icon, QMessageBox::Critical);
  EXPECT_TRUE(window().isVisible());
  EXPECT_EQ(window().focusWidget(), window().fileNameEdit());
  EXPECT_TRUE(window().okButton()->isEnabled());
  EXPECT_TRUE(app->logic().monitor().portHandedOff());
  // Esc is Cancel: the monitor gets the port back.
  QTest::keyClick(&window(), Qt::Key_Escape);
  ASSERT_TRUE(waitFor([&] { return monitorBack(); }));
}

INSTANTIATE_TEST_SUITE_P(
    Names, MemoryNameRefused,
    ::testing::Values(RefusedName{"Slash", "a/b",
                                  "The following character(s) cannot be used in filename.  \n\n        \\ / : , ; * ? "
                                  "\" < > |"},
                      RefusedName{"Empty", "", "Enter a filename for saving.  "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MemoryGuiTest, NoKeepsAnExistingFileAndTheDialogOpen) {
  startConnected();
  { std::ofstream(csvPath("kept"), std::ios::binary) << "mine"; }
  openMemory();
  enter(folder(), QStringLiteral("kept"));
  boxes.script({QMessageBox::No});
  QTest::mouseClick(window().okButton(), Qt::LeftButton);
  ASSERT_EQ(boxes.seen().size(), 1u);
  const SeenBox& box = boxes.seen().front();
  EXPECT_EQ(box.text, QStringLiteral("A file with the designated filename already exists.  \n\nOverwrite?"));
  EXPECT_EQ(box.buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box.defaultButton, QMessageBox::No);
  EXPECT_EQ(box.icon, QMessageBox::Warning);
  EXPECT_EQ(wholeFile(csvPath("kept")), "mine");
  EXPECT_TRUE(window().isVisible());
  EXPECT_TRUE(window().okButton()->isEnabled());
  EXPECT_TRUE(window().cancelButton()->isEnabled());
  QTest::mouseClick(window().cancelButton(), Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] { return monitorBack(); }));
  EXPECT_EQ(wholeFile(csvPath("kept")), "mine");
}

TEST_F(MemoryGuiTest, CancelPutsBackTheConfirmedValuesWhichOutliveTheProgram) {
  startConnected();
  openMemory();
  download(QStringLiteral("first"));
  openMemory();
  EXPECT_EQ(window().folderText(), folder());
  EXPECT_EQ(window().fileNameText(), QStringLiteral("first"));
  // Nothing of the last download is left in the dialog.
  EXPECT_EQ(window().progressBar()->value(), 0);
  EXPECT_EQ(memoryText(kMemoryCountText), QString());
  enter(QStringLiteral("/elsewhere"), QStringLiteral("second"));
  QTest::keyClick(&window(), Qt::Key_Escape);
  ASSERT_TRUE(waitFor([&] { return monitorBack(); }));
  openMemory();
  EXPECT_EQ(window().folderText(), folder());
  EXPECT_EQ(window().fileNameText(), QStringLiteral("first"));
  QTest::keyClick(&window(), Qt::Key_Escape);
  ASSERT_TRUE(waitFor([&] { return monitorBack(); }));

  ASSERT_TRUE(exitApp());
  const SettingsReadResult saved = readSettings(settingsFilePath(dataDir.path()));
  EXPECT_EQ(saved.settings.memoryFolder, dataDir.path());
  EXPECT_EQ(saved.settings.memoryFileName, "first");
  stopApp();
  startConnected();
  openMemory();
  EXPECT_EQ(window().folderText(), folder());
  EXPECT_EQ(window().fileNameText(), QStringLiteral("first"));
  QTest::keyClick(&window(), Qt::Key_Escape);
  ASSERT_TRUE(waitFor([&] { return monitorBack(); }));
}

// Answers the next folder chooser: with a folder, or cancelled.
class FolderChooserAnswer : public QObject {
 public:
  explicit FolderChooserAnswer(QString folder) : folder_(std::move(folder)) {
    connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
    timer_.start(10);
  }
  bool shown() const { return shown_; }
  QString title;
  QString preselected;
  bool directoriesOnly = false;

 private:
  void tick() {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog || shown_) return;
    shown_ = true;
    title = dialog->windowTitle();
    preselected = dialog->directory().absolutePath();
    directoriesOnly = dialog->fileMode() == QFileDialog::Directory && dialog->testOption(QFileDialog::ShowDirsOnly);
    if (folder_.isEmpty()) {
      QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
      return;
    }
    dialog->setDirectory(folder_);
    dialog->selectFile(folder_);
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
  }

  QTimer timer_;
  QString folder_;
  bool shown_ = false;
};

struct BrowseCase {
  const char* name;
  bool choose;  // a folder is chosen, else the chooser is cancelled
};

class MemoryBrowse : public MemoryGuiTest, public ::testing::WithParamInterface<BrowseCase> {};

TEST_P(MemoryBrowse, TheChosenFolderBecomesTheFolderText) {
  startConnected();
  const std::string chosen = dataDir.file("chosen");
  std::filesystem::create_directory(chosen);
  openMemory();
  type(window().folderEdit(), folder());
  FolderChooserAnswer answer(GetParam().choose ? QString::fromStdString(chosen) : QString());
  QTest::mouseClick(window().browseButton(), Qt::LeftButton);
  ASSERT_TRUE(answer.shown());
  EXPECT_EQ(answer.title, QStringLiteral("Select destination folder"));
  EXPECT_EQ(answer.preselected, folder());
  EXPECT_TRUE(answer.directoriesOnly);
  EXPECT_EQ(window().folderText(), GetParam().choose ? QString::fromStdString(chosen) : folder());
  QTest::keyClick(&window(), Qt::Key_Escape);
  ASSERT_TRUE(waitFor([&] { return monitorBack(); }));
}

INSTANTIATE_TEST_SUITE_P(Answers, MemoryBrowse,
                         ::testing::Values(BrowseCase{"Chosen", true}, BrowseCase{"Cancelled", false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ExitCase {
  const char* name;
  bool downloadFirst;  // OK before the dialog closes, else Cancel
};

class MemoryExit : public MemoryGuiTest, public ::testing::WithParamInterface<ExitCase> {};

// The exit waits for the dialog; then the meter is returned to local
// operation and the port closed.
TEST_P(MemoryExit, WaitsForTheDialogThatHoldsThePort) {
  startConnected();
  openMemory();
  enter(folder(), QStringLiteral("atexit"));
  boxes.script({QMessageBox::Yes});
  app->host().action(kMenuExit)->trigger();
  ASSERT_EQ(boxes.seen().size(), 1u);
  EXPECT_FALSE(finished);
  EXPECT_TRUE(window().isVisible());
  EXPECT_TRUE(app->logic().monitor().portHandedOff());
  if (GetParam().downloadFirst) {
    QTest::mouseClick(window().okButton(), Qt::LeftButton);
  } else {
    QTest::keyClick(&window(), Qt::Key_Escape);
  }
  ASSERT_TRUE(waitFor([&] { return finished; }));
  EXPECT_FALSE(window().isVisible());
  EXPECT_FALSE(app->logic().monitor().measurementRunning());
  EXPECT_EQ(app->session().meterConnected, 0);
  EXPECT_FALSE(app->session().port.isOpen());
  const auto log = meter->simulator().commandLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), ":SYST:GTL");
  EXPECT_EQ(std::filesystem::exists(csvPath("atexit")), GetParam().downloadFirst);
  if (GetParam().downloadFirst) {
    EXPECT_TRUE(wholeFile(csvPath("atexit")).ends_with("\r\n7,200000,12300,lx,\r\n"));
  }
}

INSTANTIATE_TEST_SUITE_P(Ways, MemoryExit,
                         ::testing::Values(ExitCase{"AfterTheDownload", true}, ExitCase{"AfterCancel", false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lmv::test
