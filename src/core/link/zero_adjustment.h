#pragma once
// The meter's zero adjustment as a state machine driven by the dialog's
// 200 ms ticks: ":0ADJUST" is sent at the first tick, later ticks look for
// the reply without blocking, and more than 15 whole seconds without one is a
// failure. The port must be free of the measurement thread throughout.
#include <cstdint>
#include <functional>

#include "link/serial_port.h"

namespace lmv {

inline constexpr int kZeroAdjustTimerId = 9;
inline constexpr int kZeroAdjustTickMs = 200;
inline constexpr int64_t kZeroAdjustLimitSeconds = 15;

enum class ZeroAdjustEvent {
  Waiting,       // keep ticking
  Done,          // the meter answered "OK"
  CapNotFitted,  // any other answer: the sensor cap is off
  Failed,        // not sent, no answer in time, or a broken reply line
};

class ZeroAdjustment {
 public:
  // Whole seconds of a clock; the default is monotonicSeconds, so that a
  // wall clock set back cannot keep the limit from ever passing.
  using Clock = std::function<int64_t()>;
  static int64_t monotonicSeconds();

  explicit ZeroAdjustment(SerialPort& port, Clock clock = {});

  // Back to "command not yet sent" (opening and "Try Again").
  void restart();
  ZeroAdjustEvent tick();

  int64_t elapsedSeconds() const { return elapsed_; }

 private:
  SerialPort& port_;
  Clock clock_;
  int step_ = 0;
  int64_t start_ = 0;
  int64_t elapsed_ = 0;
};

}  // namespace lmv
