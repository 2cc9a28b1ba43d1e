#pragma once
// Test doubles for the recording: a clock that only moves when the timing
// thread sleeps (so a run of hours takes an instant and every sample time
// is exact), and the rest of the main window as plain fields.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "record/record_clock.h"
#include "record/record_page_model.h"
#include "record/recording.h"

namespace lmv::test {

// 2014-07-07 09:05:03.500 UTC.
inline constexpr int64_t kRecordTestStartMs = 1404723903500;

class FakeRecordClock final : public RecordClock {
 public:
  explicit FakeRecordClock(int64_t startMs = kRecordTestStartMs) : ms_(startMs) {}
  std::time_t calendarSeconds() override { return static_cast<std::time_t>(ms_.load() / 1000); }
  int64_t milliseconds() override { return ms_.load(); }
  // Holds the sleeper at the gate (see setGate).
  void sleepMilliseconds(int ms) override {
    {
      std::unique_lock lock(gateMutex_);
      gateOpened_.wait(lock, [&] { return ms_.load() + ms <= gate_; });
      ms_ += ms;
    }
    std::this_thread::yield();
  }
  void advance(int64_t ms) { ms_ += ms; }
  int64_t now() const { return ms_.load(); }

  // Time stops at the gate: a sleep that would pass it waits until the
  // gate is moved on. Open it before the sleeper's owner is destroyed.
  void setGate(int64_t ms) {
    {
      std::lock_guard lock(gateMutex_);
      gate_ = ms;
    }
    gateOpened_.notify_all();
  }
  void openGate() { setGate(std::numeric_limits<int64_t>::max() / 2); }

 private:
  std::atomic<int64_t> ms_;
  std::mutex gateMutex_;
  std::condition_variable gateOpened_;
  int64_t gate_ = std::numeric_limits<int64_t>::max() / 2;
};

class FakeRecordEnvironment final : public RecordEnvironment {
 public:
  RecordSettings settings;
  RecordHeader header;
  bool invalidStatus = false;
  bool connected = true;
  bool capture = false;
  MeterIdentity meter{0, "SN0001", "1.00"};
  std::vector<int> memoryStates;
  std::vector<std::pair<int, int>> fileStates;

  RecordSettings recordSettings() const override { return settings; }
  RecordHeader recordHeader() const override { return header; }
  bool statusInvalid() const override { return invalidStatus; }
  bool meterConnected() const override { return connected; }
  MeterIdentity connectedMeter() const override { return meter; }
  bool captureRunning() const override { return capture; }
  std::string languageText(int entry) const override { return "text " + std::to_string(entry); }
  void memoryMenuState(int grey) override { memoryStates.push_back(grey); }
  void fileMenuState(int grey, int leaveOpen) override { fileStates.emplace_back(grey, leaveOpen); }
};

// Counts what the list view is told.
class PageRecorder final : public RecordPageObserver {
 public:
  int resets = 0, appended = 0, removed = 0, selected = -2;
  void rowsReset() override { ++resets; }
  void rowAppended(int) override { ++appended; }
  void rowRemoved(int) override { ++removed; }
  void selectionChanged(int row) override { selected = row; }
};

}  // namespace lmv::test
