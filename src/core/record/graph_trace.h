#pragma once
// The pen of the graph's curve, kept between redraws. It follows the pen
// rules of the reference drawing sample by sample, but holds the vertical
// strokes of the pen's current pixel column as one span instead of one line
// each, so what it has drawn stays a few lines per column however many
// samples arrive. A sample adds constant work; the whole run can also be
// traced through a CurveIndex, one column at a time, with the same pixels.
#include <cstddef>
#include <vector>

#include "record/graph_drawing.h"
#include "record/graph_index.h"
#include "record/graph_mapping.h"
#include "record/record_data.h"

namespace lmv {

class CurveTrace {
 public:
  void clear();
  // Samples of the run taken so far.
  size_t traced() const { return traced_; }

  // The next sample of the run.
  void add(const CurveMapping& m, const _RECORD_DATA& sample);
  // count further values in the pen's column ending at lastRow. When some
  // of them (or the pen's own row) differ from lastRow, lowRow and highRow
  // are the row range from the pen's sample to the last of those.
  void addColumnRun(size_t count, int lastRow, bool changed, int lowRow, int highRow);
  // count further samples that are no value, the last of kind lastKind.
  void skip(size_t count, SampleKind lastKind);

  int penX() const { return penX_; }
  // The lines drawn so far, appended to out.
  void appendOps(std::vector<DrawOp>& out) const;
  size_t opCount() const { return closed_.size() + (spanEmpty_ ? 0 : 1); }

 private:
  void moveTo(int x, int y);
  void lineTo(int x, int y);
  void extendSpan(int low, int high);
  void closeSpan();

  std::vector<DrawOp> closed_;
  size_t traced_ = 0;
  int penX_ = 0, penY_ = 0;
  SampleKind previous_ = KindGood;
  bool spanEmpty_ = true;
  int spanLow_ = 0, spanHigh_ = 0;  // inclusive, in the pen's column
};

// Traces the whole run (samples[0 .. index.size())) into an empty trace.
void traceRun(const CurveIndex& index, const _RECORD_DATA* samples, const CurveMapping& m, CurveTrace& trace);

}  // namespace lmv
