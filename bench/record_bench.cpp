// The recording at run lengths from ten thousand to a million samples: one
// automatic sample (store, extremes, list page, graph) and a full graph
// redraw, with the memory the run takes per sample.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <memory>
#include <vector>

#include "bench_support.h"
#include "link/hand_over.h"
#include "record/graph.h"
#include "record/graph_raster.h"

namespace lmv::bench {
namespace {

constexpr PixelRect kPagePlot{0, 0, 400, 300};
const std::vector<int64_t> kRunLengths{10000, 30000, 100000, 300000, 1048576};

// Bytes in use on the heap, the large blocks malloc maps by themselves included.
size_t heapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// Each size measures this many automatic samples that bring the run to it.
constexpr int64_t kMeasuredTicks = 1000;

// One recording that only grows: each benchmark size takes it further.
class TickRig {
 public:
  TickRig() : heapBefore_(heapInUse()) {
    env_.settings.intervalMode = 1;  // fast: 100 ms
    env_.settings.totalMode = 0;
    env_.settings.dataCount = 1048576;  // the longest run there is
    recording_ = std::make_unique<Recording>(host_, handOver_, clock_, env_, flag_, pending_);
    recording_->initialise(kPagePlot);
    recording_->onStart();
  }
  ~TickRig() { recording_->onStop(); }

  void tick() {
    const _RECORD_DATA r = source_.next();
    HandOverValue h;
    h.valueCode = r.nValue;
    h.rangeIndex = r.nRange;
    h.recordCopy.valueText = std::to_string(r.nValue);
    h.recordCopy.unitText = "lx";
    h.recordCopy.functionText = "LUX";
    h.recordCopy.rangeText = "2000 lx";
    handOver_.put(h);
    recording_->onRecordTick(RecordTick{OleDate{r.dtTimeDays, OleDate::Valid}, source_.count() == 1});
  }
  void growTo(int64_t n) {
    while (source_.count() < n) tick();
  }
  int64_t samples() const { return source_.count(); }
  Recording& recording() { return *recording_; }
  double heapBytesPerSample() const {
    return static_cast<double>(heapInUse() - heapBefore_) / static_cast<double>(samples());
  }

 private:
  size_t heapBefore_;
  QuietUiHost host_;
  StillRecordClock clock_;
  BenchRecordEnvironment env_;
  HandOverArea handOver_;
  std::atomic<int32_t> flag_{0};
  std::atomic<int32_t> pending_{0};
  std::unique_ptr<Recording> recording_;
  RunSource source_;
};

TickRig& rig() {
  static TickRig r;
  return r;
}

void RecordTick(benchmark::State& state) {
  TickRig& r = rig();
  r.growTo(state.range(0) - kMeasuredTicks);
  for (auto _ : state) r.tick();
  const RecordStore& store = r.recording().store();
  state.counters["n"] = static_cast<double>(r.samples());
  state.counters["store_B_per_sample"] =
      static_cast<double>(store.records.capacity() * sizeof(_RECORD_DATA) + r.recording().graph().indexMemoryBytes()) /
      static_cast<double>(r.samples());
  state.counters["heap_B_per_sample"] = r.heapBytesPerSample();
  state.counters["curve_lines"] = static_cast<double>(r.recording().graph().drawing().ops.size());
}

void GraphRedraw(benchmark::State& state) {
  TickRig& r = rig();
  r.growTo(state.range(0));
  GraphPage& page = r.recording().graph();
  for (auto _ : state) {
    page.drawGraph();
    benchmark::DoNotOptimize(page.drawing().ops.data());
  }
  state.counters["n"] = static_cast<double>(r.samples());
}

// The drawing as it was before the page kept its pen: every sample of the
// run visited on every redraw.
void GraphRedrawEverySample(benchmark::State& state) {
  TickRig& r = rig();
  r.growTo(state.range(0));
  const GraphState graph = r.recording().graph().state();
  for (auto _ : state) {
    Drawing d{kPagePlot.right, kPagePlot.bottom, {}};
    drawGraphFrame(graph, d.ops);
    drawCurve(graph, r.recording().store().records, CurveDrawing::PerColumn, d.ops);
    benchmark::DoNotOptimize(d.ops.data());
  }
  state.counters["n"] = static_cast<double>(r.samples());
}

// The three run together per size, so the one recording grows once.
const bool registered = [] {
  for (int64_t n : kRunLengths) {
    benchmark::RegisterBenchmark("RecordTick", RecordTick)->Arg(n)->Iterations(kMeasuredTicks)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("GraphRedraw", GraphRedraw)->Arg(n)->Iterations(50)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("GraphRedrawEverySample", GraphRedrawEverySample)
        ->Arg(n)
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace
}  // namespace lmv::bench
