#pragma once
// The graph page: the samples of the current run as a line over time, with
// a value axis that follows the run's extremes and a time axis that widens
// as the run goes on. The picture is produced as a Drawing that the desktop
// program's painter replays; every redraw hands over the whole picture at
// once, so the screen never shows a half-drawn graph.
#include <array>
#include <cstdint>
#include <string>

#include "record/graph_curve.h"
#include "record/graph_drawing.h"
#include "record/graph_index.h"
#include "record/graph_mapping.h"
#include "record/graph_trace.h"
#include "record/record_store.h"

namespace lmv {

struct GraphState {
  PixelRect plotRect;  // client rectangle of the plot frame; left and top are 0
  int32_t axisTop = 2000;  // in counts of axisScale
  int32_t axisBottom = 0;
  int32_t axisScale = 0;
  int32_t maxCount = 0;
  int32_t maxScale = 0;
  int32_t minCount = 0;
  int32_t minScale = 0;
  int32_t labelDecimals = 2;
  std::string extremeUnitText;
  int32_t autoScale = 1;
  int32_t rescalePending = 0;
  bool firstMaxPending = false;  // working flags of the graph extremes; not saved
  bool firstMinPending = false;
  int32_t timeSpan = 10;  // seconds across the time axis
  int32_t graphIntervalSeconds = 1;
  int32_t runFirstRecord = 1;  // 1-based position of the run's first sample
  int32_t blankFlag = 1;
};

struct GraphGeometry {
  int xL, xR, yT, yB;  // plot area
  int width, height;   // W, H
  PixelRect timeStrip;
  std::array<PixelRect, 6> valueLabels;  // top to bottom
};

GraphGeometry graphGeometry(const PixelRect& plotRect);

// Number of samples of the current run in a store of recordCount samples.
int64_t runSampleCount(const GraphState& state, size_t recordCount);

void computeTimeSpan(GraphState& state, const RecordArray& records);
void computeValueAxis(GraphState& state, int64_t runSamples);

// "hh:mm:ss" of a span, hours not limited.
std::string timeLabelText(int64_t seconds);
// An axis value in counts with the label's decimal places ("12.36").
std::string valueLabelText(int64_t value, int decimals);

// Outer frame, grid, time labels and value labels.
void drawGraphFrame(const GraphState& state, std::vector<DrawOp>& out);
void drawCurve(const GraphState& state, const RecordArray& records, CurveDrawing mode, std::vector<DrawOp>& out);
// Where the samples of a run whose first sample lies at firstTime land.
CurveMapping curveMapping(const GraphState& state, double firstTime);

class GraphView {
 public:
  virtual ~GraphView() = default;
  // The page's picture was replaced.
  virtual void graphChanged(const Drawing& drawing) = 0;
};

// The page keeps a summary pyramid of the run and the pen of the curve
// between redraws: an automatic sample costs the work of that one sample
// while the axis and the time span stay, and a full redraw walks the run one
// pixel column at a time. Both give exactly the pixels of the reference
// drawing.
class GraphPage {
 public:
  explicit GraphPage(const RecordStore& store) : store_(store) {}

  GraphState& state() { return state_; }
  const GraphState& state() const { return state_; }
  const Drawing& drawing() const { return drawing_; }
  void setView(GraphView* view) { view_ = view; }
  void setCurveDrawing(CurveDrawing mode) { curveDrawing_ = mode; }
  // Nobody sees the page (the command line): redraws keep the time span and
  // the value axis as drawing would, and draw nothing.
  void setUnseen(bool unseen) { unseen_ = unseen; }

  // Page initialisation: plot frame, the initial state, an empty graph.
  void initialise(const PixelRect& plotRect, int32_t intervalSeconds);
  // The normal record interval, at start-up and after the settings dialog.
  void setGraphIntervalSeconds(int32_t seconds) { state_.graphIntervalSeconds = seconds; }

  int64_t runSamples() const { return runSampleCount(state_, store_.records.size()); }

  // The full drawing: time span, value axis, frame, grid, labels, curve.
  void drawGraph();
  // The buffered redraw after an automatic sample was appended to the
  // store: the same picture as drawGraph.
  void sampleAppended();
  // The empty graph of a new run; the time span stays.
  void resetGraph();
  // The full drawing with the top frame edge, for the clipboard.
  Drawing copyGraph();

  // Bytes the page keeps per run besides the store (the pyramid).
  size_t indexMemoryBytes() const { return index_.memoryBytes(); }

 private:
  Drawing fullDrawing();
  Drawing frameWithCurve();
  // Brings the pyramid up to the store's run. True when it only grew, so
  // that the pen can go on from where it was.
  bool syncIndex(bool storeMayHaveMoved);
  void show(Drawing drawing);

  const RecordStore& store_;
  GraphState state_;
  Drawing drawing_;
  GraphView* view_ = nullptr;
  CurveDrawing curveDrawing_ = CurveDrawing::Indexed;
  bool unseen_ = false;

  CurveIndex index_;
  size_t indexFirst_ = 0;  // the run's first position in the store
  const _RECORD_DATA* indexData_ = nullptr;
  _RECORD_DATA indexFirstSample_, indexLastSample_;
  CurveTrace trace_;
  CurveMapping traceMapping_;
};

}  // namespace lmv
