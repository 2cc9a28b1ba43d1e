#include "record/record_list.h"

#include <gtest/gtest.h>

#include "fake_ui_host.h"
#include "monitor/value_codes.h"
#include "record/record_controls.h"
#include "record_fakes.h"

namespace lmv {
namespace {

constexpr double kBase = 41827.0 + (9 * 3600 + 5 * 60 + 3) / 86400.0;  // 2014/07/07,09:05:03

_RECORD_DATA stored(int i, int32_t value = 0) {
  _RECORD_DATA r;
  r.nValue = value ? value : 100 + i;
  r.nRange = 3;
  r.dtTimeDays = kBase + i / 86400.0;
  return r;
}

class RecordListTest : public ::testing::Test {
 protected:
  RecordListTest() : page(host, store, [this] { return timeDisplayMode; }) {
    page.model().setObserver(&recorder);
    page.initialise();
  }

  // What a new sample does to the page and the store.
  void addSample(bool manual = false) {
    const _RECORD_DATA r = stored(static_cast<int>(store.records.size()));
    page.advanceForNewSample(manual);
    page.addRecordRow(storedSampleValue(r, recordTimeText(r.dtTime(), store.state.baseTime, timeDisplayMode)));
    store.appendRecord(r);
    store.state.recordCount = static_cast<int32_t>(store.records.size());
  }
  void addSamples(int n) {
    for (int i = 0; i < n; ++i) addSample();
  }
  std::string pageText() const { return host.text(kPageText, kRecordListPage); }
  bool on(int control) const { return host.enabled(control, kRecordListPage); }

