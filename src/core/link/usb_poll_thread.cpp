#include "link/usb_poll_thread.h"

#include <chrono>

#include "link/identification.h"

namespace lmv {

UsbPollThread::UsbPollThread(MeterSession& session, UiHost& ui, std::function<void()> onFound,
                             std::function<bool()> pass)
    : session_(session), bridge_(ui), onFound_(std::move(onFound)), pass_(std::move(pass)) {
  if (!pass_) pass_ = [this] { return probeAllPorts(session_, [this] { return !keepRunning(); }); };
}

UsbPollThread::~UsbPollThread() { stopAndJoin(); }

void UsbPollThread::start() {
  {
    std::lock_guard lock(mutex_);
    if (alive_) {
      runFlag_ = true;
      return;
    }
  }
  if (thread_.joinable()) thread_.join();
  bridge_.reopen();
  std::lock_guard lock(mutex_);
  runFlag_ = true;
  alive_ = true;
  thread_ = std::thread([this] { run(); });
}

void UsbPollThread::requestStop() {
  std::lock_guard lock(mutex_);
  runFlag_ = false;
  wake_.notify_all();
}

void UsbPollThread::stopAndJoin() {
  requestStop();
  session_.probeAbortRequested = 1;
  bridge_.close();
  if (thread_.joinable()) thread_.join();
}

bool UsbPollThread::keepRunning() const {
  std::lock_guard lock(mutex_);
  return runFlag_;
}

bool UsbPollThread::running() const {
  std::lock_guard lock(mutex_);
  return alive_ && runFlag_;
}

// Leaving is decided under the lock, so that start() either sees the thread
// alive and revives it or finds it gone.
bool UsbPollThread::keepGoing() {
  std::lock_guard lock(mutex_);
  if (runFlag_) return true;
  alive_ = false;
  return false;
}

void UsbPollThread::pause() {
  std::unique_lock lock(mutex_);
  wake_.wait_for(lock, std::chrono::milliseconds(100), [this] { return !runFlag_; });
}

void UsbPollThread::run() {
  pause();
  if (!keepGoing()) return;
  for (;;) {
    if (pass_()) break;
    pause();
    if (!keepGoing()) return;
  }
  session_.meterFound = 1;
  {
    std::lock_guard lock(mutex_);
    runFlag_ = false;
    alive_ = false;
  }
  bridge_.post(onFound_);
}

}  // namespace lmv
