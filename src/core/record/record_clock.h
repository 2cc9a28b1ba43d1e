#pragma once
// The clocks the record timing reads: the calendar clock in whole seconds
// (sample times, normal intervals) and a millisecond clock (fast intervals).
// Injected so that tests can run a recording of hours in an instant.
#include <cstdint>
#include <ctime>

namespace lmv {

class RecordClock {
 public:
  virtual ~RecordClock() = default;
  virtual std::time_t calendarSeconds() = 0;
  virtual int64_t milliseconds() = 0;  // monotonic
  virtual void sleepMilliseconds(int ms) = 0;
};

class SystemRecordClock final : public RecordClock {
 public:
  std::time_t calendarSeconds() override;
  int64_t milliseconds() override;
  void sleepMilliseconds(int ms) override;
};

// The program's clock.
RecordClock& systemRecordClock();

}  // namespace lmv
