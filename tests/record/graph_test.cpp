#include "record/graph.h"

#include <gtest/gtest.h>

#include <random>

#include "monitor/value_codes.h"
#include "record/graph_raster.h"

namespace lmv {
namespace {

constexpr PixelRect kPlot{0, 0, 400, 300};  // plot area x 46..390, y 9..280
constexpr double kT0 = 41827.0;             // 2014-07-07

_RECORD_DATA sampleAt(double seconds, int32_t value, int32_t range = 1) {
  _RECORD_DATA r;
  r.nValue = value;
  r.nRange = range;
  r.dtTimeDays = kT0 + seconds / 86400.0;
  return r;
}

std::vector<std::string> texts(const Drawing& d, GraphFont font) {
  std::vector<std::string> out;
  for (const DrawOp& op : d.ops) {
    if (op.kind == DrawKind::Text && op.font == font) out.push_back(op.text);
  }
  return out;
}

std::vector<DrawOp> curveOps(const std::vector<DrawOp>& ops) {
  std::vector<DrawOp> out;
  for (const DrawOp& op : ops) {
    if (op.color == kGraphCurve) out.push_back(op);
  }
  return out;
}

GraphState curveState(int32_t timeSpan = 10) {
  GraphState s;
  s.plotRect = kPlot;
  s.axisTop = 2000;
  s.axisBottom = 0;
  s.axisScale = 1;
  s.timeSpan = timeSpan;
  return s;
}

TEST(GraphGeometry, PlotAreaAndLabelRectangles) {
  const GraphGeometry g = graphGeometry(kPlot);
  EXPECT_EQ(g.xL, 46);
  EXPECT_EQ(g.xR, 390);
  EXPECT_EQ(g.yT, 9);
  EXPECT_EQ(g.yB, 280);
  EXPECT_EQ(g.timeStrip, (PixelRect{46, 280, 390, 300}));
  EXPECT_EQ(g.valueLabels[0], (PixelRect{0, -1, 44, 19}));
  EXPECT_EQ(g.valueLabels[5], (PixelRect{0, 270, 44, 290}));
}

TEST(GraphPage, EmptyGraphShowsTheResetAxisAndTenIntervals) {
  RecordStore store;
  GraphPage page(store);
  page.initialise(kPlot, 1);
  EXPECT_EQ(texts(page.drawing(), GraphFont::ValueLabel),
            (std::vector<std::string>{"20.00", "16.00", "12.00", "8.00", "4.00", "0.00"}));
  EXPECT_EQ(texts(page.drawing(), GraphFont::Page), (std::vector<std::string>{"00:00:00", "00:00:05", "00:00:10"}));
  EXPECT_TRUE(curveOps(page.drawing().ops).empty());
  EXPECT_EQ(page.drawing().width, 400);
  EXPECT_EQ(page.drawing().height, 300);

  // Frame, grid and border: fill, three grey edges, 18 dotted grid lines, four black edges.
  const auto& ops = page.drawing().ops;
  EXPECT_EQ(ops[0], DrawOp::fill(kPlot, kGraphBackground));
  EXPECT_EQ(ops[1], DrawOp::line(0, 0, 0, 299, kGraphFrame));
  EXPECT_EQ(ops[3], DrawOp::line(399, 299, 399, -1, kGraphFrame));
  EXPECT_EQ(ops[4], DrawOp::dotted(46, 9 + 271 / 10, 390, 9 + 271 / 10, kGraphGrid));
  EXPECT_EQ(ops[13], DrawOp::dotted(46 + 344 / 10, 9, 46 + 344 / 10, 280, kGraphGrid));
  EXPECT_EQ(ops[22], DrawOp::line(46, 9, 46, 279, kGraphBlack));
}

TEST(GraphPage, TimeLabelsHoursAreNotWrapped) {
  EXPECT_EQ(timeLabelText(0), "00:00:00");
  EXPECT_EQ(timeLabelText(3725), "01:02:05");
  EXPECT_EQ(timeLabelText(360000), "100:00:00");
}

TEST(GraphPage, ValueLabelsInsertZerosAndThePoint) {
  EXPECT_EQ(valueLabelText(1236, 2), "12.36");
  EXPECT_EQ(valueLabelText(0, 2), "0.00");
  EXPECT_EQ(valueLabelText(5, 3), "0.005");
  EXPECT_EQ(valueLabelText(-5, 2), "-0.05");
  EXPECT_EQ(valueLabelText(1800, 0), "1800");
  EXPECT_EQ(valueLabelText(-1234, 1), "-123.4");
  EXPECT_EQ(valueLabelText(12, 2), "0.12");
  EXPECT_EQ(valueLabelText(100, 2), "1.00");
  EXPECT_EQ(valueLabelText(-12, 3), "-0.012");
  EXPECT_EQ(valueLabelText(7, 12), "0.000000007");  // at most nine decimals
}

TEST(ComputeTimeSpan, GrowsByAQuarterRoundedUpToItsStep) {
  GraphState s = curveState();
  s.graphIntervalSeconds = 1;
  RecordArray records{sampleAt(0, 100)};
  computeTimeSpan(s, records);
  EXPECT_EQ(s.timeSpan, 10);

  records.push_back(sampleAt(9, 100));
  computeTimeSpan(s, records);
  EXPECT_EQ(s.timeSpan, 10);  // still inside

  // Each time the last sample reaches the span it grows once.
  const std::vector<int> expected{20, 30, 40, 50, 70, 90, 120, 150, 190, 240, 300};
  for (int want : expected) {
    records.back() = sampleAt(s.timeSpan, 100);
    computeTimeSpan(s, records);
    EXPECT_EQ(s.timeSpan, want);
  }
  records.back() = sampleAt(300, 100);
  computeTimeSpan(s, records);
  EXPECT_EQ(s.timeSpan, 390);  // 375, steps of 30 from 300 s on
  s.timeSpan = 3000;
  records.back() = sampleAt(3000, 100);
  computeTimeSpan(s, records);
  EXPECT_EQ(s.timeSpan, 3780);  // 3750, steps of 60 from 3600 s on

  // At most one growth per drawing, however far the last sample is.
  s.timeSpan = 10;
  records.back() = sampleAt(100000, 100);
  computeTimeSpan(s, records);
  EXPECT_EQ(s.timeSpan, 20);

  // A single sample of the run resets the span to ten intervals.
  s.graphIntervalSeconds = 2;
  s.runFirstRecord = 2;
  computeTimeSpan(s, records);
  EXPECT_EQ(s.timeSpan, 20);
}

TEST(ComputeTimeSpan, ZeroIntervalStillGrows) {
  GraphState s = curveState();
  s.graphIntervalSeconds = 0;
  RecordArray records{sampleAt(0, 1)};
  computeTimeSpan(s, records);
  EXPECT_EQ(s.timeSpan, 0);
  records.push_back(sampleAt(0, 1));
  computeTimeSpan(s, records);
  EXPECT_EQ(s.timeSpan, 10);
}

struct AxisCase {
  const char* name;
  int32_t maxCount, maxScale, minCount, minScale;
  int32_t top, bottom, scale;
};

class ComputeValueAxis : public ::testing::TestWithParam<AxisCase> {};

TEST_P(ComputeValueAxis, FollowsTheExtremes) {
  const AxisCase& c = GetParam();
  GraphState s;
  s.maxCount = c.maxCount;
  s.maxScale = c.maxScale;
  s.minCount = c.minCount;
  s.minScale = c.minScale;
  s.rescalePending = 1;
  computeValueAxis(s, 1);
  EXPECT_EQ(s.axisTop, c.top);
  EXPECT_EQ(s.axisBottom, c.bottom);
  EXPECT_EQ(s.axisScale, c.scale);
  EXPECT_EQ(s.rescalePending, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ComputeValueAxis,
    ::testing::Values(
        // r raised to 10, m = 2.0000000298: 1236.00000003 and 1231.99999997 truncated.
        AxisCase{"OneSampleAtRangeOne", 1234, 1, 1234, 1, 1236, 1231, 1},
        AxisCase{"ZeroToFiveCounts", 5, 3, 0, 3, 10, 0, 3},
        // 800 in range 2 is 80 in range 4's counts; the bottom stops at 0.
        AxisCase{"MixedRanges", 1500, 4, 800, 2, 1800, 0, 4},
        AxisCase{"StepOfFiveHundred", 150000, 5, 100, 5, 180000, 0, 5},
        AxisCase{"StepOfTen", 500, 3, 300, 3, 540, 250, 3},
        AxisCase{"NegativeValuesShiftAboveZero", -5, 1, -20, 1, 25, 0, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ComputeValueAxis, OnlyWhenAnExtremeChangedAndTheRunHasSamples) {
  GraphState s;
  s.maxCount = s.minCount = 1234;
  s.maxScale = s.minScale = 1;
  computeValueAxis(s, 1);
  EXPECT_EQ(s.axisTop, 2000);
  s.rescalePending = 1;
  computeValueAxis(s, 0);
  EXPECT_EQ(s.axisTop, 2000);
  EXPECT_EQ(s.rescalePending, 1);
}

TEST(GraphPage, FirstSampleAtRangeOneLabelsTheAxis) {
  RecordStore store;
  store.records = {sampleAt(0, 1234)};
  GraphPage page(store);
  page.initialise(kPlot, 1);
  GraphState& s = page.state();
  s.maxCount = s.minCount = 1234;
  s.maxScale = s.minScale = 1;
  s.rescalePending = 1;
  page.drawGraph();
  EXPECT_EQ(texts(page.drawing(), GraphFont::ValueLabel),
            (std::vector<std::string>{"12.36", "12.35", "12.34", "12.33", "12.32", "12.31"}));
  // One sample: a pen position, nothing drawn yet.
  EXPECT_TRUE(curveOps(page.drawing().ops).empty());
}

TEST(DrawCurve, OverRangeStretchDrawsTwoVerticalsAndNothingBetween) {
  const RecordArray records{sampleAt(0, 1000), sampleAt(1, CodeOver), sampleAt(2, CodeOver), sampleAt(3, 500)};
  std::vector<DrawOp> ops;
  drawCurve(curveState(), records, CurveDrawing::Reference, ops);
  // y(1000) = 9 + 1000 x 271 / 2000 = 144, y(500) = 212, x(3 s) = 46 + 3 x 344 / 10 = 149.
  EXPECT_EQ(ops, (std::vector<DrawOp>{DrawOp::line(47, 144, 47, 10, kGraphCurve),
                                      DrawOp::line(149, 10, 149, 212, kGraphCurve)}));
}

TEST(DrawCurve, NegativeOverRangeGoesToTheBottomEdge) {
  const RecordArray records{sampleAt(0, 1000), sampleAt(1, CodeOverNegative), sampleAt(3, 500)};
  std::vector<DrawOp> ops;
  drawCurve(curveState(), records, CurveDrawing::Reference, ops);
  EXPECT_EQ(ops, (std::vector<DrawOp>{DrawOp::line(47, 144, 47, 278, kGraphCurve),
                                      DrawOp::line(149, 278, 149, 212, kGraphCurve)}));
}

TEST(DrawCurve, SampleWithoutValueLeavesAGap) {
  const RecordArray records{sampleAt(0, 1000), sampleAt(1, CodeNoValue), sampleAt(2, 500),
                            sampleAt(3, 1000), sampleAt(4, CodeNotConnected), sampleAt(5, 1000)};
  std::vector<DrawOp> ops;
  drawCurve(curveState(), records, CurveDrawing::Reference, ops);
  // Only 2 s -> 3 s is drawn: x(2 s) = 114, x(3 s) = 149.
  EXPECT_EQ(ops, (std::vector<DrawOp>{DrawOp::line(114, 212, 149, 144, kGraphCurve)}));
}

TEST(DrawCurve, OnlyTheCurrentRunAndSmallerRangesScaledDown) {
  GraphState s = curveState();
  s.axisScale = 3;  // axis in range 3 counts
  s.runFirstRecord = 2;
  const RecordArray records{sampleAt(-5, 9999, 3), sampleAt(0, 1000, 3), sampleAt(10, 5000, 1)};
  std::vector<DrawOp> ops;
  drawCurve(s, records, CurveDrawing::Reference, ops);
  // 5000 in range 1 is 50 in range 3; the 10 s sample sits at the right edge.
  EXPECT_EQ(ops, (std::vector<DrawOp>{DrawOp::line(47, 144, 388, 9 + 1950 * 271 / 2000, kGraphCurve)}));
}

PixelCanvas render(const GraphState& s, const RecordArray& records, CurveDrawing mode, size_t* opCount = nullptr) {
  std::vector<DrawOp> ops;
  drawCurve(s, records, mode, ops);
  if (opCount) *opCount = ops.size();
  PixelCanvas canvas(kPlot.right, kPlot.bottom);
  canvas.replay(Drawing{kPlot.right, kPlot.bottom, ops});
  return canvas;
}

TEST(DrawCurve, PerColumnDrawingHasExactlyTheReferencePixels) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 20; ++round) {
    RecordArray records;
    double t = 0;
    int32_t value = 1000;
    const int n = 50 + round * 300;
    for (int i = 0; i < n; ++i) {
      const int r = static_cast<int>(rng() % 100);
      t += r < 3 ? -2.0 : static_cast<double>(rng() % 3);  // repeats and the odd step back
      value = std::clamp<int32_t>(value + static_cast<int32_t>(rng() % 401) - 200, -100, 2100);
      int32_t code = value;
      if (r >= 90) code = CodeOver;
      if (r == 89) code = CodeOverNegative;
      if (r >= 85 && r < 89) code = CodeNoValue;
      if (r == 84) code = CodeNotConnected;
      records.push_back(sampleAt(t, code, 1 + static_cast<int32_t>(rng() % 2)));
    }
    GraphState s = curveState(static_cast<int32_t>(n / 2));
    s.axisScale = 2;
    EXPECT_TRUE(render(s, records, CurveDrawing::Reference) == render(s, records, CurveDrawing::PerColumn))
        << "round " << round;
  }
}

TEST(DrawCurve, AMillionSamplesCostAFewLinesPerColumn) {
  std::mt19937 rng(7);
  RecordArray records;
  records.reserve(1 << 20);
  int32_t value = 1000;
  for (int i = 0; i < (1 << 20); ++i) {
    value = std::clamp<int32_t>(value + static_cast<int32_t>(rng() % 41) - 20, 0, 1999);
    int32_t code = rng() % 5000 == 0 ? CodeOver : rng() % 5000 == 1 ? CodeNoValue : value;
    records.push_back(sampleAt(i / 10.0, code));  // fast mode: ten samples a second
  }
  GraphState s = curveState(1 << 17);
  size_t referenceOps = 0, perColumnOps = 0;
  const PixelCanvas reference = render(s, records, CurveDrawing::Reference, &referenceOps);
  const PixelCanvas perColumn = render(s, records, CurveDrawing::PerColumn, &perColumnOps);
  size_t indexedOps = 0;
  const PixelCanvas indexed = render(s, records, CurveDrawing::Indexed, &indexedOps);
  EXPECT_TRUE(reference == perColumn);
  EXPECT_TRUE(reference == indexed);
  EXPECT_GT(referenceOps, 500000u);  // zero-length segments draw nothing
  EXPECT_LE(perColumnOps, 4u * 344);
  EXPECT_LE(indexedOps, 4u * 344);
}

TEST(GraphPage, ResetKeepsTheSpanAndCopyAddsTheTopEdge) {
  RecordStore store;
  store.records = {sampleAt(0, 100), sampleAt(10, 200)};
  GraphPage page(store);
  page.initialise(kPlot, 1);
  page.drawGraph();
  EXPECT_EQ(page.state().timeSpan, 20);
  EXPECT_FALSE(curveOps(page.drawing().ops).empty());

  page.state().axisTop = 540;
  page.state().labelDecimals = 0;
  page.resetGraph();
  EXPECT_EQ(page.state().timeSpan, 20);
  EXPECT_EQ(page.state().axisTop, 2000);
  EXPECT_EQ(page.state().blankFlag, 1);
  EXPECT_TRUE(curveOps(page.drawing().ops).empty());
  EXPECT_EQ(texts(page.drawing(), GraphFont::Page), (std::vector<std::string>{"00:00:00", "00:00:10", "00:00:20"}));

  const Drawing copy = page.copyGraph();
  EXPECT_EQ(copy.ops.back(), DrawOp::line(0, 0, 400, 0, kGraphFrame));
  PixelCanvas canvas(copy.width, copy.height);
  canvas.replay(copy);
  for (int x : {0, 200, 399}) EXPECT_EQ(canvas.at(x, 0), kGraphFrame);  // all four edges
  EXPECT_EQ(canvas.at(0, 150), kGraphFrame);
  EXPECT_EQ(canvas.at(399, 150), kGraphFrame);
  EXPECT_EQ(canvas.at(200, 299), kGraphFrame);
}

TEST(GraphRaster, LinesExcludeTheirEndPixel) {
  std::vector<std::pair<int, int>> pixels;
  forEachLinePixel(0, 0, 3, 1, [&](int x, int y) { pixels.emplace_back(x, y); });
  EXPECT_EQ(pixels, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 1}}));
  pixels.clear();
  forEachLinePixel(5, 5, 5, 2, [&](int x, int y) { pixels.emplace_back(x, y); });
  EXPECT_EQ(pixels, (std::vector<std::pair<int, int>>{{5, 5}, {5, 4}, {5, 3}}));
  pixels.clear();
  forEachLinePixel(1, 1, 1, 1, [&](int x, int y) { pixels.emplace_back(x, y); });
  EXPECT_TRUE(pixels.empty());
}

}  // namespace
}  // namespace lmv
