#include "record/record_timer.h"

#include <utility>

namespace lmv {

RecordTimer::RecordTimer(UiHost& host, RecordClock& clock) : bridge_(host), clock_(clock) {}

RecordTimer::~RecordTimer() {
  stop();
  if (thread_.joinable()) thread_.join();
}

void RecordTimer::start(const RecordSettings& settings, std::atomic<int32_t>& startPending, TickHandler onTick) {
  stop();
  // The previous thread has its run flag cleared and is released from any
  // wait for this thread, so it ends within one poll.
  if (thread_.joinable()) thread_.join();
  // Only now: a previous thread still in its last pass must not take it.
  startPending = 1;
  onTick_ = std::move(onTick);
  bridge_.reopen();  // ticks of the previous run still queued are dropped
  runFlag_ = true;
  thread_ = std::thread(&RecordTimer::run, this, settings, &startPending);
}

void RecordTimer::stop() {
  runFlag_ = false;
  bridge_.close();
}

bool RecordTimer::running() const { return runFlag_; }

void RecordTimer::deliver(const RecordTick& tick) {
  // Like a sent message: the next interval is timed only after the sample
  // was taken. A stop drops the tick if it was not handled yet and ends
  // the wait.
  bridge_.send([this, tick] {
    if (runFlag_) onTick_(tick);
  });
}

void RecordTimer::run(RecordSettings settings, std::atomic<int32_t>* startPending) {
  clock_.sleepMilliseconds(1);
  if (!runFlag_) return;

  const bool fast = settings.intervalMode == 1;
  const int64_t normalSeconds = normalIntervalSeconds(settings);
  const int64_t fastUnits = fastIntervalUnits(settings);
  bool referenced = false;  // a time reference was taken from startPending
  bool first = false;
  int64_t wait = 1;
  std::time_t last = 0;
  int64_t base = 0;

  for (;;) {
    if (!fast) {
      const std::time_t now = clock_.calendarSeconds();
      if (startPending->exchange(0) == 1) {
        last = now;
        wait = 1;
        first = true;
        referenced = true;
      }
      if (referenced && now - last >= wait) {
        last = now;
        const RecordTick tick{oleDateFromTime(now), first};
        if (first) {
          wait = normalSeconds;
          first = false;
        }
        deliver(tick);
      }
    } else {
      const int64_t now = clock_.milliseconds();
      if (startPending->exchange(0) == 1) {
        base = now;
        wait = 1;
        first = true;
        referenced = true;
      }
      const int64_t elapsedUnits = (now - base) * 10 / 1000;
      if (referenced && elapsedUnits >= wait) {
        base = now;
        const RecordTick tick{oleDateFromTime(clock_.calendarSeconds()), first};
        if (first) {
          wait = fastUnits;
          first = false;
        }
        deliver(tick);
      }
    }
    if (!runFlag_) break;
    clock_.sleepMilliseconds(1);
  }
}

}  // namespace lmv
