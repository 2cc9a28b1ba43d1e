#pragma once
// The link to the meter as the rest of the program sees it: the one serial
// port, the identity of the meter found last, the connection flags, the
// measurement block ("GET") and the hand-over area ("OUT"). The main window
// owns one session for the whole run; the recording, the spreadsheet link
// and the dialogs that need the port hold a reference to it.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

#include "link/hand_over.h"
#include "link/measurement_block.h"
#include "link/meter_identity.h"
#include "link/serial_port.h"

namespace lmv {

// How a measurement pass reaches a running recording: whether one runs (asked
// on the measurement thread) and the stop request (run on the user-interface
// thread, as the Stop button does).
struct RecordingHooks {
  std::function<bool()> running;
  std::function<void()> stop;
};

class MeterSession {
 public:
  MeterSession() = default;
  // Tests and the CLI name the devices themselves.
  explicit MeterSession(SerialPort::PathResolver resolver) : port(std::move(resolver)) {}
  MeterSession(const MeterSession&) = delete;
  MeterSession& operator=(const MeterSession&) = delete;

  // Used by one thread at a time: the identification pass while no meter is
  // connected, the measurement thread while connected, a dialog or the
  // disconnect and exit steps only after the measurement thread has ended.
  SerialPort port;

  // 1 while the meter is identified and the port is open for monitoring.
  std::atomic<int32_t> meterConnected{0};
  // Result of the last identification pass as the connect step takes it.
  std::atomic<int32_t> meterFound{0};
  // Set by a device change: the running identification pass ends before
  // its next port.
  std::atomic<int32_t> probeAbortRequested{0};
  // Failed passes since the last good one; survives thread restarts.
  std::atomic<int32_t> consecutiveErrors{0};

  SharedMeasurementBlock block;
  HandOverArea handOver;

  MeterIdentity identity() const {
    std::lock_guard lock(identityMutex_);
    return identity_;
  }
  void setIdentity(const MeterIdentity& identity) {
    std::lock_guard lock(identityMutex_);
    identity_ = identity;
  }
  void setModelIndex(int32_t modelIndex) {
    std::lock_guard lock(identityMutex_);
    identity_.modelIndex = modelIndex;
  }

  // Registered by the recording before the monitor starts.
  void setRecordingHooks(RecordingHooks hooks) {
    std::lock_guard lock(hooksMutex_);
    recordingHooks_ = std::move(hooks);
  }
  bool recordingRunning() const {
    std::lock_guard lock(hooksMutex_);
    return recordingHooks_.running && recordingHooks_.running();
  }
  std::function<void()> recordingStop() const {
    std::lock_guard lock(hooksMutex_);
    return recordingHooks_.stop;
  }

 private:
  mutable std::mutex identityMutex_;
  MeterIdentity identity_;
  mutable std::mutex hooksMutex_;
  RecordingHooks recordingHooks_;
};

}  // namespace lmv
