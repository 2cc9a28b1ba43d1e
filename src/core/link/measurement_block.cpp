#include "link/measurement_block.h"

namespace lmv {

MeasurementBlock SharedMeasurementBlock::loadLocked() const {
  MeasurementBlock b;
  b.functionChangeRequest = functionChangeRequest_.load();
  b.rangeChangeRequest = rangeChangeRequest_.load();
  b.autoRange = autoRange_.load();
  b.statusInvalid = statusInvalid_.load();
  b.overFlag = overFlag_.load();
  b.invalidValueFlag = invalidValueFlag_.load();
  b.functionIndex = functionIndex_.load();
  b.rangeIndex = rangeIndex_.load();
  b.replyRangeIndex = replyRangeIndex_.load();
  b.shownFunctionIndex = shownFunctionIndex_.load();
  b.shownRangeIndex = shownRangeIndex_.load();
  for (int i = 0; i < kStatusLength; ++i) b.status[i] = status_[i].load();
  return b;
}

void SharedMeasurementBlock::storeLocked(const MeasurementBlock& b) {
  functionChangeRequest_.store(b.functionChangeRequest);
  rangeChangeRequest_.store(b.rangeChangeRequest);
  autoRange_.store(b.autoRange);
  statusInvalid_.store(b.statusInvalid);
  overFlag_.store(b.overFlag);
  invalidValueFlag_.store(b.invalidValueFlag);
  functionIndex_.store(b.functionIndex);
  rangeIndex_.store(b.rangeIndex);
  replyRangeIndex_.store(b.replyRangeIndex);
  shownFunctionIndex_.store(b.shownFunctionIndex);
  shownRangeIndex_.store(b.shownRangeIndex);
  for (int i = 0; i < kStatusLength; ++i) status_[i].store(b.status[i]);
}

MeasurementBlock SharedMeasurementBlock::takeForPass() {
  std::lock_guard lock(get_);
  MeasurementBlock b = loadLocked();
  functionChangeRequest_.store(0);
  rangeChangeRequest_.store(0);
  return b;
}

void SharedMeasurementBlock::storeAfterPass(const MeasurementBlock& b) {
  std::lock_guard lock(get_);
  MeasurementBlock merged = b;
  merged.functionChangeRequest = functionChangeRequest_.load();
  merged.rangeChangeRequest = rangeChangeRequest_.load();
  storeLocked(merged);
}

MeasurementBlock SharedMeasurementBlock::snapshot() const {
  std::lock_guard lock(get_);
  return loadLocked();
}

bool SharedMeasurementBlock::selectMode(int32_t selection) {
  std::lock_guard lock(get_);
  if (selection == modeSelection_.load()) return false;
  modeSelection_.store(selection);
  functionChangeRequest_.store(1);
  return true;
}

bool SharedMeasurementBlock::selectRange(int32_t selection) {
  std::lock_guard lock(get_);
  if (selection == rangeSelection_.load()) return false;
  rangeSelection_.store(selection);
  rangeChangeRequest_.store(1);
  return true;
}

void SharedMeasurementBlock::resetStatus() {
  std::lock_guard lock(get_);
  statusInvalid_.store(1);
  for (auto& s : status_) s.store(0);
}

void SharedMeasurementBlock::resetShown() {
  std::lock_guard lock(get_);
  shownFunctionIndex_.store(-1);
  shownRangeIndex_.store(-1);
  functionIndex_.store(0);
}

int32_t SharedMeasurementBlock::status(int position) const {
  if (position < 0 || position >= kStatusLength) return 0;
  return status_[position].load();
}

}  // namespace lmv
