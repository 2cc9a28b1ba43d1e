#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "link/device_watcher.h"
#include "link/port_list.h"
#include "sim_fixture.h"

namespace lmv {
namespace {

using namespace std::chrono_literals;

// Counts notifications and lets the test wait for the next one.
class Counter {
 public:
  void operator()() {
    std::lock_guard lock(mutex_);
    ++count_;
    changed_.notify_all();
  }
  bool waitFor(int count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 10s, [&] { return count_ >= count; });
  }
  int count() {
    std::lock_guard lock(mutex_);
    return count_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int count_ = 0;
};

TEST(DeviceWatcher, NotifiesEverySubscriberUntilUnsubscribed) {
  DeviceWatcher watcher;
  Counter first, second;
  int firstId = watcher.subscribe([&] { first(); });
  watcher.subscribe([&] { second(); });
  ASSERT_TRUE(watcher.start());
  watcher.notifyChange();
  EXPECT_TRUE(first.waitFor(1));
  EXPECT_TRUE(second.waitFor(1));

  watcher.unsubscribe(firstId);
  int before = first.count();
  watcher.notifyChange();
  EXPECT_TRUE(second.waitFor(2));
  EXPECT_EQ(first.count(), before);
  watcher.stop();
}

TEST(DeviceWatcher, AChangeBeforeStartIsDeliveredAfterIt) {
  DeviceWatcher watcher;
  Counter counter;
  watcher.subscribe([&] { counter(); });
  watcher.notifyChange();
  ASSERT_TRUE(watcher.start());
  EXPECT_TRUE(counter.waitFor(1));
}

TEST(DeviceWatcher, ACallbackMayUnsubscribeItself) {
  DeviceWatcher watcher;
  Counter counter;
  int id = 0;
  id = watcher.subscribe([&] {
    watcher.unsubscribe(id);
    counter();
  });
  ASSERT_TRUE(watcher.start());
  watcher.notifyChange();
  EXPECT_TRUE(counter.waitFor(1));
  watcher.stop();
  EXPECT_EQ(counter.count(), 1);
}

TEST(DeviceWatcher, StopsCleanlyAndCanRunAgain) {
  DeviceWatcher watcher;
  Counter counter;
  watcher.subscribe([&] { counter(); });
  ASSERT_TRUE(watcher.start());
  watcher.stop();
  watcher.notifyChange();
  watcher.stop();
  EXPECT_EQ(counter.count(), 0);
  // And it can run again.
  ASSERT_TRUE(watcher.start());
  watcher.notifyChange();
  EXPECT_TRUE(counter.waitFor(1));
}

TEST(DeviceWatcher, AChangeRebuildsThePortList) {
  ExplicitPorts::instance().clear();
  DeviceWatcher watcher;
  Counter rebuilt;
  watcher.subscribe([&] {
    enumeratePorts();
    rebuilt();
  });
  ASSERT_TRUE(watcher.start());
  int number = 0;
  {
    test::SimulatedMeter meter;
    number = meter.portNumber();
    watcher.notifyChange();
    ASSERT_TRUE(rebuilt.waitFor(1));
    auto entry = portList().findByNumber(number);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->devicePath, meter.path());
    EXPECT_EQ(entry->friendlyName, meter.simulator().friendlyName());
  }
  watcher.notifyChange();  // the simulated meter is gone
  ASSERT_TRUE(rebuilt.waitFor(2));
  EXPECT_FALSE(portList().findByNumber(number));
  watcher.stop();
}

}  // namespace
}  // namespace lmv
