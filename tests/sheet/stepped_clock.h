#pragma once
// A clock for the paste capture thread that only moves while the thread
// sleeps, so captures come at exact times and at once.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <limits>
#include <mutex>

#include "record/record_clock.h"

namespace lmv::test {

// 2014-07-07 09:05:03.500 UTC: half a second before the clock's next second.
inline constexpr int64_t kStartMs = 1404723903500;

class SteppedClock final : public RecordClock {
 public:
  std::time_t calendarSeconds() override { return static_cast<std::time_t>(ms_.load() / 1000); }
  int64_t milliseconds() override { return ms_.load(); }
  void sleepMilliseconds(int ms) override {
    // At the gate the sleep returns without time passing, so the sleeper
    // still sees its stop request.
    std::unique_lock lock(mutex_);
    if (opened_.wait_for(lock, std::chrono::milliseconds(1), [&] { return ms_.load() + ms <= gate_; })) ms_ += ms;
  }
  // Time stops at the gate until it is moved on.
  void openGate() { setGate(std::numeric_limits<int64_t>::max() / 2); }
  void setGate(int64_t ms) {
    {
      std::lock_guard lock(mutex_);
      gate_ = ms;
    }
    opened_.notify_all();
  }

 private:
  std::atomic<int64_t> ms_{kStartMs};
  std::mutex mutex_;
  std::condition_variable opened_;
  int64_t gate_ = std::numeric_limits<int64_t>::max() / 2;
};

}  // namespace lmv::test
