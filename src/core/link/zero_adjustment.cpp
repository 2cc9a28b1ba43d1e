#include "link/zero_adjustment.h"

#include <chrono>
#include <string_view>

namespace lmv {

int64_t ZeroAdjustment::monotonicSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

ZeroAdjustment::ZeroAdjustment(SerialPort& port, Clock clock) : port_(port), clock_(std::move(clock)) {
  if (!clock_) clock_ = monotonicSeconds;
}

void ZeroAdjustment::restart() {
  step_ = 0;
  elapsed_ = 0;
}

ZeroAdjustEvent ZeroAdjustment::tick() {
  if (step_ == 0) {
    start_ = clock_();
    elapsed_ = 0;
    if (!port_.writeLine(":0ADJUST")) return ZeroAdjustEvent::Failed;
    step_ = 1;
    return ZeroAdjustEvent::Waiting;
  }
  if (!port_.inputPending()) {
    elapsed_ = clock_() - start_;
    return elapsed_ > kZeroAdjustLimitSeconds ? ZeroAdjustEvent::Failed : ZeroAdjustEvent::Waiting;
  }
  // The rest of the line may take up to the receive limit to arrive.
  char buffer[32];
  const LinkResult r = port_.readLine(buffer, sizeof buffer);
  if (r != LineReceived) return ZeroAdjustEvent::Failed;
  return std::string_view(buffer) == "OK" ? ZeroAdjustEvent::Done : ZeroAdjustEvent::CapNotFitted;
}

}  // namespace lmv
