// The memory-download dialog's handlers against the simulated meter.
#include "memory/memory_dialog.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <vector>

#include "fake_ui_host.h"
#include "link/serial_port.h"
#include "memory/memory_destination.h"
#include "simulator.h"
#include "ui/language_table.h"

namespace lmv {
namespace {

struct RecordedBars final : ProgressBars {
  void setProgressRange(int control, int maximum) override { range[control] = maximum; }
  void setProgressPosition(int control, int position) override { position_[control] = position; }
  std::map<int, int> range, position_;
};

// The dialog as the user sees it when a message box comes up.
struct StateAtMessage {
  std::string message;
  std::string status;
  bool ok = false;
  bool browse = false;
  bool fileName = false;
  bool cancel = false;
  bool open = false;
};

class SnapshotUiHost final : public test::FakeUiHost {
 public:
  MessageAnswer showMessage(const MessageRequest& request) override {
    const auto on = [&](int control) { return enabled(control, kMemoryDialog); };
    snapshots.push_back({request.text, text(kMemoryStatusText, kMemoryDialog), on(kDialogOk),
                         on(kMemoryBrowseButton), on(kMemoryFileNameEdit), on(kDialogCancel),
                         dialogOpen(kMemoryDialog)});
    return FakeUiHost::showMessage(request);
  }
  std::vector<StateAtMessage> snapshots;
};

class MemoryDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    texts.fill(kLanguageEnglish);
    char pattern[] = "/tmp/lmv-memdlg-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder = pattern;
    ASSERT_TRUE(sim.start());
    sim.withMeter([](sim::MeterModel& m) {
      m.clearMemory();
      m.setSlot(2, sim::MemoryRecord{0, 1, 123, 0});
      m.setSlot(5, sim::MemoryRecord{0, 1, 456, 0});
    });
    port.configure(19200);
    ASSERT_TRUE(port.open(1));
  }
  void TearDown() override {
    port.close();
    sim.stop();
    std::system(("rm -rf '" + folder + "'").c_str());
  }

  void openDialog(const std::string& lastFolder, const std::string& lastName) {
    dialog.open(lastFolder, lastName, {{0, "SN", "1.00"}, false, csvSymbols(0, 0)}, [this] { ++closed; });
  }
  std::string text(int control) const { return ui.text(control, kMemoryDialog); }
  // The file in the test folder (name without ".csv") or, when missing,
  // in a folder that does not exist.
  void okWith(const std::string& name, bool folderMissing = false) {
    dialog.onOk(folderMissing ? folder + "/missing" : folder, name);
  }
  bool enabled(int control) const { return ui.enabled(control, kMemoryDialog); }

  LanguageTable texts;
  SnapshotUiHost ui;
  RecordedBars bars;
  sim::Simulator sim;
  SerialPort port{[this](int32_t) { return sim.slavePath(); }};
  MemoryDialog dialog{ui, port, texts, bars};
  std::string folder;
  int closed = 0;
};

TEST_F(MemoryDialogTest, OpenShowsTheTextsAndTheLastValues) {
  openDialog("/data", "last");
  EXPECT_TRUE(dialog.isOpen());
  EXPECT_EQ(ui.windowTitle(kMemoryDialog), "Read Memory Data form LX5810/LX5811");
  EXPECT_EQ(text(kMemoryGroupBox), "Save setting");
  EXPECT_EQ(text(kMemoryFolderLabel), "Folder name：");
  EXPECT_EQ(text(kMemoryFileNameLabel), "File name：");
  EXPECT_EQ(text(kMemoryBrowseButton), "Browse");
  EXPECT_EQ(text(kDialogCancel), "Cancel");
  EXPECT_EQ(text(kMemoryFolderEdit), "/data");
  EXPECT_EQ(text(kMemoryFileNameEdit), "last");
  EXPECT_EQ(text(kMemoryStatusText), "");
}

