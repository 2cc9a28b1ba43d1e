// The link's rules against a scripted office.
#include "sheet/sheet_link.h"

#include <gtest/gtest.h>

#include <memory>

#include "fake_sheet_office.h"
#include "fake_ui_host.h"

namespace lmv::test {
namespace {

// A user interface whose message boxes let other work run while they are
// open, as a real modal box does.
class ModalUi : public FakeUiHost {
 public:
  std::function<void()> whileMessageShown;
  MessageAnswer showMessage(const MessageRequest& request) override {
    const MessageAnswer answer = FakeUiHost::showMessage(request);
    if (auto run = std::exchange(whileMessageShown, nullptr)) run();
    return answer;
  }
};

class SheetLinkTest : public ::testing::Test {
 protected:
  SheetLinkTest() {
    texts.fill(kLanguageEnglish);
    SheetLink::Hooks hooks;
    hooks.stopCapture = [this] { ++stopCaptures; };
    hooks.closed = [this] { ++closes; };
    link = std::make_unique<SheetLink>(std::make_unique<FakeSheetOffice>(office), ui, texts, hooks);
  }

  void connect() { ASSERT_TRUE(link->connect(OpenMode::NewOrRunning, "")); }
  RowWrite write() { return link->writeRow(value, time, counters); }
  std::vector<std::string> messageTexts() const {
    std::vector<std::string> out;
    for (const auto& m : ui.messages()) out.push_back(m.text);
    return out;
  }

