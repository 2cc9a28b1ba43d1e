#include "record/graph.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "monitor/value_codes.h"

namespace lmv {
namespace {

int32_t clampToInt32(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Truncation toward zero; values no 64-bit integer holds (never from real
// samples) are clamped so that the conversion stays defined.
int64_t truncToInt64(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 9.2e18) return std::numeric_limits<int64_t>::max() / 2;
  if (v <= -9.2e18) return std::numeric_limits<int64_t>::min() / 2;
  return static_cast<int64_t>(v);
}

int64_t raiseToMultiple(int64_t v, int64_t step) {
  const int64_t r = v % step;
  if (r == 0) return v;
  return r > 0 ? v - r + step : v - r;
}

int64_t lowerToMultiple(int64_t v, int64_t step) {
  const int64_t r = v % step;
  if (r == 0) return v;
  return r > 0 ? v - r : v - r - step;
}

double powerOfTen(int64_t exponent) {
  static constexpr double kTable[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  if (exponent >= 0 && exponent < 10) return kTable[exponent];
  return std::pow(10.0, static_cast<double>(exponent));
}

// Far beyond any run; keeps the pixel arithmetic of damaged times in range.
constexpr int64_t kSecondsLimit = int64_t{1} << 40;

enum SampleKind { Good = 0, OverPositive = 1, OverNegative = 2, NoValue = 3, NoSensor = 4 };

SampleKind kindOf(int32_t code) {
  switch (code) {
    case CodeOver: return OverPositive;
    case CodeOverNegative: return OverNegative;
    case CodeNoValue: return NoValue;
    case CodeNotConnected: return NoSensor;
    default: return Good;
  }
}

}  // namespace

GraphGeometry graphGeometry(const PixelRect& r) {
  GraphGeometry g{};
  g.xL = r.left + 46;
  g.xR = r.right - 10;
  g.yT = r.top + 9;
  g.yB = r.bottom - 20;
  g.width = g.xR - g.xL;
  g.height = g.yB - g.yT;
  g.timeStrip = {g.xL, g.yB, g.xR, r.bottom};
  for (int i = 0; i < 6; ++i) {
    const int y = g.yT + (i * g.height) / 5;
    g.valueLabels[i] = {r.left, y - 10, r.left + 44, y + 10};
  }
  return g;
}

int64_t runSampleCount(const GraphState& state, size_t recordCount) {
  if (recordCount == 0) return 0;
  // A first record outside the store (a damaged record file) is taken as
  // the store's start or end, so the graph never reads beyond it.
  const int64_t first = std::max<int64_t>(state.runFirstRecord, 1);
  return std::max<int64_t>(static_cast<int64_t>(recordCount) - first + 1, 0);
}

int64_t roundedSeconds(double days) {
  days += days >= 0 ? 0.5 / 86400.0 : -0.5 / 86400.0;
  return truncToInt64(days * 86400.0);
}

void computeTimeSpan(GraphState& state, const RecordArray& records) {
  const int64_t n = runSampleCount(state, records.size());
  if (n <= 1) {
    state.timeSpan = clampToInt32(int64_t{10} * state.graphIntervalSeconds);
    return;
  }
  const _RECORD_DATA& first = records[records.size() - static_cast<size_t>(n)];
  const int64_t s = roundedSeconds(records.back().dtTimeDays - first.dtTimeDays);
  if (s < state.timeSpan) return;
  int64_t span = truncToInt64(state.timeSpan * 1.25);
  const int64_t step = span < 300 ? 10 : span < 3600 ? 30 : 60;
  span = raiseToMultiple(span, step);
  // A span of zero (an interval of 0:0:0 read from a file) would never grow.
  if (span < step) span = step;
  state.timeSpan = clampToInt32(span);
}

void computeValueAxis(GraphState& state, int64_t runSamples) {
  if (state.autoScale == 0 || state.rescalePending == 0 || runSamples < 1) return;
  state.rescalePending = 0;
  state.axisScale = std::max(state.maxScale, state.minScale);

  // Ranges above 3 count as 3; the arithmetic is single precision.
  const int32_t a = std::min(state.maxScale, 3);
  const int32_t b = std::min(state.minScale, 3);
  float fMax = static_cast<float>(state.maxCount);
  float fMin = static_cast<float>(state.minCount);
  if (a > b) fMin = fMin / static_cast<float>(powerOfTen(int64_t{a} - b));
  if (a < b) fMax = fMax / static_cast<float>(powerOfTen(int64_t{b} - a));

  float r = fMax - fMin;
  int64_t step = 1;
  if (r > 10000) {
    step = 500;
  } else if (r > 1000) {
    step = 100;
  } else if (r > 100) {
    step = 10;
  } else if (r < 10) {
    r = 10;
  }
  const double m = static_cast<double>(r) * 0.20000000298023224;

  int64_t top = raiseToMultiple(truncToInt64(static_cast<double>(fMax) + m), step);
  if (fMax < 0 && fMin < 0 && top > 0) top = 0;
  int64_t bottom = lowerToMultiple(truncToInt64(static_cast<double>(fMin) - m), step);
  const int64_t rest = ((top - bottom) % 5 + 5) % 5;
  if (rest != 0) bottom -= 5 - rest;
  if (fMax > 0 && fMin > 0 && bottom < 0) bottom = 0;
  if (bottom <= 0) {
    top -= bottom;
    bottom = 0;
    if (top < 5) top = 5;
  }
  state.axisTop = clampToInt32(top);
  state.axisBottom = clampToInt32(bottom);
}

std::string timeLabelText(int64_t s) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02" PRId64 ":%02" PRId64 ":%02" PRId64, s / 3600, (s / 60) % 60, s % 60);
  return buf;
}

std::string valueLabelText(int64_t value, int decimals) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%" PRId64, value);
  std::string text = buf;
  // Three decimals is the most any range has; more comes only from a
  // damaged file and is not worth a label of thousands of zeros.
  decimals = std::clamp(decimals, 0, 9);
  if (decimals == 0) return text;
  const size_t sign = text[0] == '-' ? 1 : 0;
  const size_t digits = text.size() - sign;
  if (digits < static_cast<size_t>(decimals) + 1) text.insert(sign, static_cast<size_t>(decimals) + 1 - digits, '0');
  text.insert(text.size() - static_cast<size_t>(decimals), ".");
  return text;
}

void drawGraphFrame(const GraphState& state, std::vector<DrawOp>& out) {
  const PixelRect& r = state.plotRect;
  const GraphGeometry g = graphGeometry(r);

  out.push_back(DrawOp::fill(r, kGraphBackground));
  out.push_back(DrawOp::line(r.left, r.top, r.left, r.bottom - 1, kGraphFrame));
  out.push_back(DrawOp::line(r.left, r.bottom - 1, r.right - 1, r.bottom - 1, kGraphFrame));
  out.push_back(DrawOp::line(r.right - 1, r.bottom - 1, r.right - 1, r.top - 1, kGraphFrame));

  for (int k = 1; k <= 9; ++k) {
    const int y = g.yT + (k * g.height) / 10;
    out.push_back(DrawOp::dotted(g.xL, y, g.xR, y, kGraphGrid));
  }
  for (int k = 1; k <= 9; ++k) {
    const int x = g.xL + (k * g.width) / 10;
    out.push_back(DrawOp::dotted(x, g.yT, x, g.yB, kGraphGrid));
  }
  out.push_back(DrawOp::line(g.xL, g.yT, g.xL, g.yB - 1, kGraphBlack));
  out.push_back(DrawOp::line(g.xL, g.yB - 1, g.xR - 1, g.yB - 1, kGraphBlack));
  out.push_back(DrawOp::line(g.xR - 1, g.yB - 1, g.xR - 1, g.yT, kGraphBlack));
  out.push_back(DrawOp::line(g.xR - 1, g.yT, g.xL, g.yT, kGraphBlack));

  const int64_t span = state.timeSpan;
  const int64_t half = span >= 0 ? span / 2 : -((-span + 1) / 2);
  out.push_back(DrawOp::textIn(g.timeStrip, "00:00:00", TextAlign::Left, GraphFont::Page));
  out.push_back(DrawOp::textIn(g.timeStrip, timeLabelText(half), TextAlign::Center, GraphFont::Page));
  out.push_back(DrawOp::textIn(g.timeStrip, timeLabelText(span), TextAlign::Right, GraphFont::Page));

  const double top = state.axisTop;
  const double range = static_cast<double>(state.axisTop) - state.axisBottom;
  for (int i = 0; i < 6; ++i) {
    const double v = top - i * range / 5;
    out.push_back(DrawOp::textIn(g.valueLabels[i], valueLabelText(std::llround(v), state.labelDecimals),
                                 TextAlign::Right, GraphFont::ValueLabel));
  }
}

void drawCurve(const GraphState& state, const RecordArray& records, CurveDrawing mode, std::vector<DrawOp>& out) {
  const int64_t n = runSampleCount(state, records.size());
  if (n < 1) return;
  const GraphGeometry g = graphGeometry(state.plotRect);
  const size_t firstIndex = records.size() - static_cast<size_t>(n);
  const double firstTime = records[firstIndex].dtTimeDays;
  const int64_t top = state.axisTop;
  const int64_t spanValues = int64_t{state.axisTop} - state.axisBottom;
  const int64_t spanSeconds = std::max<int64_t>(state.timeSpan, 1);
  const int32_t axisDecades = std::min(state.axisScale, 3);
  const int yTop = g.yT + 1;
  const int yBottom = g.yB - 2;

  const auto ymap = [&](int64_t v) {
    const int64_t d = top - v;
    if (d <= 0) return yTop;
    if (d > spanValues) return yBottom;
    const int64_t y = g.yT + d * g.height / spanValues;
    return y > yBottom ? yBottom : static_cast<int>(y);
  };
  const auto xmap = [&](double time) {
    const int64_t s = std::clamp<int64_t>(roundedSeconds(time - firstTime), -kSecondsLimit, kSecondsLimit);
    const int64_t x = g.xL + s * g.width / spanSeconds;
    if (x < g.xL) return g.xL + 1;
    if (x > g.xR - 2) return g.xR - 2;
    return static_cast<int>(x);
  };

  CurvePen pen(out, kGraphCurve, mode);
  SampleKind previous = Good;
  int rememberedY = 0;
  for (size_t i = firstIndex; i < records.size(); ++i) {
    const _RECORD_DATA& sample = records[i];
    const SampleKind kind = kindOf(sample.nValue);
    int64_t v = sample.nValue;
    const int32_t decades = std::min(sample.nRange, 3);
    if (decades < axisDecades) v = truncToInt64(v / powerOfTen(int64_t{axisDecades} - decades));

    if (i == firstIndex) {
      const int y = kind == OverPositive ? yTop : kind == OverNegative ? yBottom : ymap(v);
      pen.moveTo(g.xL + 1, y);
      rememberedY = y;
    } else if (previous == Good) {
      if (kind == OverPositive) {
        pen.lineTo(pen.x(), yTop);
      } else if (kind == OverNegative) {
        pen.lineTo(pen.x(), yBottom);
      } else {
        const int x = xmap(sample.dtTimeDays);
        const int y = ymap(v);
        if (kind == Good) pen.lineTo(x, y);
        rememberedY = y;  // a gap: the pen stays, the position is remembered
      }
    } else if (kind == Good) {
      const int x = xmap(sample.dtTimeDays);
      const int y = ymap(v);
      if (previous == OverPositive) {
        pen.moveTo(x, yTop);
        pen.lineTo(x, y);
      } else if (previous == OverNegative) {
        pen.moveTo(x, yBottom);
        pen.lineTo(x, y);
      } else {
        pen.moveTo(x, rememberedY);
        pen.moveTo(x, y);
      }
      rememberedY = y;
    }
    previous = kind;
  }
  pen.finish();
}

void GraphPage::initialise(const PixelRect& plotRect, int32_t intervalSeconds) {
  state_ = GraphState{};
  state_.plotRect = plotRect;
  state_.graphIntervalSeconds = intervalSeconds;
  // The span the first paint will compute for an empty run.
  state_.timeSpan = clampToInt32(int64_t{10} * intervalSeconds);
  Drawing d{plotRect.right - plotRect.left, plotRect.bottom - plotRect.top, {}};
  drawGraphFrame(state_, d.ops);
  show(std::move(d));
}

Drawing GraphPage::fullDrawing() {
  computeTimeSpan(state_, store_.records);
  computeValueAxis(state_, runSamples());
  Drawing d{state_.plotRect.right - state_.plotRect.left, state_.plotRect.bottom - state_.plotRect.top, {}};
  drawGraphFrame(state_, d.ops);
  drawCurve(state_, store_.records, curveDrawing_, d.ops);
  return d;
}

void GraphPage::drawGraph() { show(fullDrawing()); }

void GraphPage::resetGraph() {
  state_.axisTop = 2000;
  state_.axisBottom = 0;
  state_.labelDecimals = 2;
  state_.extremeUnitText.clear();
  state_.blankFlag = 1;
  Drawing d{state_.plotRect.right - state_.plotRect.left, state_.plotRect.bottom - state_.plotRect.top, {}};
  drawGraphFrame(state_, d.ops);
  show(std::move(d));
}

Drawing GraphPage::copyGraph() {
  Drawing d = fullDrawing();
  const PixelRect& r = state_.plotRect;
  d.ops.push_back(DrawOp::line(r.left, r.top, r.right, r.top, kGraphFrame));
  return d;
}

void GraphPage::show(Drawing drawing) {
  drawing_ = std::move(drawing);
  if (view_) view_->graphChanged(drawing_);
}

}  // namespace lmv