TEST_F(MemoryDialogTest, OkDownloadsShowsProgressAndCloses) {
  openDialog("/data", "");
  dialog.onOk(folder, "data");
  EXPECT_FALSE(enabled(kDialogOk));
  EXPECT_FALSE(enabled(kDialogCancel));
  dialog.onCancel();  // disabled while reading: nothing happens
  ASSERT_TRUE(ui.pumpUntil([&] { return closed == 1; }));
  EXPECT_FALSE(dialog.isOpen());
  EXPECT_EQ(text(kMemoryStatusText), "Completed reading data from LX5810/LX5811.");
  EXPECT_EQ(text(kMemoryCountText), "2 / 2");
  EXPECT_EQ(text(kMemoryRemainLabel), "Remain：");
  EXPECT_EQ(text(kMemoryElapsedLabel), "Elapsed：");
  EXPECT_EQ(bars.range[kMemoryProgressBar], 2);
  EXPECT_EQ(bars.position_[kMemoryProgressBar], 2);
  EXPECT_EQ(bars.range[kMemoryBufferGauge], 10);
  EXPECT_TRUE(enabled(kDialogOk));
  EXPECT_EQ(dialog.confirmedFolder(), folder);
  EXPECT_EQ(dialog.confirmedFileName(), "data");
  EXPECT_EQ(::access((folder + "/data.csv").c_str(), F_OK), 0);
}

TEST_F(MemoryDialogTest, InvalidInputKeepsTheDialogOpen) {
  openDialog("/data", "kept");
  dialog.onOk(folder, "");
  EXPECT_TRUE(dialog.isOpen());
  EXPECT_EQ(ui.messages().back().text, "Enter a filename for saving.  ");
  EXPECT_TRUE(enabled(kDialogOk));
  EXPECT_EQ(dialog.confirmedFileName(), "kept");
  EXPECT_EQ(closed, 0);
}

TEST_F(MemoryDialogTest, CancelPutsTheConfirmedValuesBack) {
  openDialog("/data", "kept");
  dialog.onFolderChosen("/elsewhere");
  EXPECT_EQ(text(kMemoryFolderEdit), "/elsewhere");
  dialog.onFolderChosen("");  // the folder browser cancelled
  EXPECT_EQ(text(kMemoryFolderEdit), "/elsewhere");
  dialog.onCancel();
  EXPECT_EQ(text(kMemoryFolderEdit), "/data");
  EXPECT_EQ(text(kMemoryFileNameEdit), "kept");
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(dialog.isOpen());
}

TEST_F(MemoryDialogTest, AFileThatCannotBeCreatedLeavesTheDialogOpen) {
  openDialog("/data", "");
  dialog.onOk(folder + "/missing", "data");
  ASSERT_TRUE(ui.pumpUntil([&] { return enabled(kDialogOk); }));
  EXPECT_TRUE(dialog.isOpen());
  EXPECT_EQ(closed, 0);
  EXPECT_EQ(ui.messages().back().text, "Can not open data.csv.");
  EXPECT_TRUE(enabled(kMemoryBrowseButton));
  EXPECT_TRUE(enabled(kMemoryFileNameEdit));
  EXPECT_TRUE(enabled(kDialogCancel));
  dialog.onOk(folder, "data");
  ASSERT_TRUE(ui.pumpUntil([&] { return closed == 1; }));
}

TEST_F(MemoryDialogTest, NothingStoredClosesAtOnce) {
  sim.withMeter([](sim::MeterModel& m) { m.clearMemory(); });
  openDialog("/data", "");
  dialog.onOk(folder, "data");
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(ui.messages().back().text, "Data has not been saved.");
}

struct EndingCase {
  const char* name;
  std::function<void(sim::Simulator&)> arrange;
  bool folderMissing;
  int message;           // language entry of the message box
  const char* status;    // 1102 when the box comes up
  bool okBeforeMessage;  // OK already usable under the box
  bool closes;
};

class MemoryDialogEnding : public MemoryDialogTest, public ::testing::WithParamInterface<EndingCase> {};

