#include "link/device_watcher.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <vector>

namespace lmv {

DeviceWatcher::DeviceWatcher() = default;

DeviceWatcher::~DeviceWatcher() { stop(); }

bool DeviceWatcher::start() {
  if (thread_.joinable()) return true;
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) return false;
  udev_ = udev_new();
  if (udev_) monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
  if (monitor_ && udev_monitor_filter_add_match_subsystem_devtype(monitor_, "tty", nullptr) >= 0 &&
      udev_monitor_enable_receiving(monitor_) >= 0) {
    // Without the daemon libudev quietly hands out a monitor that never
    // hears anything.
    udevAvailable_ = ::access("/run/udev/control", F_OK) == 0;
  } else if (monitor_) {
    udev_monitor_unref(monitor_);
    monitor_ = nullptr;
  }
  stopRequested_ = false;
  thread_ = std::thread([this] { run(); });
  if (changePending_) notifyChange();
  return true;
}

void DeviceWatcher::stop() {
  if (thread_.joinable()) {
    stopRequested_ = true;
    uint64_t one = 1;
    [[maybe_unused]] auto n = ::write(wakeFd_, &one, sizeof one);
    thread_.join();
  }
  if (monitor_) udev_monitor_unref(monitor_);
  if (udev_) udev_unref(udev_);
  monitor_ = nullptr;
  udev_ = nullptr;
  udevAvailable_ = false;
  int fd = wakeFd_.exchange(-1);
  if (fd >= 0) ::close(fd);
}

int DeviceWatcher::subscribe(Callback callback) {
  std::lock_guard lock(subscribersMutex_);
  int id = nextId_++;
  subscribers_[id] = std::move(callback);
  return id;
}

void DeviceWatcher::unsubscribe(int id) {
  {
    std::lock_guard lock(subscribersMutex_);
    subscribers_.erase(id);
  }
  // Wait for a dispatch in progress, unless called from inside a callback.
  if (std::this_thread::get_id() != thread_.get_id()) {
    std::lock_guard wait(dispatchMutex_);
  }
}

void DeviceWatcher::notifyChange() {
  changePending_ = true;
  int fd = wakeFd_;
  if (fd >= 0) {
    uint64_t one = 1;
    [[maybe_unused]] auto n = ::write(fd, &one, sizeof one);
  }
}

void DeviceWatcher::dispatch() {
  std::lock_guard running(dispatchMutex_);
  std::vector<int> ids;
  {
    std::lock_guard lock(subscribersMutex_);
    for (const auto& [id, callback] : subscribers_) ids.push_back(id);
  }
  for (int id : ids) {
    Callback callback;
    {
      std::lock_guard lock(subscribersMutex_);
      auto it = subscribers_.find(id);
      if (it == subscribers_.end()) continue;  // unsubscribed meanwhile
      callback = it->second;
    }
    callback();
  }
}

void DeviceWatcher::run() {
  int monitorFd = monitor_ ? udev_monitor_get_fd(monitor_) : -1;
  while (!stopRequested_) {
    pollfd fds[2] = {{wakeFd_.load(), POLLIN, 0}, {monitorFd, POLLIN, 0}};
    int r = ::poll(fds, monitorFd >= 0 ? 2 : 1, -1);
    if (r < 0 && errno != EINTR) break;
    if (stopRequested_) break;
    bool changed = false;
    if (fds[0].revents & POLLIN) {
      uint64_t count = 0;
      [[maybe_unused]] auto n = ::read(wakeFd_, &count, sizeof count);
    }
    if (changePending_.exchange(false)) changed = true;
    if (monitorFd >= 0 && (fds[1].revents & POLLIN)) {
      // Take the whole burst of events; one notification covers them.
      while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        udev_device_unref(device);
        changed = true;
      }
    }
    if (changed) dispatch();
  }
}

}  // namespace lmv
