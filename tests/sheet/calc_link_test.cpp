// The link with the LibreOffice backend against a real headless office.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "fake_ui_host.h"
#include "headless_office.h"
#include "office_probe.h"
#include "sheet/sheet_link.h"
#include "sheet/uno/uno_sheet_office.h"

namespace lmv::test {
namespace {

const std::vector<std::string> kNoMessages;

MeasuredValue reading(const char* value, int32_t over = 0) {
  MeasuredValue v;
  v.rangeText = "200";
  v.valueText = value;
  v.unitText = "lx";
  v.functionText = "LUX";
  v.overMark = over;
  return v;
}

class CalcLinkTest : public ::testing::Test {
 protected:
  CalcLinkTest() { texts.fill(kLanguageEnglish); }

  void SetUp() override { ASSERT_TRUE(office.running()); }

  std::unique_ptr<SheetLink> makeLink(OfficeOptions options) {
    SheetLink::Hooks hooks;
    hooks.stopCapture = [this] { ++stopCaptures; };
    hooks.closed = [this] { ++closes; };
    return std::make_unique<SheetLink>(makeUnoSheetOffice(std::move(options)), ui, texts, hooks);
  }
  // Never starts an office of its own: the test's office is the one.
  std::unique_ptr<SheetLink> makeLink() {
    OfficeOptions options;
    options.pipeName = office.pipeName();
    options.startCommand.clear();
    return makeLink(options);
  }
  RowWrite write(SheetLink& link, const MeasuredValue& value) {
    return link.writeRow(value, oleDateFromFields({2024, 3, 15, 14, 5, 30}), counters);
  }
  std::vector<std::string> row(const SheetCell& start) {
    std::vector<std::string> out;
    for (int i = 0; i < 7; ++i) out.push_back(probe.text({start.sheet, start.column + i, start.row}));
    return out;
  }
  std::vector<std::string> messageTexts() const {
    std::vector<std::string> out;
    for (const auto& m : ui.messages()) out.push_back(m.text);
    return out;
  }