// The result is in the dialog before the message tells it; the other inputs
// come back once the message has been answered.
TEST_P(MemoryDialogEnding, StatusAndOkComeBeforeTheMessageTheRestAfterIt) {
  const EndingCase& c = GetParam();
  if (c.arrange) c.arrange(sim);
  openDialog("/data", "");
  okWith("data", c.folderMissing);
  ASSERT_TRUE(ui.pumpUntil([&] { return !ui.snapshots.empty() && enabled(kDialogCancel); }));
  ASSERT_EQ(ui.snapshots.size(), 1u);
  const StateAtMessage& at = ui.snapshots.front();
  EXPECT_EQ(at.message, texts.format(c.message, "data.csv"));
  EXPECT_EQ(at.status, c.status);
  EXPECT_EQ(at.ok, c.okBeforeMessage);
  EXPECT_FALSE(at.browse);
  EXPECT_FALSE(at.fileName);
  EXPECT_FALSE(at.cancel);
  EXPECT_TRUE(at.open);
  for (int control : {kDialogOk, kMemoryBrowseButton, kMemoryFileNameEdit, kDialogCancel})
    EXPECT_TRUE(enabled(control)) << control;
  EXPECT_EQ(dialog.isOpen(), !c.closes);
  EXPECT_EQ(closed, c.closes ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, MemoryDialogEnding,
    ::testing::Values(
        EndingCase{"Completed", {}, false, TextMemoryReadCompleted, "Completed reading data from LX5810/LX5811.", true,
                   true},
        EndingCase{"ReplyBrokeOff",
                   [](sim::Simulator& s) {
                     s.addFault(sim::Fault{sim::FaultKind::MissingByte, ":MEM:DATA? 5", -1, 1});
                   },
                   false, TextMemoryReadError, "Reading data Error. \n\nCan not read all data.", true, true},
        EndingCase{"NothingStored", [](sim::Simulator& s) { s.withMeter([](sim::MeterModel& m) { m.clearMemory(); }); },
                   false, TextDataNotSaved, "", false, true},
        EndingCase{"FileNotCreated", {}, true, TextCannotOpenFile, "", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MemoryDialogTest, ReopeningShowsNothingOfTheLastDownload) {
  openDialog("/data", "");
  okWith("data");
  ASSERT_TRUE(ui.pumpUntil([&] { return closed == 1; }));
  EXPECT_EQ(bars.position_[kMemoryProgressBar], 2);
  openDialog(dialog.confirmedFolder(), dialog.confirmedFileName());
  EXPECT_EQ(bars.position_[kMemoryProgressBar], 0);
  EXPECT_EQ(bars.position_[kMemoryBufferGauge], 0);
  for (int control : {kMemoryStatusText, kMemoryCountText, kMemoryRemainLabel, kMemoryRemainText,
                      kMemoryElapsedLabel, kMemoryElapsedText})
    EXPECT_EQ(text(control), "") << control;
  EXPECT_EQ(text(kMemoryFolderEdit), folder);
  EXPECT_EQ(text(kMemoryFileNameEdit), "data");
}

TEST_F(MemoryDialogTest, EachOpeningSpeaksTheCurrentLanguage) {
  openDialog("/data", "");
  dialog.onCancel();
  texts.fill(kLanguageJapanese);
  openDialog("/data", "");
  EXPECT_EQ(ui.windowTitle(kMemoryDialog), texts.text(TextMemoryTitle));
  EXPECT_EQ(text(kMemoryGroupBox), "保存設定");
  EXPECT_EQ(text(kMemoryFolderLabel), texts.text(TextFolderNameLabel));
  EXPECT_EQ(text(kMemoryFileNameLabel), texts.text(TextFileNameLabel));
  EXPECT_EQ(text(kMemoryBrowseButton), texts.text(TextBrowse));
  EXPECT_EQ(text(kDialogCancel), "キャンセル");
  okWith("data");
  ASSERT_TRUE(ui.pumpUntil([&] { return closed == 2; }));
  EXPECT_EQ(text(kMemoryStatusText), "データ読み込み完了");
  EXPECT_EQ(text(kMemoryRemainLabel), texts.text(TextRemainLabel));
  EXPECT_EQ(ui.messages().back().text, "データ読み込み完了");
}

}  // namespace
}  // namespace lmv
