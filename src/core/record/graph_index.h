#pragma once
// A summary pyramid over the samples of the current run, so that the graph
// can be drawn again without visiting every sample. The samples are cut
// into blocks of kBlock; each block keeps the range of its seconds and, per
// number of decimal places, the range of its values, with the count of
// samples that are no value; each level above merges two nodes of the one
// below. Nothing here depends on the axis or the plot size: the queries
// take the mapping of the drawing at hand, so one pyramid serves every
// redraw of the run. About 2 bytes a sample.
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "record/graph_mapping.h"
#include "record/record_data.h"

namespace lmv {

class CurveIndex {
 public:
  static constexpr size_t kBlock = 64;
  static constexpr size_t npos = std::numeric_limits<size_t>::max();

  struct Summary {
    int64_t secondsMin = std::numeric_limits<int64_t>::max();  // over the good samples
    int64_t secondsMax = std::numeric_limits<int64_t>::min();
    std::array<int32_t, 4> valueMin{kEmptyMin, kEmptyMin, kEmptyMin, kEmptyMin};  // by decimal places 0..3
    std::array<int32_t, 4> valueMax{kEmptyMax, kEmptyMax, kEmptyMax, kEmptyMax};
    int32_t notGood = 0;   // samples that are over range or no value
    int32_t oddRange = 0;  // good samples with a negative range index (damaged files)

    void add(const _RECORD_DATA& sample, int64_t seconds);
    void merge(const Summary& other);
  };

  // Forgets everything; the run starts at samples[0].
  void clear();
  // Summarises count samples of a run from scratch.
  void build(const _RECORD_DATA* samples, size_t count);
  // The run grew by one sample (samples[size()]).
  void append(const _RECORD_DATA* samples);
  // The run lost its last samples.
  void truncate(const _RECORD_DATA* samples, size_t count);

  size_t size() const { return count_; }
  double firstTime() const { return firstTime_; }
  size_t memoryBytes() const;

  // First index at or after from whose sample is a value; size() if none.
  size_t firstGoodFrom(const _RECORD_DATA* samples, size_t from, const CurveMapping& m) const;
  // First index after from that is not a value or lies outside column x;
  // size() if none.
  size_t columnRunEnd(const _RECORD_DATA* samples, size_t from, const CurveMapping& m, int x) const;
  // Last index in [low, high] whose row differs from y; npos if none. All
  // samples there are values.
  size_t lastRowOtherThan(const _RECORD_DATA* samples, size_t low, size_t high, const CurveMapping& m, int y) const;
  // Smallest and largest row over [low, high]; all samples there are values.
  void rowRange(const _RECORD_DATA* samples, size_t low, size_t high, const CurveMapping& m, int& lowRow,
                int& highRow) const;

 private:
  static constexpr int32_t kEmptyMin = std::numeric_limits<int32_t>::max();
  static constexpr int32_t kEmptyMax = std::numeric_limits<int32_t>::min();

  // Rows of a node when the mapping is monotonic over its values.
  static bool nodeRows(const Summary& s, const CurveMapping& m, int& lowRow, int& highRow);
  static bool nodeInColumn(const Summary& s, const CurveMapping& m, int x);

  size_t nodeStart(size_t level, size_t node) const { return node * (kBlock << level); }
  size_t nodeEnd(size_t level, size_t node) const {
    const size_t end = (node + 1) * (kBlock << level);
    return end < count_ ? end : count_;
  }
  void addLevelsAbove();

  template <typename NodeTest, typename SampleTest>
  size_t findFirst(size_t level, size_t node, size_t from, NodeTest&& nodeTest, SampleTest&& sampleTest) const;
  template <typename NodeTest, typename SampleTest>
  size_t findLast(size_t level, size_t node, size_t low, size_t high, NodeTest&& nodeTest,
                  SampleTest&& sampleTest) const;
  void rowRangeIn(const _RECORD_DATA* samples, size_t level, size_t node, size_t low, size_t high,
                  const CurveMapping& m, int& lowRow, int& highRow) const;

  std::vector<std::vector<Summary>> levels_;  // levels_[0]: the blocks; the last level has one node
  size_t count_ = 0;
  double firstTime_ = 0.0;
};

}  // namespace lmv
