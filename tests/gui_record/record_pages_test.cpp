// The record pages together as the main window's tab area: their places
// below the tab strip and the tab switch.
#include "record/record_pages.h"

#include <gtest/gtest.h>

#include "record/record_controls.h"
#include "record_side.h"

namespace lmv {
namespace {

using test::RecordSide;

TEST(RecordPages, PanelSitsBelowTheTabStripAndThePagesBelowThePanel) {
  RecordSide side;
  side.pages.place({10, 5});
  // 2 dialog units right and 16 down: (235,17) for the tab control at (233,1).
  const QPoint panel = QPoint(10, 5) + gui::dluRect(2, 16, 0, 0).topLeft();
  EXPECT_EQ(side.info->pos(), QPoint(14, 37));
  EXPECT_EQ(side.info->pos(), panel);
  EXPECT_EQ(side.list->pos(), panel + QPoint(0, side.info->height()));
  EXPECT_EQ(side.graph->pos(), side.list->pos());
  EXPECT_EQ(side.info->size(), gui::dluSize(219, 81));
  EXPECT_EQ(side.list->size(), gui::dluSize(219, 223));
  EXPECT_EQ(side.info->property("lmvDialog").toInt(), kRecordInfoPage);
  EXPECT_EQ(side.list->property("lmvDialog").toInt(), kRecordListPage);
  EXPECT_EQ(side.graph->property("lmvDialog").toInt(), kGraphPage);
}

struct TabCase {
  int item;
  bool list, manual, graph, copyGraph;
};

class RecordTabSwitch : public ::testing::TestWithParam<TabCase> {};

TEST_P(RecordTabSwitch, ShowsThePageAndButtonOfTheSelectedItem) {
  RecordSide side;
  side.showTab(1 - GetParam().item);  // from the other item
  side.showTab(GetParam().item);
  EXPECT_TRUE(side.info->isVisible());
  EXPECT_EQ(side.list->isVisible(), GetParam().list);
  EXPECT_EQ(side.graph->isVisible(), GetParam().graph);
  EXPECT_EQ(side.host.visible(kMainDialog, kManualButton), GetParam().manual);
  EXPECT_EQ(side.host.visible(kMainDialog, kCopyGraphButton), GetParam().copyGraph);
}

INSTANTIATE_TEST_SUITE_P(Items, RecordTabSwitch,
                         ::testing::Values(TabCase{0, true, true, false, false}, TabCase{1, false, false, true, true}));

TEST(RecordPages, StartUpShowsTheListAndTheEmptyGraphWaits) {
  RecordSide side;
  side.window.show();
  EXPECT_TRUE(side.list->isVisible());
  EXPECT_FALSE(side.graph->isVisible());
  // The empty graph is drawn already, for the plot's size.
  const Drawing& d = side.recording.graph().drawing();
  EXPECT_EQ(d.width, side.graph->plot()->width());
  EXPECT_EQ(d.height, side.graph->plot()->height());
  EXPECT_FALSE(d.ops.empty());
}

}  // namespace
}  // namespace lmv
