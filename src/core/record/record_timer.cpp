#include "record/record_timer.h"

#include <condition_variable>
#include <mutex>
#include <utility>

namespace lmv {

// Shared by the thread, the owner and the tick handlers waiting in the
// user-interface queue, so that a queued tick outliving its run stays safe.
struct RecordTimer::Channel {
  std::mutex mutex;
  std::condition_variable cv;
  std::atomic<bool> runFlag{true};
  uint64_t posted = 0;   // ticks handed over
  uint64_t handled = 0;  // ticks handled (or dropped)
  TickHandler onTick;    // touched on the user-interface thread only
};

RecordTimer::RecordTimer(UiHost& host, RecordClock& clock) : host_(host), clock_(clock) {}

RecordTimer::~RecordTimer() {
  stop();
  if (thread_.joinable()) thread_.join();
}

void RecordTimer::start(const RecordSettings& settings, std::atomic<int32_t>& startPending, TickHandler onTick) {
  stop();
  // The previous thread has its run flag cleared and waits for nothing from
  // this thread, so it ends within one poll.
  if (thread_.joinable()) thread_.join();
  // Only now: a previous thread still in its last pass must not take it.
  startPending = 1;
  channel_ = std::make_shared<Channel>();
  channel_->onTick = std::move(onTick);
  thread_ = std::thread(&RecordTimer::run, std::ref(host_), std::ref(clock_), channel_, settings, &startPending);
}

void RecordTimer::stop() {
  if (!channel_) return;
  {
    std::lock_guard lock(channel_->mutex);
    channel_->runFlag = false;
  }
  channel_->cv.notify_all();
}

bool RecordTimer::running() const { return channel_ && channel_->runFlag; }

void RecordTimer::deliver(UiHost& host, const std::shared_ptr<Channel>& channel, const RecordTick& tick) {
  uint64_t id;
  {
    std::lock_guard lock(channel->mutex);
    id = ++channel->posted;
  }
  host.post([channel, id, tick] {
    // A stop between hand-over and handling drops the tick. The handler is
    // copied because it may stop the run, and with it this channel's handler.
    TickHandler handler;
    if (channel->runFlag) handler = channel->onTick;
    if (handler) handler(tick);
    {
      std::lock_guard lock(channel->mutex);
      channel->handled = id;
    }
    channel->cv.notify_all();
  });
  // Like a sent message: the next interval is timed only after the sample
  // was taken; a stop ends the wait.
  std::unique_lock lock(channel->mutex);
  channel->cv.wait(lock, [&] { return channel->handled >= id || !channel->runFlag; });
}

void RecordTimer::run(UiHost& host, RecordClock& clock, std::shared_ptr<Channel> channel, RecordSettings settings,
                      std::atomic<int32_t>* startPending) {
  clock.sleepMilliseconds(1);
  if (!channel->runFlag) return;

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
      const std::time_t now = clock.calendarSeconds();
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
        deliver(host, channel, tick);
      }
    } else {
      const int64_t now = clock.milliseconds();
      if (startPending->exchange(0) == 1) {
        base = now;
        wait = 1;
        first = true;
        referenced = true;
      }
      const int64_t elapsedUnits = (now - base) * 10 / 1000;
      if (referenced && elapsedUnits >= wait) {
        base = now;
        const RecordTick tick{oleDateFromTime(clock.calendarSeconds()), first};
        if (first) {
          wait = fastUnits;
          first = false;
        }
        deliver(host, channel, tick);
      }
    }
    if (!channel->runFlag) break;
    clock.sleepMilliseconds(1);
  }
}

}  // namespace lmv
