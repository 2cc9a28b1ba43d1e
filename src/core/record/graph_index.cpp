#include "record/graph_index.h"

#include <algorithm>
#include <climits>

namespace lmv {

void CurveIndex::Summary::add(const _RECORD_DATA& sample, int64_t seconds) {
  if (sampleKindOf(sample.nValue) != KindGood) {
    ++notGood;
    return;
  }
  secondsMin = std::min(secondsMin, seconds);
  secondsMax = std::max(secondsMax, seconds);
  if (sample.nRange < 0) {
    ++oddRange;
    return;
  }
  const size_t d = static_cast<size_t>(CurveMapping::decadesOf(sample.nRange));
  valueMin[d] = std::min(valueMin[d], sample.nValue);
  valueMax[d] = std::max(valueMax[d], sample.nValue);
}

void CurveIndex::Summary::merge(const Summary& o) {
  secondsMin = std::min(secondsMin, o.secondsMin);
  secondsMax = std::max(secondsMax, o.secondsMax);
  for (size_t d = 0; d < 4; ++d) {
    valueMin[d] = std::min(valueMin[d], o.valueMin[d]);
    valueMax[d] = std::max(valueMax[d], o.valueMax[d]);
  }
  notGood += o.notGood;
  oddRange += o.oddRange;
}

void CurveIndex::clear() {
  levels_.clear();
  count_ = 0;
  firstTime_ = 0.0;
}

void CurveIndex::build(const _RECORD_DATA* samples, size_t count) {
  clear();
  if (count == 0) return;
  firstTime_ = samples[0].dtTimeDays;
  count_ = count;
  std::vector<Summary> blocks((count + kBlock - 1) / kBlock);
  for (size_t b = 0; b < blocks.size(); ++b) {
    const size_t end = std::min(count, (b + 1) * kBlock);
    for (size_t i = b * kBlock; i < end; ++i) blocks[b].add(samples[i], curveSeconds(samples[i].dtTimeDays, firstTime_));
  }
  levels_.push_back(std::move(blocks));
  addLevelsAbove();
}

void CurveIndex::addLevelsAbove() {
  while (levels_.back().size() > 1) {
    const std::vector<Summary>& below = levels_.back();
    std::vector<Summary> level((below.size() + 1) / 2);
    for (size_t i = 0; i < below.size(); ++i) level[i / 2].merge(below[i]);
    levels_.push_back(std::move(level));
  }
}

void CurveIndex::append(const _RECORD_DATA* samples) {
  if (count_ == 0) {
    clear();
    firstTime_ = samples[0].dtTimeDays;
    levels_.emplace_back();
  }
  const size_t index = count_++;
  const _RECORD_DATA& sample = samples[index];
  const int64_t seconds = curveSeconds(sample.dtTimeDays, firstTime_);
  const size_t block = index / kBlock;
  const size_t existing = levels_.size();
  for (size_t level = 0; level < existing; ++level) {
    std::vector<Summary>& nodes = levels_[level];
    const size_t node = block >> level;
    if (node == nodes.size()) nodes.emplace_back();
    nodes[node].add(sample, seconds);
  }
  addLevelsAbove();
}

void CurveIndex::truncate(const _RECORD_DATA* samples, size_t count) {
  if (count >= count_) return;
  if (count == 0) {
    clear();
    return;
  }
  count_ = count;
  const size_t blocks = (count + kBlock - 1) / kBlock;
  levels_[0].resize(blocks);
  Summary& last = levels_[0][blocks - 1];
  last = Summary{};
  for (size_t i = (blocks - 1) * kBlock; i < count; ++i) last.add(samples[i], curveSeconds(samples[i].dtTimeDays, firstTime_));
  for (size_t level = 1; level < levels_.size(); ++level) {
    const std::vector<Summary>& below = levels_[level - 1];
    if (below.size() == 1) {
      levels_.resize(level);
      break;
    }
    std::vector<Summary>& nodes = levels_[level];
    nodes.resize((below.size() + 1) / 2);
    Summary& node = nodes.back();
    const size_t child = 2 * (nodes.size() - 1);
    node = below[child];
    if (child + 1 < below.size()) node.merge(below[child + 1]);
  }
}

size_t CurveIndex::memoryBytes() const {
  size_t bytes = levels_.capacity() * sizeof(std::vector<Summary>);
  for (const auto& level : levels_) bytes += level.capacity() * sizeof(Summary);
  return bytes;
}

bool CurveIndex::nodeRows(const Summary& s, const CurveMapping& m, int& lowRow, int& highRow) {
  if (s.oddRange > 0) return false;
  int64_t low = std::numeric_limits<int64_t>::max();
  int64_t high = std::numeric_limits<int64_t>::min();
  for (int32_t d = 0; d < 4; ++d) {
    if (s.valueMin[d] > s.valueMax[d]) continue;
    low = std::min(low, m.scaled(s.valueMin[d], d));
    high = std::max(high, m.scaled(s.valueMax[d], d));
  }
  if (low > high) return false;
  // The row falls with the value except at the top edge, where values at
  // or above the axis top all take the row below the edge.
  if (!(high < m.top || low >= m.top)) return false;
  const int a = m.row(low);
  const int b = m.row(high);
  lowRow = std::min(a, b);
  highRow = std::max(a, b);
  return true;
}

bool CurveIndex::nodeInColumn(const Summary& s, const CurveMapping& m, int x) {
  if (s.notGood > 0 || s.secondsMin > s.secondsMax) return false;
  const int64_t a = m.rawColumn(s.secondsMin);
  const int64_t b = m.rawColumn(s.secondsMax);
  const int64_t low = std::min(a, b), high = std::max(a, b);
  if (m.columnRegion(low) != m.columnRegion(high)) return false;
  return m.clampColumn(low) == x && m.clampColumn(high) == x;
}

template <typename NodeTest, typename SampleTest>
size_t CurveIndex::findFirst(size_t level, size_t node, size_t from, NodeTest&& nodeTest,
                             SampleTest&& sampleTest) const {
  const size_t start = nodeStart(level, node), end = nodeEnd(level, node);
  if (end <= from) return npos;
  if (from <= start && nodeTest(levels_[level][node], end - start)) return npos;
  if (level == 0) {
    for (size_t i = std::max(from, start); i < end; ++i) {
      if (!sampleTest(i)) return i;
    }
    return npos;
  }
  const size_t found = findFirst(level - 1, 2 * node, from, nodeTest, sampleTest);
  if (found != npos || 2 * node + 1 >= levels_[level - 1].size()) return found;
  return findFirst(level - 1, 2 * node + 1, from, nodeTest, sampleTest);
}

template <typename NodeTest, typename SampleTest>
size_t CurveIndex::findLast(size_t level, size_t node, size_t low, size_t high, NodeTest&& nodeTest,
                            SampleTest&& sampleTest) const {
  const size_t start = nodeStart(level, node), end = nodeEnd(level, node);
  if (end <= low || start > high) return npos;
  if (low <= start && end - 1 <= high && nodeTest(levels_[level][node], end - start)) return npos;
  if (level == 0) {
    for (size_t i = std::min(high, end - 1) + 1; i-- > std::max(low, start);) {
      if (!sampleTest(i)) return i;
    }
    return npos;
  }
  if (2 * node + 1 < levels_[level - 1].size()) {
    const size_t found = findLast(level - 1, 2 * node + 1, low, high, nodeTest, sampleTest);
    if (found != npos) return found;
  }
  return findLast(level - 1, 2 * node, low, high, nodeTest, sampleTest);
}

size_t CurveIndex::firstGoodFrom(const _RECORD_DATA* samples, size_t from, const CurveMapping&) const {
  if (from >= count_) return count_;
  const size_t found = findFirst(
      levels_.size() - 1, 0, from,
      [](const Summary& s, size_t size) { return static_cast<size_t>(s.notGood) == size; },
      [&](size_t i) { return sampleKindOf(samples[i].nValue) != KindGood; });
  return found == npos ? count_ : found;
}

size_t CurveIndex::columnRunEnd(const _RECORD_DATA* samples, size_t from, const CurveMapping& m, int x) const {
  if (from + 1 >= count_) return count_;
  const size_t found = findFirst(
      levels_.size() - 1, 0, from + 1, [&](const Summary& s, size_t) { return nodeInColumn(s, m, x); },
      [&](size_t i) {
        return sampleKindOf(samples[i].nValue) == KindGood && m.column(m.seconds(samples[i].dtTimeDays)) == x;
      });
  return found == npos ? count_ : found;
}

size_t CurveIndex::lastRowOtherThan(const _RECORD_DATA* samples, size_t low, size_t high, const CurveMapping& m,
                                    int y) const {
  if (low > high || low >= count_) return npos;
  return findLast(
      levels_.size() - 1, 0, low, std::min(high, count_ - 1),
      [&](const Summary& s, size_t) {
        int a = 0, b = 0;
        return nodeRows(s, m, a, b) && a == y && b == y;
      },
      [&](size_t i) { return m.row(m.scaled(samples[i].nValue, samples[i].nRange)) == y; });
}

void CurveIndex::rowRangeIn(const _RECORD_DATA* samples, size_t level, size_t node, size_t low, size_t high,
                            const CurveMapping& m, int& lowRow, int& highRow) const {
  const size_t start = nodeStart(level, node), end = nodeEnd(level, node);
  if (end <= low || start > high) return;
  int a = 0, b = 0;
  if (low <= start && end - 1 <= high && nodeRows(levels_[level][node], m, a, b)) {
    lowRow = std::min(lowRow, a);
    highRow = std::max(highRow, b);
    return;
  }
  if (level == 0) {
    const size_t last = std::min(high, end - 1);
    for (size_t i = std::max(low, start); i <= last; ++i) {
      const int y = m.row(m.scaled(samples[i].nValue, samples[i].nRange));
      lowRow = std::min(lowRow, y);
      highRow = std::max(highRow, y);
    }
    return;
  }
  rowRangeIn(samples, level - 1, 2 * node, low, high, m, lowRow, highRow);
  if (2 * node + 1 < levels_[level - 1].size()) rowRangeIn(samples, level - 1, 2 * node + 1, low, high, m, lowRow, highRow);
}

void CurveIndex::rowRange(const _RECORD_DATA* samples, size_t low, size_t high, const CurveMapping& m, int& lowRow,
                          int& highRow) const {
  lowRow = INT_MAX;
  highRow = INT_MIN;
  if (low > high || low >= count_) return;
  rowRangeIn(samples, levels_.size() - 1, 0, low, std::min(high, count_ - 1), m, lowRow, highRow);
}

}  // namespace lmv
