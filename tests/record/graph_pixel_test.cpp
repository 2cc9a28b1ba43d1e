// The graph page draws the curve from a summary pyramid and keeps its pen
// between samples; whatever the plot size and the data, the pixels must be
// exactly those of the reference drawing, one line per pen stroke.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "monitor/value_codes.h"
#include "record/graph.h"
#include "record/graph_raster.h"

namespace lmv {
namespace {

constexpr double kT0 = 41827.0;  // 2014-07-07

_RECORD_DATA sampleAt(double seconds, int32_t value, int32_t range) {
  _RECORD_DATA r;
  r.nValue = value;
  r.nRange = range;
  r.dtTimeDays = kT0 + seconds / 86400.0;
  return r;
}

enum class Pattern {
  SteadyFastMode,     // a random walk, ten samples a second
  StepsBackInTime,    // repeated times and times that go back
  FullHeightSwings,   // bottom to beyond the top and back, and values at the top edge
  Gaps,               // stretches without a value or without the sensor
  OverRange,          // stretches over range both ways, next to gaps
  PileInLastColumn,   // most samples beyond the time span
  MixedRanges,        // every range, values scaled to the axis
  DamagedFile,        // negative ranges and times that are not numbers
};

struct PixelCase {
  const char* name;
  PixelRect plot;
  Pattern pattern;
  int samples;
};

RecordArray makeRecords(Pattern pattern, int n, uint32_t seed) {
  std::mt19937 rng(seed);
  const auto uniform = [&](int low, int high) { return low + static_cast<int>(rng() % static_cast<uint32_t>(high - low + 1)); };
  RecordArray out;
  double t = 0;
  int32_t value = 1000;
  for (int i = 0; i < n; ++i) {
    int32_t code = 0;
    int32_t range = 2;
    switch (pattern) {
      case Pattern::SteadyFastMode:
        t = i / 10.0;
        value = std::clamp(value + uniform(-20, 20), 0, 1999);
        code = value;
        break;
      case Pattern::StepsBackInTime:
        t += uniform(0, 99) < 10 ? -uniform(1, 30) : uniform(0, 3);
        value = std::clamp(value + uniform(-150, 150), 0, 1999);
        code = value;
        break;
      case Pattern::FullHeightSwings: {
        t += uniform(0, 2) * 0.5;
        const int r = uniform(0, 9);
        code = r < 3 ? uniform(-50, 10) : r < 6 ? uniform(1990, 2300) : r < 8 ? uniform(1940, 2005) : uniform(0, 2000);
        break;
      }
      case Pattern::Gaps: {
        t += uniform(0, 2);
        value = std::clamp(value + uniform(-200, 200), 0, 1999);
        const int r = uniform(0, 99);
        code = r < 20 ? CodeNoValue : r < 30 ? CodeNotConnected : value;
        if (i % 500 >= 450) code = CodeNoValue;  // a long stretch
        break;
      }
      case Pattern::OverRange: {
        t += uniform(0, 2);
        value = std::clamp(value + uniform(-200, 200), 0, 1999);
        const int r = uniform(0, 99);
        code = r < 15 ? CodeOver : r < 25 ? CodeOverNegative : r < 30 ? CodeNoValue : r < 33 ? CodeNotConnected : value;
        if (i % 400 >= 370) code = i % 800 >= 400 ? CodeOver : CodeOverNegative;
        break;
      }
      case Pattern::PileInLastColumn:
        t = i < n / 10 ? i : 100000.0 + uniform(0, 5);
        value = std::clamp(value + uniform(-300, 300), 0, 1999);
        code = uniform(0, 49) == 0 ? CodeOver : value;
        break;
      case Pattern::MixedRanges:
        t += uniform(0, 3);
        range = uniform(0, 5);
        code = uniform(0, 19999);
        break;
      case Pattern::DamagedFile:
        t += uniform(-1, 3);
        range = uniform(-3, 6);
        code = uniform(-3000, 3000);
        break;
    }
    _RECORD_DATA r = sampleAt(t, code, range);
    if (pattern == Pattern::DamagedFile && uniform(0, 49) == 0) r.dtTimeDays = std::numeric_limits<double>::quiet_NaN();
    out.push_back(r);
  }
  return out;
}

GraphState stateFor(const PixelRect& plot, int n) {
  GraphState s;
  s.plotRect = plot;
  s.axisTop = 2000;
  s.axisBottom = 0;
  s.axisScale = 2;
  s.timeSpan = std::max(n / 4, 10);
  return s;
}

PixelCanvas curvePixels(const PixelRect& plot, const std::vector<DrawOp>& ops) {
  PixelCanvas canvas(std::max(plot.right, 1), std::max(plot.bottom, 1));
  for (const DrawOp& op : ops) {
    if (op.color == kGraphCurve && op.kind == DrawKind::Line) canvas.draw(op);
  }
  return canvas;
}

PixelCanvas referencePixels(const GraphState& s, const RecordArray& records) {
  std::vector<DrawOp> ops;
  drawCurve(s, records, CurveDrawing::Reference, ops);
  return curvePixels(s.plotRect, ops);
}

class CurvePixels : public ::testing::TestWithParam<PixelCase> {};

TEST_P(CurvePixels, IndexedDrawingHasTheReferencePixels) {
  const PixelCase& c = GetParam();
  for (uint32_t seed : {1u, 2u, 3u}) {
    const RecordArray records = makeRecords(c.pattern, c.samples, seed);
    for (int32_t axisScale : {0, 2, 3}) {
      GraphState s = stateFor(c.plot, c.samples);
      s.axisScale = axisScale;
      std::vector<DrawOp> ops;
      drawCurve(s, records, CurveDrawing::Indexed, ops);
      EXPECT_TRUE(curvePixels(c.plot, ops) == referencePixels(s, records)) << "seed " << seed << " scale " << axisScale;
    }
  }
}

TEST_P(CurvePixels, PageFollowingEverySampleHasTheReferencePixels) {
  const PixelCase& c = GetParam();
  const RecordArray all = makeRecords(c.pattern, c.samples, 7);
  RecordStore store;
  GraphPage page(store);
  page.initialise(c.plot, 1);
  GraphState& s = page.state();
  s.axisScale = 2;
  s.timeSpan = 10;  // grows as the run goes on, so the page redraws in full now and then
  const int checkEvery = std::max(c.samples / 23, 1);
  for (int i = 0; i < c.samples; ++i) {
    store.records.push_back(all[static_cast<size_t>(i)]);
    if (i == c.samples / 2) {
      // A new extreme moves the axis.
      s.maxCount = 2500;
      s.maxScale = 2;
      s.minCount = 0;
      s.minScale = 2;
      s.rescalePending = 1;
    }
    page.sampleAppended();
    if (i % checkEvery == 0 || i == c.samples - 1) {
      ASSERT_TRUE(curvePixels(c.plot, page.drawing().ops) == referencePixels(s, store.records)) << "sample " << i;
    }
  }
  // A full redraw gives the same picture again, and the frame is there.
  const PixelCanvas followed = curvePixels(c.plot, page.drawing().ops);
  const int32_t span = s.timeSpan;
  page.drawGraph();
  if (s.timeSpan == span) {
    EXPECT_TRUE(curvePixels(c.plot, page.drawing().ops) == followed);
  }
  EXPECT_TRUE(curvePixels(c.plot, page.drawing().ops) == referencePixels(s, store.records));
  EXPECT_EQ(page.drawing().ops.front(), DrawOp::fill(c.plot, kGraphBackground));
}

TEST_P(CurvePixels, ClearingTheLastSamplesRedrawsTheRest) {
  const PixelCase& c = GetParam();
  RecordStore store;
  store.records = makeRecords(c.pattern, c.samples, 11);
  GraphPage page(store);
  page.initialise(c.plot, 1);
  page.state().axisScale = 2;
  page.state().timeSpan = std::max(c.samples / 4, 10);
  page.drawGraph();
  for (int removed : {1, 1, 63, 64, 65, 700}) {
    for (int k = 0; k < removed && store.records.size() > 1; ++k) store.records.pop_back();
    page.drawGraph();
    ASSERT_TRUE(curvePixels(c.plot, page.drawing().ops) == referencePixels(page.state(), store.records))
        << store.records.size() << " left";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CurvePixels,
    ::testing::Values(PixelCase{"PageSizeSteady", {0, 0, 400, 300}, Pattern::SteadyFastMode, 6000},
                      PixelCase{"PageSizeStepsBack", {0, 0, 400, 300}, Pattern::StepsBackInTime, 3000},
                      PixelCase{"PageSizeSwings", {0, 0, 400, 300}, Pattern::FullHeightSwings, 3000},
                      PixelCase{"PageSizeGaps", {0, 0, 400, 300}, Pattern::Gaps, 3000},
                      PixelCase{"PageSizeOverRange", {0, 0, 400, 300}, Pattern::OverRange, 3000},
                      PixelCase{"PageSizePileInLastColumn", {0, 0, 400, 300}, Pattern::PileInLastColumn, 3000},
                      PixelCase{"PageSizeMixedRanges", {0, 0, 400, 300}, Pattern::MixedRanges, 3000},
                      PixelCase{"PageSizeDamagedFile", {0, 0, 400, 300}, Pattern::DamagedFile, 3000},
                      PixelCase{"WideSteady", {0, 0, 1200, 500}, Pattern::SteadyFastMode, 6000},
                      PixelCase{"WideSwings", {0, 0, 1200, 500}, Pattern::FullHeightSwings, 3000},
                      PixelCase{"TallOverRange", {0, 0, 200, 900}, Pattern::OverRange, 3000},
                      PixelCase{"SmallGaps", {0, 0, 90, 60}, Pattern::Gaps, 2000},
                      PixelCase{"SmallStepsBack", {0, 0, 90, 60}, Pattern::StepsBackInTime, 2000},
                      PixelCase{"NarrowPile", {0, 0, 58, 300}, Pattern::PileInLastColumn, 2000},
                      PixelCase{"FlatSwings", {0, 0, 400, 31}, Pattern::FullHeightSwings, 2000},
                      PixelCase{"NoPlotArea", {0, 0, 40, 20}, Pattern::OverRange, 1000}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lmv
