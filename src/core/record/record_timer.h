#pragma once
// recordTimerThread: decides when a sample is due and has the user-interface
// thread take it. One thread per run, owned here; a new run joins the
// previous run's thread before it starts its own, and destruction joins too.
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "base/ole_date.h"
#include "ui/ui_bridge.h"
#include "ui/ui_host.h"
#include "record/record_clock.h"
#include "record/record_settings.h"

namespace lmv {

struct RecordTick {
  OleDate sampleTime;       // local calendar time of the tick, whole seconds
  bool firstOfRun = false;  // the run's start time; the run count starts again
};

class RecordTimer {
 public:
  // Runs on the user-interface thread for each tick of the running run.
  using TickHandler = std::function<void(const RecordTick&)>;

  RecordTimer(UiHost& host, RecordClock& clock);
  ~RecordTimer();
  RecordTimer(const RecordTimer&) = delete;
  RecordTimer& operator=(const RecordTimer&) = delete;

  // Starts timing a run with a copy of the settings. Sets startPending,
  // which the thread takes (clears) as its time reference.
  void start(const RecordSettings& settings, std::atomic<int32_t>& startPending, TickHandler onTick);

  // Clears the run flag (user-interface thread). The thread ends at its next
  // check; a tick it has handed over but that has not been handled yet is
  // dropped, so no sample arrives after the stop.
  void stop();

  bool running() const;

 private:
  void run(RecordSettings settings, std::atomic<int32_t>* startPending);
  void deliver(const RecordTick& tick);

  UiBridge bridge_;
  RecordClock& clock_;
  std::atomic<bool> runFlag_{false};
  TickHandler onTick_;  // user-interface thread only
  std::thread thread_;
};

}  // namespace lmv
