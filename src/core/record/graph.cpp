#include "record/graph.h"

#include <algorithm>
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string_view>
#include <utility>

#include "monitor/value_codes.h"

namespace lmv {
namespace {

int32_t clampToInt32(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
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

// The samples of the run in a store of records: their first index and count.
struct RunSpan {
  size_t first = 0;
  size_t count = 0;
};

RunSpan runSpan(const GraphState& state, const RecordArray& records) {
  const int64_t n = runSampleCount(state, records.size());
  return {records.size() - static_cast<size_t>(n), static_cast<size_t>(n)};
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
  char digits[24];
  std::string_view text(digits, static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits));
  // Three decimals is the most any range has; more comes only from a
  // damaged file and is not worth a label of thousands of zeros.
  const size_t d = static_cast<size_t>(std::clamp(decimals, 0, 9));
  if (d == 0) return std::string(text);
  std::string label;
  if (text.front() == '-') {
    label += '-';
    text.remove_prefix(1);
  }
  // Zeros after the sign until one digit stands before the point.
  if (text.size() > d) {
    label += text.substr(0, text.size() - d);
    label += '.';
    label += text.substr(text.size() - d);
  } else {
    label += "0.";
    label.append(d - text.size(), '0');
    label += text;
  }
  return label;
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

CurveMapping curveMapping(const GraphState& state, double firstTime) {
  const GraphGeometry g = graphGeometry(state.plotRect);
  CurveMapping m;
  m.xL = g.xL;
  m.xR = g.xR;
  m.yT = g.yT;
  m.yB = g.yB;
  m.width = g.width;
  m.height = g.height;
  m.top = state.axisTop;
  m.spanValues = int64_t{state.axisTop} - state.axisBottom;
  m.spanSeconds = std::max<int64_t>(state.timeSpan, 1);
  m.axisDecades = std::min(state.axisScale, 3);
  m.firstTime = firstTime;
  return m;
}

void drawCurve(const GraphState& state, const RecordArray& records, CurveDrawing mode, std::vector<DrawOp>& out) {
  const RunSpan run = runSpan(state, records);
  if (run.count < 1) return;
  const _RECORD_DATA* samples = records.data() + run.first;
  const CurveMapping m = curveMapping(state, samples[0].dtTimeDays);
  if (mode == CurveDrawing::Indexed) {
    CurveIndex index;
    index.build(samples, run.count);
    CurveTrace trace;
    traceRun(index, samples, m, trace);
    trace.appendOps(out);
    return;
  }

  const int yTop = m.yTop();
  const int yBottom = m.yBottom();
  CurvePen pen(out, kGraphCurve, mode);
  SampleKind previous = KindGood;
  int rememberedY = 0;
  for (size_t i = 0; i < run.count; ++i) {
    const _RECORD_DATA& sample = samples[i];
    const SampleKind kind = sampleKindOf(sample.nValue);
    const int64_t v = m.scaled(sample.nValue, sample.nRange);

    if (i == 0) {
      const int y = kind == KindOverPositive ? yTop : kind == KindOverNegative ? yBottom : m.row(v);
      pen.moveTo(m.xL + 1, y);
      rememberedY = y;
    } else if (previous == KindGood) {
      if (kind == KindOverPositive) {
        pen.lineTo(pen.x(), yTop);
      } else if (kind == KindOverNegative) {
        pen.lineTo(pen.x(), yBottom);
      } else {
        const int x = m.column(m.seconds(sample.dtTimeDays));
        const int y = m.row(v);
        if (kind == KindGood) pen.lineTo(x, y);
        rememberedY = y;  // a gap: the pen stays, the position is remembered
      }
    } else if (kind == KindGood) {
      const int x = m.column(m.seconds(sample.dtTimeDays));
      const int y = m.row(v);
      if (previous == KindOverPositive) {
        pen.moveTo(x, yTop);
        pen.lineTo(x, y);
      } else if (previous == KindOverNegative) {
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
  trace_.clear();
  Drawing d{plotRect.right - plotRect.left, plotRect.bottom - plotRect.top, {}};
  drawGraphFrame(state_, d.ops);
  show(std::move(d));
}

bool GraphPage::syncIndex(bool storeMayHaveMoved) {
  const RecordArray& records = store_.records;
  const RunSpan run = runSpan(state_, records);
  if (run.count == 0) {
    index_.clear();
    trace_.clear();
    return false;
  }
  const _RECORD_DATA* data = records.data();
  const size_t have = index_.size();
  bool same = have > 0 && indexFirst_ == run.first && records[run.first] == indexFirstSample_ &&
              (data == indexData_ || storeMayHaveMoved);
  if (same) {
    same = have <= run.count ? records[run.first + have - 1] == indexLastSample_ : data == indexData_;
  }
  bool grew = false;
  if (!same) {
    index_.build(data + run.first, run.count);
    trace_.clear();
  } else if (have > run.count) {
    index_.truncate(data + run.first, run.count);
    trace_.clear();
  } else {
    for (size_t i = have; i < run.count; ++i) index_.append(data + run.first);
    grew = true;
  }
  indexFirst_ = run.first;
  indexData_ = data;
  indexFirstSample_ = records[run.first];
  indexLastSample_ = records[run.first + run.count - 1];
  return grew;
}

Drawing GraphPage::frameWithCurve() {
  Drawing d{state_.plotRect.right - state_.plotRect.left, state_.plotRect.bottom - state_.plotRect.top, {}};
  drawGraphFrame(state_, d.ops);
  if (curveDrawing_ != CurveDrawing::Indexed) {
    drawCurve(state_, store_.records, curveDrawing_, d.ops);
  } else {
    d.ops.reserve(d.ops.size() + trace_.opCount());
    trace_.appendOps(d.ops);
  }
  return d;
}

Drawing GraphPage::fullDrawing() {
  computeTimeSpan(state_, store_.records);
  computeValueAxis(state_, runSamples());
  if (curveDrawing_ == CurveDrawing::Indexed) {
    syncIndex(false);
    trace_.clear();
    if (index_.size() > 0) {
      const _RECORD_DATA* samples = store_.records.data() + indexFirst_;
      traceMapping_ = curveMapping(state_, samples[0].dtTimeDays);
      traceRun(index_, samples, traceMapping_, trace_);
    }
  }
  return frameWithCurve();
}

void GraphPage::drawGraph() {
  if (unseen_) {
    computeTimeSpan(state_, store_.records);
    computeValueAxis(state_, runSamples());
    return;
  }
  show(fullDrawing());
}

void GraphPage::sampleAppended() {
  if (unseen_ || curveDrawing_ != CurveDrawing::Indexed) {
    drawGraph();
    return;
  }
  computeTimeSpan(state_, store_.records);
  computeValueAxis(state_, runSamples());
  const bool grew = syncIndex(true);
  if (index_.size() == 0) {
    trace_.clear();
  } else {
    const _RECORD_DATA* samples = store_.records.data() + indexFirst_;
    const CurveMapping m = curveMapping(state_, samples[0].dtTimeDays);
    if (!grew || m != traceMapping_ || trace_.traced() > index_.size()) {
      // The axis, the span or the frame moved: every sample lands elsewhere.
      trace_.clear();
      traceMapping_ = m;
      traceRun(index_, samples, m, trace_);
    } else {
      for (size_t i = trace_.traced(); i < index_.size(); ++i) trace_.add(m, samples[i]);
    }
  }
  show(frameWithCurve());
}

void GraphPage::resetGraph() {
  state_.axisTop = 2000;
  state_.axisBottom = 0;
  state_.labelDecimals = 2;
  state_.extremeUnitText.clear();
  state_.blankFlag = 1;
  trace_.clear();
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
