// The memory-download dialog's handlers against the simulated meter.
#include "memory/memory_dialog.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <map>

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
  bool enabled(int control) const { return ui.enabled(control, kMemoryDialog); }

  LanguageTable texts;
  test::FakeUiHost ui;
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

}  // namespace
}  // namespace lmv
