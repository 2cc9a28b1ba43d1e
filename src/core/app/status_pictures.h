#pragma once
// The indicator strip (1092), the connection diagram (1089), the caption of
// its group box (1090) and the clock (1114): what each tick of clockThread
// shows, and the thread that ticks about ten times a second until the exit.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "link/meter_session.h"
#include "ui/ui_bridge.h"
#include "ui/ui_host.h"

namespace lmv {

// The state a tick looks at.
struct StatusInputs {
  bool meterConnected = false;
  bool statusInvalid = true;
  bool overFlag = false;
  bool output = false;  // status[8]
  bool buzzer = false;  // status[1]
  bool portListEmpty = true;
};

// A blink counter: phase 0 for six ticks, 1 for four.
class BlinkPhase {
 public:
  void advance();
  int phase() const { return phase_; }

 private:
  int counter_ = 0;
  int phase_ = 0;
};

// One tick's output; caption and clock only when they are to be written.
struct StatusFrame {
  std::vector<PictureLayer> strip;
  std::string diagram;
  std::optional<std::string> caption;
  std::optional<std::string> clock;
};

class StatusTicker {
 public:
  // pictureDirectory: "<programDirectory>/Pictures"; start: the time of the
  // thread's start in whole seconds.
  StatusTicker(std::string pictureDirectory, std::time_t start);

  StatusFrame tick(const StatusInputs& inputs, std::time_t now);

  int diagramPhase() const { return diagram_.phase(); }
  int overPhase() const { return over_.phase(); }

 private:
  std::string picture(const char* name) const;

  std::string directory_;
  BlinkPhase diagram_;
  BlinkPhase over_;
  std::string lastCaption_;
  std::time_t lastSecond_;
};

// "%02d:%02d:%02d" of the local time.
std::string clockText(std::time_t when);

StatusInputs readStatusInputs(const MeterSession& session);

// clockThread. Reads the session's flags without waiting for anyone and
// posts each frame to the user-interface thread.
class ClockThread {
 public:
  using Clock = std::function<std::time_t()>;
  ClockThread(UiHost& ui, const MeterSession& session, std::string programDirectory, Clock clock = {},
              std::chrono::milliseconds period = std::chrono::milliseconds(100));
  ~ClockThread();
  ClockThread(const ClockThread&) = delete;
  ClockThread& operator=(const ClockThread&) = delete;

  void start();
  // Clears the run flag, drops frames not shown yet and joins.
  void stopAndJoin();
  bool running() const { return thread_.joinable(); }

 private:
  void run();
  void show(const StatusFrame& frame);

  UiBridge bridge_;
  const MeterSession& session_;
  std::string pictureDirectory_;
  Clock clock_;
  std::chrono::milliseconds period_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace lmv
