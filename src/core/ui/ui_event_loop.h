#pragma once
// The thread hand-over and timers of a UiHost that has no toolkit behind it
// (the console commands, the tests): handlers that worker threads send or
// post, and repeating timers, all run by whichever thread calls runOnce() —
// the thread that constructed the loop, which counts as the user-interface
// thread.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace lmv {

class UiEventLoop {
 public:
  UiEventLoop();

  // As UiHost::send: on the loop's own thread the handler runs at once.
  void send(std::function<void()> handler);
  void post(std::function<void()> handler);
  void setTimer(int id, std::chrono::milliseconds period, std::function<void()> onTick);
  void killTimer(int id);
  bool timerRunning(int id) const;

  // Runs the queued handlers, then the due timers (a tick may kill or reset
  // any timer, its own included); returns whether anything ran.
  bool runOnce();
  // Waits until something is queued, at most for timeout.
  void waitForWork(std::chrono::milliseconds timeout);

 private:
  struct Timer {
    std::chrono::milliseconds period;
    std::chrono::steady_clock::time_point due;
    std::function<void()> onTick;
    unsigned generation;
  };

  mutable std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> queue_;
  std::map<int, Timer> timers_;
  unsigned generation_ = 0;
  const std::thread::id uiThread_;
};

}  // namespace lmv
