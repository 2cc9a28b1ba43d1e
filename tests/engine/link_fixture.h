#pragma once
// The main window's meter link against the simulator: a recording UiHost
// pumped by the test thread, a session, the flow object and a recording
// that can be made to run.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "app/monitor_control.h"
#include "ui/monitor_controls.h"
#include "fake_ui_host.h"
#include "link/explicit_ports.h"
#include "link/port_list.h"
#include "link/port_numbering.h"
#include "sim_fixture.h"
#include "ui/language_table.h"

namespace lmv::test {

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FillLanguageTable(kLanguageEnglish);
    currentBaud = 19200;
    currentPort = kNoPort;
    portList().replace({});
  }

  void TearDown() override {
    control.reset();
    meter.reset();
    portList().replace({});
  }

  void startMeter(sim::MeterConfig config = {}) {
    meter = std::make_unique<SimulatedMeter>(std::move(config));
    portList().replace(buildPortList({}, ExplicitPorts::instance().entries()));
  }

  sim::Simulator& simulator() { return meter->simulator(); }

  void makeControl(bool autoConnect = false) {
    MonitorHooks hooks;
    hooks.stopRecordingThreads = [this] { ++recordingThreadStops; };
    hooks.disconnected = [this] { ++disconnects; };
    hooks.handedOver = [this](const HandOverValue& v) {
      std::lock_guard lock(handedMutex);
      handed.push_back(v);
      errorsAtHandOver.push_back(session.consecutiveErrors);
    };
    hooks.zeroAdjustClosed = [this](ZeroAdjustOutcome) { ++zeroAdjustCloses; };
    hooks.runMemoryDownload = [this](std::function<void()> done) {
      ++memoryDownloads;
      done();
    };
    session.setRecordingHooks({[this] { return recording.load(); }, [this] { ++recordingStops; }});
    control = std::make_unique<MonitorControl>(ui, session, std::move(hooks), [this] { return clock.load(); });
    control->startUp(autoConnect);
  }

  // Presses Monitor and waits for the first shown value.
  bool connect() {
    control->onMonitorButton();
    return ui.pumpUntil([&] { return session.meterConnected && !ui.text(kValueText).empty(); });
  }

  size_t handedCount() {
    std::lock_guard lock(handedMutex);
    return handed.size();
  }
  std::vector<int32_t> errorCounts() {
    std::lock_guard lock(handedMutex);
    return errorsAtHandOver;
  }
  HandOverValue lastHanded() {
    std::lock_guard lock(handedMutex);
    return handed.back();
  }
  // Pumps until n more passes have handed over their value and shown it.
  bool passes(size_t n) {
    const size_t target = handedCount() + n;
    const bool done = ui.pumpUntil([&] { return handedCount() >= target; });
    ui.pumpOnce();  // what the last of them posted before its hand-over
    return done;
  }

  size_t count(const std::string& command) {
    size_t n = 0;
    for (const auto& c : simulator().commandLog()) n += c == command ? 1 : 0;
    return n;
  }

  std::vector<std::string> messageTexts() {
    std::vector<std::string> texts;
    for (const auto& m : ui.messages()) texts.push_back(m.text);
    return texts;
  }

  FakeUiHost ui;
  std::unique_ptr<SimulatedMeter> meter;
  MeterSession session;
  std::unique_ptr<MonitorControl> control;
  std::atomic<int64_t> clock{1000};
  std::atomic<bool> recording{false};
  std::atomic<int> recordingStops{0};
  std::atomic<int> recordingThreadStops{0};
  std::atomic<int> disconnects{0};
  std::atomic<int> zeroAdjustCloses{0};
  std::atomic<int> memoryDownloads{0};
  std::mutex handedMutex;
  std::vector<HandOverValue> handed;
  std::vector<int32_t> errorsAtHandOver;  // consecutiveErrors after each pass
};

}  // namespace lmv::test
