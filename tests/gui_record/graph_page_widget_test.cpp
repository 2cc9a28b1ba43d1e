// The graph page as a real widget: what the plot shows is the core's
// reference drawing on every pixel outside the texts; it paints the last
// drawing without recomputing it, merges fast repaints, and Copy Graph puts
// the picture with its top edge on the clipboard.
#include "record/graph_page_widget.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QTabBar>
#include <cmath>
#include <string>
#include <vector>

#include "monitor/value_codes.h"
#include "record/graph_painter.h"
#include "record/graph_raster.h"
#include "record/record_controls.h"
#include "record_side.h"

namespace lmv {
namespace {

using test::RecordSide;

// The samples of one run, one a second, as the recording leaves them for
// the graph (extremes over the good samples).
void loadRun(RecordSide& side, const std::vector<int32_t>& values, int32_t range = 2) {
  RecordStore& s = side.recording.store();
  GraphState& g = side.recording.graph().state();
  s.records.clear();
  bool first = true;
  for (size_t i = 0; i < values.size(); ++i) {
    s.records.push_back(test::storedSample(values[i], range, static_cast<int>(i)));
    if (isOverCode(values[i]) || values[i] == 2000000 || values[i] == 3000000) continue;
    if (first || values[i] > g.maxCount) g.maxCount = values[i];
    if (first || values[i] < g.minCount) g.minCount = values[i];
    first = false;
  }
  s.state.recordCount = static_cast<int32_t>(values.size());
  s.state.runCount = s.state.recordCount;
  g.maxScale = g.minScale = range;
  g.labelDecimals = 1;
  g.rescalePending = 1;
  g.runFirstRecord = 1;
}

QImage grabPlot(RecordSide& side) {
  return side.graph->plot()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool insideText(const Drawing& d, int x, int y) {
  for (const DrawOp& op : d.ops) {
    if (op.kind == DrawKind::Text && x >= op.rect.left && x < op.rect.right && y >= op.rect.top &&
        y < op.rect.bottom) {
      return true;
    }
  }
  return false;
}

// Pixels outside the texts that differ from the reference raster.
int differingPixels(const QImage& image, const Drawing& d, std::string* first = nullptr) {
  PixelCanvas reference(d.width, d.height);
  reference.replay(d);
  int differ = 0;
  for (int y = 0; y < d.height; ++y) {
    for (int x = 0; x < d.width; ++x) {
      if (insideText(d, x, y)) continue;
      const Rgb want = reference.at(x, y);
      const QRgb got = image.pixel(x, y);
      if (qRed(got) != want.r || qGreen(got) != want.g || qBlue(got) != want.b) {
        if (differ++ == 0 && first) *first = std::to_string(x) + "," + std::to_string(y);
      }
    }
  }
  return differ;
}

// Pixels inside the text rectangles that the texts darkened.
int textPixels(const QImage& image, const Drawing& d) {
  int n = 0;
  for (int y = 0; y < d.height; ++y) {
    for (int x = 0; x < d.width; ++x) {
      if (insideText(d, x, y) && qGray(image.pixel(x, y)) < 128) ++n;
    }
  }
  return n;
}

struct RunCase {
  const char* name;
  std::vector<int32_t> values;
  int32_t range;
};

std::vector<int32_t> wave(int n) {
  std::vector<int32_t> v;
  for (int i = 0; i < n; ++i) v.push_back(1000 + static_cast<int32_t>(std::lround(800 * std::sin(i / 40.0))));
  return v;
}

class GraphPlotMatchesReference : public ::testing::TestWithParam<RunCase> {};

TEST_P(GraphPlotMatchesReference, OnEveryPixelOutsideTheTexts) {
  RecordSide side;
  side.showTab(1);
  loadRun(side, GetParam().values, GetParam().range);
  side.recording.graph().drawGraph();
  const Drawing& d = side.recording.graph().drawing();
  const QImage image = grabPlot(side);
  ASSERT_EQ(image.width(), d.width);
  ASSERT_EQ(image.height(), d.height);
  std::string first;
  EXPECT_EQ(differingPixels(image, d, &first), 0) << "first at " << first;
  EXPECT_GT(textPixels(image, d), 100);  // the labels are there
}

INSTANTIATE_TEST_SUITE_P(
    Runs, GraphPlotMatchesReference,
    ::testing::Values(RunCase{"Empty", {}, 2}, RunCase{"OneSample", {1234}, 1},
                      RunCase{"Rising", {100, 300, 250, 900, 1500, 1400, 2000, 1800, 600, 50, 700, 1200}, 2},
                      RunCase{"OverRangeAndGaps", {500, 800, 1000000, 700, 2000000, 900, -1000000, 400, 3000000, 650}, 2},
                      RunCase{"Negative", {-500, -200, 0, 300, 500, -100}, 3},
                      RunCase{"LongRun", wave(5000), 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GraphPageWidget, PlotFrameAndTabCarryTheirIdsAndThePlotSizeIsFixed) {
  RecordSide side;
  QWidget* plot = side.host.control(kGraphPage, gui::kGraphPlotFrame);
  ASSERT_EQ(plot, side.graph->plot());
  auto* tabs = qobject_cast<QTabBar*>(side.host.control(kGraphPage, gui::kGraphTabStrip));
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->count(), 1);
  EXPECT_EQ(tabs->tabText(0), QStringLiteral("LUX"));
  side.texts.fill(kLanguageJapanese);
  side.applyTexts();
  EXPECT_EQ(tabs->tabText(0), QStringLiteral("照度"));
  const PixelRect r = side.graph->plotRect();
  EXPECT_EQ(r, (PixelRect{0, 0, plot->width(), plot->height()}));
  EXPECT_EQ(side.recording.graph().state().plotRect, r);
  EXPECT_EQ(plot->minimumSize(), plot->maximumSize());
}

// A paint shows the last drawing as it was: it computes nothing, even when
// the store has moved on since.
TEST(GraphPageWidget, RepaintReplaysTheLastDrawing) {
  RecordSide side;
  side.showTab(1);
  loadRun(side, {100, 900, 400});
  side.recording.graph().drawGraph();
  const Drawing drawn = side.recording.graph().drawing();
  const GraphState before = side.recording.graph().state();

  loadRun(side, {100, 900, 400, 1500, 20, 1999, 5, 1700, 800, 1200, 300, 1900, 40});
  side.graph->plot()->repaint();
  const QImage image = grabPlot(side);
  EXPECT_EQ(differingPixels(image, drawn), 0);
  EXPECT_EQ(side.recording.graph().state().timeSpan, before.timeSpan);
  EXPECT_EQ(side.recording.graph().state().axisTop, before.axisTop);
}

// Drawings that come faster than 25 a second reach the screen together:
// the first at once, the rest as one repaint with the latest drawing.
TEST(GraphPageWidget, FastRedrawsAreMergedIntoOneRepaint) {
  RecordSide side;
  side.showTab(1);
  gui::GraphPlotWidget* plot = side.graph->plot();
  ASSERT_TRUE(test::processEventsUntil([&] { return plot->showsLatest(); }));
  const int before = plot->renderCount();
  std::vector<int32_t> values;
  for (int i = 0; i < 30; ++i) {
    values.push_back(100 + 37 * i % 1900);
    loadRun(side, values);
    side.recording.graph().drawGraph();
  }
  ASSERT_TRUE(test::processEventsUntil([&] { return plot->showsLatest(); }));
  EXPECT_GE(plot->renderCount(), before + 1);
  EXPECT_LE(plot->renderCount(), before + 2);
  EXPECT_EQ(differingPixels(grabPlot(side), side.recording.graph().drawing()), 0);
}

TEST(GraphPageWidget, CopyGraphPutsThePictureWithItsTopEdgeOnTheClipboard) {
  RecordSide side;
  loadRun(side, {100, 900, 400, 1500, 20});
  side.graph->copyGraph();
  const QImage copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
  const PixelRect r = side.graph->plotRect();
  ASSERT_EQ(copied.width(), r.right);
  ASSERT_EQ(copied.height(), r.bottom);
  for (int x = 0; x < copied.width(); ++x) ASSERT_EQ(copied.pixel(x, 0), qRgb(128, 128, 128)) << x;
  // Otherwise the full drawing of the run.
  Drawing expected = side.recording.graph().copyGraph();
  EXPECT_EQ(differingPixels(copied, expected), 0);
  bool red = false;
  for (int y = 0; y < copied.height() && !red; ++y) {
    for (int x = 0; x < copied.width() && !red; ++x) red = copied.pixel(x, y) == qRgb(255, 0, 0);
  }
  EXPECT_TRUE(red);
}

TEST(GraphPainter, LinesLeaveOutTheirEndAndDotsSetEveryOtherPixel) {
  Drawing d{12, 4, {DrawOp::line(0, 0, 5, 0, kGraphBlack), DrawOp::dotted(0, 2, 9, 2, kGraphGrid),
                    DrawOp::line(11, 3, 11, 3, kGraphCurve)}};
  const QImage image = gui::renderDrawing(d);
  for (int x = 0; x < 12; ++x) {
    EXPECT_EQ(image.pixel(x, 0), x < 5 ? qRgb(0, 0, 0) : qRgb(255, 255, 255)) << x;
    EXPECT_EQ(image.pixel(x, 2), x < 9 && x % 2 == 0 ? qRgb(173, 173, 173) : qRgb(255, 255, 255)) << x;
  }
  EXPECT_EQ(image.pixel(11, 3), qRgb(255, 255, 255));  // a zero-length line draws nothing
}

TEST(GraphPainter, TextsAreOneLineCentredVerticallyInTheirRectangles) {
  Drawing d{100, 40, {DrawOp::textIn({0, 0, 100, 40}, "00:00:10", TextAlign::Right, GraphFont::Page)}};
  const QImage image = gui::renderDrawing(d);
  int top = -1, bottom = -1, left = 100, right = -1;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 100; ++x) {
      if (qGray(image.pixel(x, y)) >= 128) continue;
      if (top < 0) top = y;
      bottom = y;
      left = std::min(left, x);
      right = std::max(right, x);
    }
  }
  ASSERT_GE(top, 0);
  EXPECT_LE(std::abs((top + bottom) - 39), 4);  // ink centred within two pixels
  EXPECT_GE(right, 95);                          // right-aligned
  EXPECT_LE(bottom - top, 13);                   // one line of a 13-pixel font
  const QFont font = gui::graphFont(GraphFont::Page);
  EXPECT_EQ(font.pixelSize(), 13);
  EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Noto Sans CJK JP"));
  // Narrowed when drawn: the value labels more than the time labels.
  EXPECT_LT(gui::graphFontWidthScale(GraphFont::ValueLabel), gui::graphFontWidthScale(GraphFont::Page));
  EXPECT_LE(gui::graphFontWidthScale(GraphFont::Page), 1.0);
}

}  // namespace
}  // namespace lmv