  std::shared_ptr<FakeSheetOffice::State> office = std::make_shared<FakeSheetOffice::State>();
  ModalUi ui;
  LanguageTable texts;
  int stopCaptures = 0;
  int closes = 0;
  std::unique_ptr<SheetLink> link;
  MeasuredValue value = [] {
    MeasuredValue v;
    v.rangeText = "200";
    v.valueText = "123.4";
    v.unitText = "lx";
    return v;
  }();
  OleDate time = oleDateFromFields({2024, 5, 6, 7, 8, 9});
  PasteCounters counters;
};

TEST_F(SheetLinkTest, ConnectStartsTheWatch) {
  office->cursor = {0, 3, 5};
  ASSERT_TRUE(link->connect(OpenMode::ChooseFile, "/data/run.xlsx"));
  EXPECT_TRUE(link->sheetConnected());
  EXPECT_EQ(office->lastMode, OpenMode::ChooseFile);
  EXPECT_EQ(office->lastPath, "/data/run.xlsx");
  EXPECT_TRUE(ui.timerRunning(kTimerSheetWatch));
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(SheetLinkTest, FailedConnectSaysWhyAndStaysUnconnected) {
  struct Case {
    OfficeConnect result;
    const char* text;
    MessageIcon icon;
  };
  const Case cases[] = {
      {OfficeConnect::NoOffice, "Excel program not found.", MessageIcon::Warning},
      {OfficeConnect::FileNotOpened, "Can not open /data/broken.xlsx.", MessageIcon::Error},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    office->connectResult = c.result;
    const int releases = office->releases;
    EXPECT_FALSE(link->connect(OpenMode::ChooseFile, "/data/broken.xlsx"));
    EXPECT_FALSE(link->sheetConnected());
    EXPECT_FALSE(ui.timerRunning(kTimerSheetWatch));
    EXPECT_GT(office->releases, releases);
    ASSERT_FALSE(ui.messages().empty());
    EXPECT_EQ(ui.messages().back().text, c.text);
    EXPECT_EQ(ui.messages().back().icon, c.icon);
    EXPECT_EQ(ui.messages().back().ownerDialog, kPasteDialog);
    EXPECT_EQ(write(), RowWrite::Dropped);
  }
}

TEST_F(SheetLinkTest, RowsGoToTheCursorWhichMovesToTheNextRow) {
  connect();
  office->cursor = {1, 4, 10};
  counters = {5, 2};
  ASSERT_EQ(write(), RowWrite::Written);
  value.overMark = 1;
  ASSERT_EQ(write(), RowWrite::Written);

  EXPECT_EQ(office->row({1, 4, 10}), (std::vector<std::string>{"6", "2024/05/06", "07:08:09", "200", "123.4", "lx", ""}));
  EXPECT_EQ(office->row({1, 4, 11}),
            (std::vector<std::string>{"7", "2024/05/06", "07:08:09", "200", "123.4", "lx", "OVER"}));
  EXPECT_EQ(office->cursor, (SheetCell{1, 4, 12}));
  EXPECT_EQ(counters.rowNumber, 7);
  EXPECT_EQ(counters.capturedSinceStart, 4);
  EXPECT_EQ(office->widths.count({1, 4}), 0u);  // the row number's column keeps its width
  EXPECT_EQ(office->widths.at({1, 5}), 10);
  EXPECT_EQ(office->widths.at({1, 6}), 8.38);
  EXPECT_EQ(office->widths.at({1, 10}), 8);
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(SheetLinkTest, CellLimitsComeFromTheSheet) {
  struct Case {
    const char* name;
    SheetBounds bounds;
    SheetCell cursor;
    RowWrite expected;
  };
  const Case cases[] = {
      {"last start column", {1024, 1048576}, {0, 1018, 1}, RowWrite::Written},
      {"one column further", {1024, 1048576}, {0, 1019, 1}, RowWrite::Refused},
      {"large sheet", {16384, 1048576}, {0, 16378, 9}, RowWrite::Written},
      {"large sheet, beyond", {16384, 1048576}, {0, 16379, 9}, RowWrite::Refused},
      {"small sheet, last row", {256, 65536}, {0, 250, 65536}, RowWrite::Written},
      {"small sheet, beyond column", {256, 65536}, {0, 251, 1}, RowWrite::Refused},
      {"beyond the last row", {256, 65536}, {0, 1, 65537}, RowWrite::Refused},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    connect();
    office->texts.clear();
    office->bounds = c.bounds;
    office->cursor = c.cursor;
    EXPECT_EQ(write(), c.expected);
    if (c.expected == RowWrite::Written) {
      EXPECT_EQ(office->texts.count({0, c.cursor.column + 6, c.cursor.row}), 1u);
      EXPECT_EQ(office->texts.count({0, c.cursor.column + 7, c.cursor.row}), 0u);
    } else {
      EXPECT_EQ(office->texts.count({0, c.cursor.column, c.cursor.row}), 0u);
    }
  }
}

TEST_F(SheetLinkTest, RefusedWriteStopsTheCaptureUntilTheCursorMoves) {
  connect();
  office->cursor = {0, 1020, 3};
  ASSERT_EQ(write(), RowWrite::Refused);
  EXPECT_EQ(stopCaptures, 1);
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text, "Writing Error.\nWriting to a cell outside of the range.");
  EXPECT_EQ(ui.messages()[0].icon, MessageIcon::Error);
  EXPECT_EQ(ui.messages()[0].ownerDialog, kPasteDialog);
  EXPECT_TRUE(link->writeBlocked());
  EXPECT_EQ(link->blockedCell(), (SheetCell{0, 1020, 3}));
  EXPECT_EQ(counters.rowNumber, 0);

  office->cursor = {0, 2, 3};
  ASSERT_EQ(write(), RowWrite::Written);
  EXPECT_FALSE(link->writeBlocked());
  EXPECT_EQ(office->text({0, 2, 3}), "1");
}

TEST_F(SheetLinkTest, LastRowIsWrittenThenTheNextCaptureThereIsRefused) {
  connect();
  office->bounds = {1024, 1048576};
  office->cursor = {0, 3, 1048576};
  ASSERT_EQ(write(), RowWrite::Written);
  EXPECT_TRUE(ui.messages().empty());  // no message when the last row fills
  EXPECT_EQ(office->text({0, 3, 1048576}), "1");
  EXPECT_EQ(office->cursor, (SheetCell{0, 9, 1048576}));  // the row's last cell
  EXPECT_TRUE(link->writeBlocked());

  ASSERT_EQ(write(), RowWrite::Refused);
  EXPECT_EQ(stopCaptures, 1);
  EXPECT_EQ(messageTexts(), (std::vector<std::string>{"Writing Error.\nWriting to a cell outside of the range."}));
  EXPECT_EQ(counters.rowNumber, 1);

  office->cursor = {0, 3, 1048575};
  ASSERT_EQ(write(), RowWrite::Written);
  EXPECT_EQ(office->text({0, 3, 1048575}), "2");
  EXPECT_EQ(office->cursor, (SheetCell{0, 3, 1048576}));
}

TEST_F(SheetLinkTest, ReconnectingForgetsTheBlockedCell) {
  connect();
  office->cursor = {0, 1020, 1};
  ASSERT_EQ(write(), RowWrite::Refused);
  office->cursor = {0, 1, 1};
  ASSERT_EQ(write(), RowWrite::Written);
  office->cursor = {0, 1020, 1};
  ASSERT_EQ(write(), RowWrite::Refused);
  connect();
  EXPECT_FALSE(link->writeBlocked());
}

TEST_F(SheetLinkTest, CapturesAreDroppedSilently) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
  };
  const Case cases[] = {
      {"office gone", [this] { office->present = false; }},
      {"user editing a cell", [this] { office->editing = true; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    connect();
    office->present = true;
    office->editing = false;
    c.arrange();
    EXPECT_EQ(write(), RowWrite::Dropped);
    EXPECT_TRUE(office->texts.empty());
    EXPECT_EQ(counters.rowNumber, 0);
    EXPECT_TRUE(ui.messages().empty());
  }
  office->editing = false;
  office->present = true;
  EXPECT_EQ(write(), RowWrite::Written);  // the next capture after editing writes
}

TEST_F(SheetLinkTest, EditingKeepsTheLinkAlive) {
  connect();
  office->editing = true;
  EXPECT_TRUE(link->isPresent());
  EXPECT_TRUE(link->cellEditing());
  link->watch();
  EXPECT_TRUE(link->sheetConnected());
  office->editing = false;
  EXPECT_TRUE(link->isPresent());
  EXPECT_FALSE(link->cellEditing());
}

TEST_F(SheetLinkTest, CapturesDuringAWriteOrItsMessageAreDropped) {
  connect();
  RowWrite inner = RowWrite::Written;
  office->duringWrite = [&] {
    office->duringWrite = nullptr;
    inner = write();
  };
  ASSERT_EQ(write(), RowWrite::Written);
  EXPECT_EQ(inner, RowWrite::Dropped);
  EXPECT_EQ(counters.rowNumber, 1);

  office->cursor = {0, 1020, 1};
  inner = RowWrite::Written;
  ui.whileMessageShown = [&] {
    office->cursor = {0, 1, 50};
    inner = write();
  };
  ASSERT_EQ(write(), RowWrite::Refused);
  EXPECT_EQ(inner, RowWrite::Dropped);
  // The cursor moved while the message was up: the next capture writes.
  EXPECT_EQ(write(), RowWrite::Written);
  EXPECT_EQ(office->text({0, 1, 50}), "2");
}

TEST_F(SheetLinkTest, FailingOfficeCallsAreReportedToTheCaller) {
  connect();
  office->failWrites = true;
  EXPECT_EQ(write(), RowWrite::Failed);
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(SheetLinkTest, WatchClosesDownWhenTheOfficeOrDocumentIsGone) {
  connect();
  link->watch();
  EXPECT_TRUE(link->sheetConnected());
  EXPECT_EQ(closes, 0);

  office->present = false;
  link->watch();
  EXPECT_FALSE(link->sheetConnected());
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(ui.timerRunning(kTimerSheetWatch));
  EXPECT_FALSE(office->linked);
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text, "The data caputure is ended,\nbecause Excel is closed.");
  EXPECT_EQ(ui.messages()[0].icon, MessageIcon::Information);

  link->watch();
  link->closeDown();
  EXPECT_EQ(closes, 1);  // only once
  EXPECT_EQ(write(), RowWrite::Dropped);

  office->present = true;
  connect();  // a new link after the close-down
  EXPECT_EQ(write(), RowWrite::Written);
}

TEST_F(SheetLinkTest, TheWatchTimerNoticesTheOfficeGoing) {
  connect();
  ui.pumpFor(std::chrono::milliseconds(350));
  EXPECT_TRUE(link->sheetConnected());
  office->present = false;
  EXPECT_TRUE(ui.pumpUntil([&] { return closes == 1; }));
  EXPECT_FALSE(ui.timerRunning(kTimerSheetWatch));
}

TEST_F(SheetLinkTest, CloseDownWhileAWriteErrorIsShown) {
  connect();
  office->cursor = {0, 1020, 1};
  ui.whileMessageShown = [&] {
    office->present = false;
    link->watch();
  };
  EXPECT_EQ(write(), RowWrite::Refused);
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(link->sheetConnected());
  EXPECT_EQ(write(), RowWrite::Dropped);
}

TEST_F(SheetLinkTest, DestroyingTheLinkLeavesTheOfficeAlone) {
  connect();
  link.reset();
  EXPECT_FALSE(ui.timerRunning(kTimerSheetWatch));
  EXPECT_FALSE(office->linked);
  EXPECT_TRUE(ui.messages().empty());
  EXPECT_EQ(closes, 0);
}

}  // namespace
}  // namespace lmv::test