  HeadlessOffice office;
  OfficeProbe probe{office.pipeName()};
  FakeUiHost ui;
  LanguageTable texts;
  PasteCounters counters;
  int stopCaptures = 0;
  int closes = 0;
};

const char* const kWriteError = "Writing Error.\nWriting to a cell outside of the range.";
const char* const kClosed = "The data caputure is ended,\nbecause Excel is closed.";

TEST_F(CalcLinkTest, RowsGoToTheCursorOfTheRunningDocument) {
  probe.newDocument();
  probe.insertSheet("Second");
  probe.showSheet(1);
  const int32_t defaultWidth = probe.columnWidth(0, 2);
  auto link = makeLink();
  ASSERT_TRUE(link->connect(OpenMode::NewOrRunning, ""));
  EXPECT_EQ(probe.documentCount(), 1);  // the open document, no new one

  // Rows at the cursor, the cursor on to the next row's first column; the
  // link has shown the first sheet.
  probe.moveCursor({0, 2, 3});
  ASSERT_EQ(write(*link, reading("123.4")), RowWrite::Written);
  ASSERT_EQ(write(*link, reading("200.0", 1)), RowWrite::Written);
  EXPECT_EQ(row({0, 2, 3}), (std::vector<std::string>{"1", "2024/03/15", "14:05:30", "200", "123.4", "lx", ""}));
  EXPECT_EQ(row({0, 2, 4}), (std::vector<std::string>{"2", "2024/03/15", "14:05:30", "200", "200.0", "lx", "OVER"}));
  EXPECT_EQ(probe.cursor(), (SheetCell{0, 2, 5}));
  for (int column : {2, 3, 4, 6}) {
    EXPECT_TRUE(probe.holdsText({0, column, 3})) << "column " << column;
  }
  EXPECT_EQ(probe.columnWidth(0, 2), defaultWidth);
  EXPECT_EQ(probe.columnWidth(0, 3), 2094);
  EXPECT_EQ(probe.columnWidth(0, 4), 1776);
  for (int column = 5; column <= 8; ++column) EXPECT_EQ(probe.columnWidth(0, column), 1702) << column;

  // With a range selected, the row goes to the range's cell cursor.
  probe.moveCursor({0, 5, 10});
  probe.selectRange({0, 5, 10}, {0, 7, 12});
  ASSERT_EQ(write(*link, reading("1.5")), RowWrite::Written);
  EXPECT_EQ(probe.text({0, 5, 10}), "3");
  EXPECT_EQ(probe.cursor(), (SheetCell{0, 5, 11}));
  EXPECT_EQ(messageTexts(), kNoMessages);

  // Beyond the sheet's last start column: refused until the cursor moves.
  const SheetBounds bounds = probe.bounds();
  probe.moveCursor({0, bounds.lastColumn - 5, 20});
  ASSERT_EQ(write(*link, reading("9")), RowWrite::Refused);
  EXPECT_EQ(probe.text({0, bounds.lastColumn - 5, 20}), "");
  EXPECT_EQ(messageTexts(), std::vector<std::string>{kWriteError});
  EXPECT_EQ(stopCaptures, 1);
  ASSERT_EQ(write(*link, reading("9")), RowWrite::Refused);
  probe.moveCursor({0, bounds.lastColumn - 6, 20});
  ASSERT_EQ(write(*link, reading("9")), RowWrite::Written);
  EXPECT_EQ(probe.text({0, bounds.lastColumn - 6, 20}), "4");
  EXPECT_EQ(probe.text({0, bounds.lastColumn, 20}), "");
  EXPECT_EQ(probe.text({0, bounds.lastColumn - 1, 20}), "lx");

  // The last row is written; the next capture there is refused, and a moved
  // cursor releases it.
  probe.moveCursor({0, 1, bounds.lastRow});
  ASSERT_EQ(write(*link, reading("7")), RowWrite::Written);
  EXPECT_EQ(probe.text({0, 1, bounds.lastRow}), "5");
  EXPECT_EQ(probe.cursor(), (SheetCell{0, 7, bounds.lastRow}));
  EXPECT_EQ(ui.messages().size(), 2u);
  ASSERT_EQ(write(*link, reading("7")), RowWrite::Refused);
  EXPECT_EQ(ui.messages().size(), 3u);
  probe.moveCursor({0, 1, bounds.lastRow - 1});
  ASSERT_EQ(write(*link, reading("7")), RowWrite::Written);
  EXPECT_EQ(probe.text({0, 1, bounds.lastRow - 1}), "6");

  // The user closes the document: the watch ends the link; the office stays.
  probe.closeDocument();
  ASSERT_TRUE(ui.pumpUntil([&] { return closes == 1; }));
  EXPECT_FALSE(link->sheetConnected());
  EXPECT_EQ(ui.messages().back().text, kClosed);
  EXPECT_EQ(write(*link, reading("7")), RowWrite::Dropped);
  EXPECT_EQ(probe.documentCount(), 0);
}

TEST_F(CalcLinkTest, NoDocumentOpenGivesANewOne) {
  auto link = makeLink();
  ASSERT_TRUE(link->connect(OpenMode::NewOrRunning, ""));
  EXPECT_EQ(probe.documentCount(), 1);
  probe.useCurrentDocument();
  probe.moveCursor({0, 1, 1});
  ASSERT_EQ(write(*link, reading("0.05")), RowWrite::Written);
  EXPECT_EQ(probe.text({0, 5, 1}), "0.05");
}

TEST_F(CalcLinkTest, ChosenFileIsOpenedOnceAndWritten) {
  const std::string path = (office.folder() / "files" / "lux run.xlsx").string();
  probe.newDocument();
  probe.setText({0, 1, 1}, "kept");
  probe.saveAs(path);
  probe.closeDocument();
  ASSERT_EQ(probe.documentCount(), 0);

  auto link = makeLink();
  ASSERT_TRUE(link->connect(OpenMode::ChooseFile, path));
  EXPECT_EQ(probe.documentCount(), 1);
  probe.useCurrentDocument();
  EXPECT_EQ(probe.text({0, 1, 1}), "kept");
  probe.moveCursor({0, 1, 2});
  ASSERT_EQ(write(*link, reading("45.6")), RowWrite::Written);
  EXPECT_EQ(row({0, 1, 2}), (std::vector<std::string>{"1", "2024/03/15", "14:05:30", "200", "45.6", "lx", ""}));

  // Chosen again while open: the same document, the row goes on below.
  auto second = makeLink();
  ASSERT_TRUE(second->connect(OpenMode::ChooseFile, path));
  EXPECT_EQ(probe.documentCount(), 1);
  ASSERT_EQ(write(*second, reading("45.7")), RowWrite::Written);
  EXPECT_EQ(probe.text({0, 5, 3}), "45.7");

  // Files that cannot be opened as a spreadsheet.
  const std::string notes = (office.folder() / "files" / "notes.txt").string();
  std::ofstream(notes) << "not a spreadsheet\n";
  for (const std::string& bad : {(office.folder() / "files" / "missing.xlsx").string(), notes}) {
    SCOPED_TRACE(bad);
    auto failing = makeLink();
    EXPECT_FALSE(failing->connect(OpenMode::ChooseFile, bad));
    EXPECT_FALSE(failing->sheetConnected());
    EXPECT_EQ(ui.messages().back().text, "Can not open " + bad + ".");
    EXPECT_EQ(ui.messages().back().icon, MessageIcon::Error);
  }
  EXPECT_EQ(probe.documentCount(), 1);
  EXPECT_EQ(closes, 0);
}

TEST_F(CalcLinkTest, OfficeKilledWhileWritingEndsTheCapture) {
  auto link = makeLink();
  ASSERT_TRUE(link->connect(OpenMode::NewOrRunning, ""));
  std::atomic<int> rows{0};
  std::atomic<bool> done{false};
  std::thread killer([&] {
    while (rows.load() < 3 && !done.load()) std::this_thread::yield();
    office.kill();
  });
  RowWrite result = RowWrite::Written;
  for (int i = 0; i < 10000 && result == RowWrite::Written; ++i) {
    result = write(*link, reading("1.0"));
    rows.store(counters.rowNumber);
  }
  done = true;
  killer.join();
  EXPECT_GE(counters.rowNumber, 3);
  EXPECT_NE(result, RowWrite::Written);
  ASSERT_TRUE(ui.pumpUntil([&] { return closes == 1; }));
  EXPECT_FALSE(link->sheetConnected());
  EXPECT_EQ(ui.messages().back().text, kClosed);
  EXPECT_EQ(ui.messages().back().icon, MessageIcon::Information);
  EXPECT_FALSE(ui.timerRunning(kTimerSheetWatch));
  EXPECT_EQ(write(*link, reading("1.0")), RowWrite::Dropped);
}

// Without an office on the pipe, the link starts one with that pipe.
TEST(CalcLinkStart, StartsAnOfficeWhenNoneListens) {
  char pattern[] = "/tmp/lmv-start-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::filesystem::path folder = pattern;
  const std::string pipe = "lmv_start_" + folder.filename().string().substr(10);
  struct Cleanup {
    std::filesystem::path folder;
    std::string pipe;
    ~Cleanup() {
      killProcessesNaming(pipe);
      std::error_code ec;
      std::filesystem::remove_all(folder, ec);
    }
  } cleanup{folder, pipe};
  ASSERT_FALSE(officeListens(pipe));

  OfficeOptions options;
  options.pipeName = pipe;
  options.startCommand = {"env",       "HOME=" + (folder / "home").string(),
                          "soffice",   "--headless",
                          "--norestore", "--nologo",
                          "--nodefault", "-env:UserInstallation=file://" + (folder / "profile").string()};
  options.startTimeout = std::chrono::seconds(60);
  FakeUiHost ui;
  LanguageTable texts;
  texts.fill(kLanguageEnglish);
  SheetLink link(makeUnoSheetOffice(options), ui, texts);
  ASSERT_TRUE(link.connect(OpenMode::NewOrRunning, ""));
  EXPECT_TRUE(officeListens(pipe));
  PasteCounters counters;
  EXPECT_EQ(link.writeRow(reading("3.3"), oleDateNow(), counters), RowWrite::Written);
  EXPECT_TRUE(ui.messages().empty());
}

TEST(CalcLinkStart, NoOfficeToReachOrStartIsReported) {
  const std::vector<std::vector<std::string>> commands = {{}, {"/nonexistent/soffice", "--nologo"}};
  for (const auto& command : commands) {
    SCOPED_TRACE(command.empty() ? "no start command" : command[0]);
    OfficeOptions options;
    options.pipeName = "lmv_nobody_listens_" + std::to_string(::getpid());
    options.startCommand = command;
    FakeUiHost ui;
    LanguageTable texts;
    texts.fill(kLanguageEnglish);
    SheetLink link(makeUnoSheetOffice(options), ui, texts);
    EXPECT_FALSE(link.connect(OpenMode::NewOrRunning, ""));
    EXPECT_FALSE(link.sheetConnected());
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Excel program not found.");
    EXPECT_EQ(ui.messages()[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(ui.timerRunning(kTimerSheetWatch));
  }
}

}  // namespace
}  // namespace lmv::test
