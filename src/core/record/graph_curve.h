#pragma once
// Turns the pen path of the graph's curve (moves and lines) into line
// operations. The reference way emits one line per segment. The per-column
// way gives exactly the same pixels with a bounded number of lines per pixel
// column: the segments that stay inside one column are merged into the
// vertical spans they cover, and only the segments that cross columns are
// kept as they are. A run of a million samples on a plot a few hundred
// pixels wide then costs a few hundred lines to paint.
#include <vector>

#include "record/graph_drawing.h"

namespace lmv {

// Reference: one line per pen stroke. PerColumn: the strokes merged per
// pixel column. Indexed: the column spans found through the run's summary
// pyramid, kept between redraws by the graph page (graph_trace.h).
enum class CurveDrawing { Reference, PerColumn, Indexed };

class CurvePen {
 public:
  CurvePen(std::vector<DrawOp>& out, Rgb color, CurveDrawing mode) : out_(out), color_(color), mode_(mode) {}
  ~CurvePen() { finish(); }
  CurvePen(const CurvePen&) = delete;
  CurvePen& operator=(const CurvePen&) = delete;

  void moveTo(int x, int y) {
    x_ = x;
    y_ = y;
  }
  void lineTo(int x, int y);
  // Emits what is still held back; called by the destructor too.
  void finish();

  int x() const { return x_; }
  int y() const { return y_; }

 private:
  struct Span {
    int low, high;  // inclusive
  };
  void addSpan(int column, int low, int high);
  void compact();

  std::vector<DrawOp>& out_;
  Rgb color_;
  CurveDrawing mode_;
  int x_ = 0, y_ = 0;
  bool haveColumn_ = false;
  int column_ = 0;
  std::vector<Span> spans_;
  size_t compactAt_ = 16;
};

}  // namespace lmv
