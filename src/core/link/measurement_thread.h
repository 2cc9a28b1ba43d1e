#pragma once
// measurementThread: while the meter is connected it polls it without pause,
// shows each reading in the monitor panel and hands it over under "OUT".
// The object owns the thread: a stop request lets the loop finish its pass,
// measurementThreadEnded() reports that it has left the loop, and the
// destructor stops and joins it whatever it is doing.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "ui/ui_bridge.h"
#include "link/measurement_pass.h"
#include "link/meter_session.h"

namespace lmv {

// Reply buffer size of the measurement commands.
inline constexpr size_t kPassReplyCapacity = 32;

// The main window's handlers of the thread's reports. commError and
// bufferOver run on the user-interface thread while the pass waits for them
// (WM_COMM_ERROR with wParam 0 = a command was not sent, 1 = no response;
// WM_BUFFER_OVER). handedOver, when set, is called on the measurement thread
// after every hand-over.
struct MeasurementEvents {
  std::function<void(int wParam)> commError;
  std::function<void()> bufferOver;
  std::function<void(const HandOverValue&)> handedOver;
};

// Posts what a pass shows to the main window's monitor panel and stores the
// combo selections in the block.
class UiMonitorPanel : public MonitorPanel {
 public:
  UiMonitorPanel(UiBridge& bridge, SharedMeasurementBlock& block) : bridge_(bridge), block_(block) {}
  void showRangeLabel(std::string_view label) override;
  void fillCombos(std::string_view function, const std::vector<std::string>& rangeLabels,
                  int32_t rangeSelection) override;
  void selectRange(int32_t selection) override;
  void showValue(std::string_view text) override;
  void showUnit(std::string_view text) override;

 private:
  void setText(int control, std::string_view text);

  UiBridge& bridge_;
  SharedMeasurementBlock& block_;
};

class MeasurementThread {
 public:
  MeasurementThread(MeterSession& session, UiHost& ui, MeasurementEvents events);
  ~MeasurementThread();
  MeasurementThread(const MeasurementThread&) = delete;
  MeasurementThread& operator=(const MeasurementThread&) = delete;

  // Starts the loop. A previous loop must have ended (it is joined here);
  // false when one still runs.
  bool start();
  // Clears the run flag: the loop ends after its current pass. When no loop
  // runs, measurementThreadEnded() is true at once.
  void requestStop();
  // The loop has left (set as its last action, cleared by requestStop).
  bool measurementThreadEnded() const;
  // Joins the ended loop, quick once measurementThreadEnded() holds, and
  // drops the panel updates it left unshown.
  void join();
  // Stops, releases a pass waiting for the user-interface thread and joins.
  void stopAndJoin();

  bool runFlag() const { return runFlag_.load(); }

 private:
  void run();
  void runPass(MeasurementBlock& b);
  LinkResult exchange(std::string_view command, std::string& reply);
  void accountFailure(LinkResult failure);
  void handOver(const MeasurementBlock& b, const PassValue& out);
  void pause();

  MeterSession& session_;
  UiBridge bridge_;
  UiMonitorPanel panel_;
  MeasurementEvents events_;

  std::atomic<bool> runFlag_{false};
  mutable std::mutex stateMutex_;  // ended_, alive_
  std::condition_variable wake_;
  bool ended_ = true;
  bool alive_ = false;
  std::thread thread_;
};

}  // namespace lmv
