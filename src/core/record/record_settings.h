#pragma once
// The record settings the recording reads when it starts a run or takes a
// sample. The program keeps them with its other settings and hands a copy
// over; a run never sees them change.
#include <cstdint>

namespace lmv {

struct RecordSettings {
  int32_t intervalMode = 0;  // 0 normal (hours, minutes, seconds), 1 fast
  int32_t totalMode = 0;     // 0 stop after dataCount samples, 1 after the record time
  int32_t fastIntervalIndex = 0;  // fast interval = (index + 1) x 100 ms
  int32_t timeDisplayMode = 0;    // 0 absolute time texts, 1 relative to the first sample
  int32_t intervalHours = 0;
  int32_t intervalMinutes = 0;
  int32_t intervalSeconds = 1;
  int32_t dataCount = 1048576;
  int32_t recordHours = 99;
  int32_t recordMinutes = 99;
  int32_t recordSeconds = 99;
};

inline constexpr int64_t hmsSeconds(int32_t hours, int32_t minutes, int32_t seconds) {
  return int64_t{hours} * 3600 + int64_t{minutes} * 60 + seconds;
}

// The normal interval N in seconds. The settings dialog never accepts less
// than one second, but a settings or record file may hold 0:0:0; timing and
// the record-time stop then count one second, so a run cannot flood the
// store with a sample every millisecond.
inline constexpr int64_t normalIntervalSeconds(const RecordSettings& s) {
  const int64_t n = hmsSeconds(s.intervalHours, s.intervalMinutes, s.intervalSeconds);
  return n < 1 ? 1 : n;
}

// The record time R in seconds.
inline constexpr int64_t recordTimeSeconds(const RecordSettings& s) {
  return hmsSeconds(s.recordHours, s.recordMinutes, s.recordSeconds);
}

// The fast interval in 100-ms units (at least one).
inline constexpr int32_t fastIntervalUnits(const RecordSettings& s) {
  return s.fastIntervalIndex < 0 ? 1 : s.fastIntervalIndex + 1;
}

}  // namespace lmv