  test::FakeUiHost host;
  RecordStore store;
  int32_t timeDisplayMode = 0;
  RecordListPage page;
  test::PageRecorder recorder;
};

TEST_F(RecordListTest, StartsWithOneEmptyPageAndPagingOff) {
  EXPECT_EQ(pageText(), "1/1");
  EXPECT_EQ(host.text(kPageNumberEdit, kRecordListPage), "1");
  for (int id : {kPreviousButton, kNextButton, kPageNumberEdit, kJumpButton}) EXPECT_FALSE(on(id)) << id;
}

TEST_F(RecordListTest, TheThousandAndFirstSampleStartsPageTwo) {
  addSamples(1000);
  EXPECT_EQ(page.pageCount(), 1);
  EXPECT_EQ(page.lastPageRows(), 1000);
  EXPECT_EQ(page.model().rowCount(), 1000);
  EXPECT_EQ(page.model().selectedRow(), 999);

  addSample();
  EXPECT_EQ(pageText(), "2/2");
  EXPECT_EQ(page.lastPageRows(), 1);
  ASSERT_EQ(page.model().rowCount(), 1);
  EXPECT_EQ(page.model().rows()[0], (RecordRow{"2014/07/07,09:21:43", "1100 lx", ""}));
  EXPECT_EQ(recorder.resets, 1);
  EXPECT_EQ(recorder.selected, 0);
}

TEST_F(RecordListTest, BrowsingPagesIsClampedAndRefilledThroughTheQueue) {
  addSamples(2500);
  page.updatePageButtons(true);
  EXPECT_TRUE(on(kPreviousButton));
  EXPECT_FALSE(on(kNextButton));  // on the last page

  page.onPrevious();
  EXPECT_EQ(pageText(), "2/3");
  EXPECT_EQ(page.model().rowCount(), 500);  // refilled only when the queue runs
  host.pumpOnce();
  ASSERT_EQ(page.model().rowCount(), 1000);
  EXPECT_EQ(page.model().rows().front().valueText, "1100 lx");
  EXPECT_EQ(page.model().selectedRow(), 999);

  struct Jump {
    const char* text;
    int page;
  };
  for (const Jump& j : {Jump{"0", 1}, Jump{"-4", 1}, Jump{"7", 3}, Jump{" 2 ", 2}}) {
    page.onJump(j.text);
    host.pumpOnce();
    EXPECT_EQ(page.currentPage(), j.page) << j.text;
  }
  page.onJump("1");
  host.pumpOnce();
  EXPECT_FALSE(on(kPreviousButton));
  EXPECT_TRUE(on(kNextButton));
  EXPECT_TRUE(on(kJumpButton));
  page.onPrevious();  // stays on page 1
  host.pumpOnce();
  EXPECT_EQ(pageText(), "1/3");
  EXPECT_EQ(page.model().rows().front().valueText, "100 lx");

  // The next sample brings the view back to the last page.
  addSample();
  EXPECT_EQ(pageText(), "3/3");
  EXPECT_EQ(page.model().rowCount(), 501);
  EXPECT_EQ(page.model().rows().back().valueText, "2600 lx");
}

TEST_F(RecordListTest, JumpWithANonNumberUsesTheLastNumberRead) {
  addSamples(3500);
  page.onJump("abc");  // nothing read yet: 0, so page 1
  host.pumpOnce();
  EXPECT_EQ(page.currentPage(), 1);
  ASSERT_EQ(host.messages().size(), 1u);
  EXPECT_EQ(host.messages()[0].text, "整数を入力してください。");
  page.onJump("3");
  page.onJump("");
  host.pumpOnce();
  EXPECT_EQ(page.currentPage(), 3);
  EXPECT_EQ(host.messages().size(), 2u);
}

TEST_F(RecordListTest, SinglePageKeepsAllPagingControlsOff) {
  addSamples(10);
  page.updatePageButtons(true);
  for (int id : {kPreviousButton, kNextButton, kPageNumberEdit, kJumpButton}) EXPECT_FALSE(on(id)) << id;
}

TEST_F(RecordListTest, PageBeyondTheStoreLeavesTheRows) {
  addSamples(5);
  page.refreshRecordPage(2);
  page.refreshRecordPage(0);
  EXPECT_EQ(page.model().rowCount(), 5);
  EXPECT_EQ(recorder.resets, 0);
}

TEST_F(RecordListTest, RelativeTimesAreRoundedAndHoursNotWrapped) {
  timeDisplayMode = 1;
  store.state.baseTime = OleDate{kBase, OleDate::Valid};
  store.records = {stored(0), stored(0), stored(0)};
  store.records[1].dtTimeDays = kBase + 3723.6 / 86400.0;
  store.records[2].dtTimeDays = kBase + 100.0 / 24.0;
  page.refreshRecordPage(1);
  EXPECT_EQ(page.model().rows()[0].timeText, "00:00:00");
  EXPECT_EQ(page.model().rows()[1].timeText, "01:02:04");
  EXPECT_EQ(page.model().rows()[2].timeText, "100:00:00");
  timeDisplayMode = 0;
  page.refreshRecordPage(1);
  EXPECT_EQ(page.model().rows()[0].timeText, "2014/07/07,09:05:03");
}

TEST_F(RecordListTest, StoredRowsUseThePointAndMarkOverRange) {
  store.records = {stored(0, CodeOverNegative), stored(1, CodeNoValue), stored(2, 1234)};
  store.records[2].nRange = 2;
  store.records[2].nUnit = UnitFootCandle;
  page.refreshRecordPage(1);
  const auto& rows = page.model().rows();
  EXPECT_EQ(rows[0], (RecordRow{"2014/07/07,09:05:03", "-2000 lx", "OVER"}));
  EXPECT_EQ(rows[1].valueText, "---- lx");
  EXPECT_EQ(rows[1].overText, "");
  EXPECT_EQ(rows[2].valueText, "12.34 FC");
}

TEST_F(RecordListTest, CellsKeepAtMostThirtyOneCharacters) {
  MeasuredValue v;
  v.timeText = std::string(40, 'x');
  v.valueText = "ä" + std::string(40, 'y');
  const RecordRow row = recordRowOf(v);
  EXPECT_EQ(row.timeText, std::string(31, 'x'));
  EXPECT_EQ(row.valueText, "ä" + std::string(30, 'y'));
}

TEST_F(RecordListTest, MaxAndMinLinesFromTheStore) {
  store.state.baseTime = OleDate{kBase, OleDate::Valid};
  store.state.maxTime = OleDate{kBase + 61 / 86400.0, OleDate::Valid};
  store.state.maxText = "123 lx";
  page.refreshMaxPanel();
  page.refreshMinPanel();
  EXPECT_EQ(host.text(kMaxLine, kRecordListPage), "2014/07/07,09:06:04     123 lx");
  EXPECT_EQ(host.text(kMinLine, kRecordListPage), "");
  timeDisplayMode = 1;
  page.refreshMaxPanel();
  EXPECT_EQ(host.text(kMaxLine, kRecordListPage), "00:01:01     123 lx");
}

TEST_F(RecordListTest, AfterAnOpenTheLastPageIsShown) {
  struct Case {
    int records, pages, lastRows;
  };
  for (const Case& c : {Case{2500, 3, 500}, Case{2000, 2, 1000}, Case{0, 1, 0}}) {
    store.records.assign(static_cast<size_t>(c.records), stored(0));
    page.showLastPage();
    EXPECT_EQ(page.pageCount(), c.pages) << c.records;
    EXPECT_EQ(page.currentPage(), c.pages) << c.records;
    EXPECT_EQ(page.lastPageRows(), c.lastRows) << c.records;
    EXPECT_EQ(page.model().rowCount(), c.records == 0 ? 0 : c.lastRows) << c.records;
  }
}

TEST(RecordColumnWidths, ThirtyFivePercentAndTwoHalves) {
  const RecordColumnWidths w = recordColumnWidths(320);
  EXPECT_EQ(w.time, 105);
  EXPECT_EQ(w.value, 97);
  EXPECT_EQ(w.over, 97);
}

}  // namespace
}  // namespace lmv
