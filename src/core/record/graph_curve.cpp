#include "record/graph_curve.h"

#include <algorithm>

namespace lmv {

void CurvePen::lineTo(int x, int y) {
  if (mode_ == CurveDrawing::PerColumn && x == x_) {
    // A vertical segment covers its start and stops one pixel before its end.
    if (y > y_) {
      addSpan(x, y_, y - 1);
    } else if (y < y_) {
      addSpan(x, y + 1, y_);
    }
  } else if (x != x_ || y != y_) {
    out_.push_back(DrawOp::line(x_, y_, x, y, color_));
  }
  x_ = x;
  y_ = y;
}

void CurvePen::addSpan(int column, int low, int high) {
  if (haveColumn_ && column != column_) finish();
  haveColumn_ = true;
  column_ = column;
  // Consecutive segments nearly always touch the span before.
  if (!spans_.empty()) {
    Span& last = spans_.back();
    if (low <= last.high + 1 && high >= last.low - 1) {
      last.low = std::min(last.low, low);
      last.high = std::max(last.high, high);
      return;
    }
  }
  spans_.push_back({low, high});
  if (spans_.size() >= compactAt_) compact();
}

void CurvePen::compact() {
  std::sort(spans_.begin(), spans_.end(), [](const Span& a, const Span& b) { return a.low < b.low; });
  size_t kept = 0;
  for (size_t i = 1; i < spans_.size(); ++i) {
    if (spans_[i].low <= spans_[kept].high + 1) {
      spans_[kept].high = std::max(spans_[kept].high, spans_[i].high);
    } else {
      spans_[++kept] = spans_[i];
    }
  }
  spans_.resize(kept + 1);
  // Disjoint spans of one column are bounded by its height; grow the
  // threshold so that compaction stays rare.
  compactAt_ = std::max<size_t>(16, spans_.size() * 2);
}

void CurvePen::finish() {
  if (!haveColumn_) return;
  if (!spans_.empty()) compact();
  for (const Span& s : spans_) out_.push_back(DrawOp::line(column_, s.low, column_, s.high + 1, color_));
  spans_.clear();
  compactAt_ = 16;
  haveColumn_ = false;
}

}  // namespace lmv
