#include "record/record_clock.h"

#include <chrono>
#include <thread>

namespace lmv {

std::time_t SystemRecordClock::calendarSeconds() { return std::time(nullptr); }

int64_t SystemRecordClock::milliseconds() {
  using namespace std::chrono;
  return duration_cast<std::chrono::milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SystemRecordClock::sleepMilliseconds(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

RecordClock& systemRecordClock() {
  static SystemRecordClock clock;
  return clock;
}

}  // namespace lmv
