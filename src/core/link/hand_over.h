#pragma once
// The latest measured value, handed from the measurement thread to the
// recording and the spreadsheet link. Readers copy it under the lock and
// never hold the lock while they wait for anything else.
#include <cstdint>
#include <mutex>

#include "monitor/measured_value.h"

namespace lmv {

struct HandOverValue {
  MeasuredValue recordCopy;  // read by the record tick and the manual sample
  MeasuredValue pasteCopy;   // read by the spreadsheet paste
  int32_t functionIndex = 0;
  int32_t valueCode = 0;
  int32_t rangeIndex = 0;
  int32_t unitCode = 0;
  int32_t reserved = 0;  // always 0
};

class HandOverArea {
 public:
  void put(const HandOverValue& value) {
    std::lock_guard lock(mutex_);
    value_ = value;
  }
  // Puts the new value and returns the one it replaces, in one hold of the lock.
  HandOverValue replace(const HandOverValue& value) {
    std::lock_guard lock(mutex_);
    HandOverValue previous = value_;
    value_ = value;
    return previous;
  }
  HandOverValue take() const {
    std::lock_guard lock(mutex_);
    return value_;
  }

 private:
  mutable std::mutex mutex_;
  HandOverValue value_;
};

}  // namespace lmv
