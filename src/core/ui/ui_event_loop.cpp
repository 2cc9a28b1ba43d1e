#include "ui/ui_event_loop.h"

#include <memory>
#include <utility>
#include <vector>

namespace lmv {

UiEventLoop::UiEventLoop() : uiThread_(std::this_thread::get_id()) {}

void UiEventLoop::send(std::function<void()> handler) {
  if (std::this_thread::get_id() == uiThread_) {
    handler();
    return;
  }
  auto done = std::make_shared<bool>(false);
  post([this, handler = std::move(handler), done] {
    handler();
    std::lock_guard lock(mutex_);
    *done = true;
    cv_.notify_all();
  });
  std::unique_lock lock(mutex_);
  cv_.wait(lock, [&] { return *done; });
}

void UiEventLoop::post(std::function<void()> handler) {
  std::lock_guard lock(mutex_);
  queue_.push_back(std::move(handler));
  cv_.notify_all();
}

void UiEventLoop::setTimer(int id, std::chrono::milliseconds period, std::function<void()> onTick) {
  std::lock_guard lock(mutex_);
  timers_[id] = Timer{period, std::chrono::steady_clock::now() + period, std::move(onTick), ++generation_};
}

void UiEventLoop::killTimer(int id) {
  std::lock_guard lock(mutex_);
  timers_.erase(id);
}

bool UiEventLoop::timerRunning(int id) const {
  std::lock_guard lock(mutex_);
  return timers_.count(id) != 0;
}

bool UiEventLoop::runOnce() {
  bool ran = false;
  for (;;) {
    std::function<void()> job;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty()) break;
      job = std::move(queue_.front());
      queue_.pop_front();
    }
    job();
    ran = true;
  }
  std::vector<std::pair<int, unsigned>> due;
  {
    std::lock_guard lock(mutex_);
    const auto now = std::chrono::steady_clock::now();
    for (const auto& [id, t] : timers_) {
      if (t.due <= now) due.emplace_back(id, t.generation);
    }
  }
  for (auto [id, generation] : due) {
    std::function<void()> tick;
    {
      std::lock_guard lock(mutex_);
      auto it = timers_.find(id);
      if (it == timers_.end() || it->second.generation != generation) continue;
      it->second.due = std::chrono::steady_clock::now() + it->second.period;
      tick = it->second.onTick;  // a copy: the tick may kill its own timer
    }
    tick();
    ran = true;
  }
  return ran;
}

void UiEventLoop::waitForWork(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  cv_.wait_for(lock, timeout, [&] { return !queue_.empty(); });
}

}  // namespace lmv
