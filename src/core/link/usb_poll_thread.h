#pragma once
// usbPollThread: with automatic connection, looks for the meter in the
// background, one identification pass after the other, until it finds it;
// then it has the user-interface thread run the connect step and ends. The
// object owns the thread and joins it before it goes away.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "ui/ui_bridge.h"
#include "link/meter_session.h"

namespace lmv {

class UsbPollThread {
 public:
  // pass: one identification pass (probeAllPorts by default). onFound runs
  // on the user-interface thread once the meter was found (it starts
  // TIMER_CONNECT).
  UsbPollThread(MeterSession& session, UiHost& ui, std::function<void()> onFound,
                std::function<bool()> pass = {});
  ~UsbPollThread();
  UsbPollThread(const UsbPollThread&) = delete;
  UsbPollThread& operator=(const UsbPollThread&) = delete;

  // Starts looking. A thread asked to stop that has not left yet is kept
  // and told to go on, so that two passes never share the port.
  void start();
  // The thread leaves after its current pass.
  void requestStop();
  // Also ends the current pass before its next port, and joins.
  void stopAndJoin();
  bool running() const;

 private:
  void run();
  bool keepGoing();
  bool keepRunning() const;
  void pause();

  MeterSession& session_;
  UiBridge bridge_;
  std::function<void()> onFound_;
  std::function<bool()> pass_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool runFlag_ = false;
  bool alive_ = false;
  std::thread thread_;
};

}  // namespace lmv
