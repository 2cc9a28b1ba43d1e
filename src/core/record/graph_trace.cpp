#include "record/graph_trace.h"

#include <algorithm>

namespace lmv {
namespace {

int rowOf(const CurveMapping& m, const _RECORD_DATA& sample) { return m.row(m.scaled(sample.nValue, sample.nRange)); }

}  // namespace

void CurveTrace::clear() {
  closed_.clear();
  traced_ = 0;
  penX_ = penY_ = 0;
  previous_ = KindGood;
  spanEmpty_ = true;
}

void CurveTrace::extendSpan(int low, int high) {
  if (spanEmpty_) {
    spanLow_ = low;
    spanHigh_ = high;
    spanEmpty_ = false;
  } else {
    spanLow_ = std::min(spanLow_, low);
    spanHigh_ = std::max(spanHigh_, high);
  }
}

void CurveTrace::closeSpan() {
  if (spanEmpty_) return;
  closed_.push_back(DrawOp::line(penX_, spanLow_, penX_, spanHigh_ + 1, kGraphCurve));
  spanEmpty_ = true;
}

void CurveTrace::moveTo(int x, int y) {
  if (x == penX_ && y == penY_) return;
  closeSpan();
  penX_ = x;
  penY_ = y;
}

void CurveTrace::lineTo(int x, int y) {
  if (x == penX_) {
    // A vertical stroke covers its start and stops one pixel before its end;
    // it always touches what the pen drew in this column since it came here.
    if (y > penY_) extendSpan(penY_, y - 1);
    if (y < penY_) extendSpan(y + 1, penY_);
  } else {
    closeSpan();
    closed_.push_back(DrawOp::line(penX_, penY_, x, y, kGraphCurve));
    penX_ = x;
  }
  penY_ = y;
}

void CurveTrace::add(const CurveMapping& m, const _RECORD_DATA& sample) {
  const SampleKind kind = sampleKindOf(sample.nValue);
  if (traced_++ == 0) {
    penX_ = m.xL + 1;
    penY_ = kind == KindOverPositive ? m.yTop() : kind == KindOverNegative ? m.yBottom() : rowOf(m, sample);
    previous_ = kind;
    return;
  }
  if (previous_ == KindGood) {
    if (kind == KindOverPositive) {
      lineTo(penX_, m.yTop());
    } else if (kind == KindOverNegative) {
      lineTo(penX_, m.yBottom());
    } else if (kind == KindGood) {
      lineTo(m.column(m.seconds(sample.dtTimeDays)), rowOf(m, sample));
    }
    // No value: nothing is drawn and the pen stays.
  } else if (kind == KindGood) {
    const int x = m.column(m.seconds(sample.dtTimeDays));
    const int y = rowOf(m, sample);
    if (previous_ == KindOverPositive) {
      moveTo(x, m.yTop());
      lineTo(x, y);
    } else if (previous_ == KindOverNegative) {
      moveTo(x, m.yBottom());
      lineTo(x, y);
    } else {
      moveTo(x, y);
    }
  }
  previous_ = kind;
}

void CurveTrace::addColumnRun(size_t count, int lastRow, bool changed, int lowRow, int highRow) {
  // The strokes through rows r0 .. rk of one column cover every row between
  // the smallest and the largest, except the last row when only the last
  // stroke reaches it.
  if (changed) extendSpan(std::min(lowRow, lastRow + 1), std::max(highRow, lastRow - 1));
  penY_ = lastRow;
  traced_ += count;
  previous_ = KindGood;
}

void CurveTrace::skip(size_t count, SampleKind lastKind) {
  traced_ += count;
  previous_ = lastKind;
}

void CurveTrace::appendOps(std::vector<DrawOp>& out) const {
  out.insert(out.end(), closed_.begin(), closed_.end());
  if (!spanEmpty_) out.push_back(DrawOp::line(penX_, spanLow_, penX_, spanHigh_ + 1, kGraphCurve));
}

void traceRun(const CurveIndex& index, const _RECORD_DATA* samples, const CurveMapping& m, CurveTrace& trace) {
  const size_t n = index.size();
  if (n == 0) return;
  trace.add(m, samples[0]);
  size_t j = 1;
  while (j < n) {
    trace.add(m, samples[j]);
    if (sampleKindOf(samples[j].nValue) != KindGood) {
      // Further samples without a value do nothing but name the kind the
      // next value follows.
      const size_t good = index.firstGoodFrom(samples, j + 1, m);
      if (good > j + 1) trace.skip(good - j - 1, sampleKindOf(samples[good - 1].nValue));
      j = good;
      continue;
    }
    const int x = trace.penX();
    const size_t end = index.columnRunEnd(samples, j, m, x) - 1;
    if (end > j) {
      const int lastRow = rowOf(m, samples[end]);
      const size_t change = index.lastRowOtherThan(samples, j, end, m, lastRow);
      int low = 0, high = 0;
      if (change != CurveIndex::npos) index.rowRange(samples, j, change, m, low, high);
      trace.addColumnRun(end - j, lastRow, change != CurveIndex::npos, low, high);
    }
    j = end + 1;
  }
}

}  // namespace lmv
