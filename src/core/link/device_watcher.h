#pragma once
// Tells subscribers that serial devices came or went: udev events of the tty
// subsystem, and changes the program makes itself (a port named on the
// command line, a simulated meter started or gone) through notifyChange().
// The desktop program treats a notification as its device-change event:
// stop the identification pass and rebuild the port list.
//
// Callbacks run on the watcher's own thread, one notification for a burst of
// events; they must hand work to the user interface (UiHost::post) rather
// than touch it. After unsubscribe() or stop() returns, the callback is not
// running and will not run again.
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

struct udev;
struct udev_monitor;

namespace lmv {

class DeviceWatcher {
 public:
  using Callback = std::function<void()>;

  DeviceWatcher();
  ~DeviceWatcher();
  DeviceWatcher(const DeviceWatcher&) = delete;
  DeviceWatcher& operator=(const DeviceWatcher&) = delete;

  // Starts the thread; false when it could not be started. Where no udev
  // daemon runs, only notifyChange() reports changes.
  bool start();
  void stop();
  // Whether udev reports device events here (a udev daemon runs).
  bool udevAvailable() const { return udevAvailable_; }

  int subscribe(Callback callback);
  void unsubscribe(int id);

  void notifyChange();

 private:
  void run();
  void dispatch();

  std::thread thread_;
  std::atomic<int> wakeFd_{-1};
  ::udev* udev_ = nullptr;
  ::udev_monitor* monitor_ = nullptr;
  std::atomic<bool> udevAvailable_{false};
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> changePending_{false};

  std::mutex subscribersMutex_;
  std::map<int, Callback> subscribers_;
  int nextId_ = 1;
  // Held while callbacks run, so that unsubscribe() can wait for them.
  std::mutex dispatchMutex_;
};

}  // namespace lmv
