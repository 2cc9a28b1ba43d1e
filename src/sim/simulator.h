#pragma once
// A simulated meter on a pseudo-terminal: programs open the slave side (or a
// symbolic link to it) as they would open the meter's serial port. The meter
// runs on its own thread; its settings, memory and faults can be changed
// while it runs.
//
// It answers only while the line speed set on the slave side is its own
// baud rate; commands at another speed are dropped unanswered. It keeps its
// own descriptor of the slave side open, so the terminal stays usable when
// the program closes and reopens the port.
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fault_plan.h"
#include "meter_model.h"

namespace lmv::sim {

class Simulator {
 public:
  explicit Simulator(MeterConfig config = {});
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Creates the pseudo-terminal (and the link when set) and starts serving.
  // False with a message on failure.
  bool start(std::string* error = nullptr);
  // Stops and joins the thread, closes the terminal, removes the link.
  void stop();

  // A symbolic link to the slave side, made by start(); an existing link is
  // replaced, any other file is left alone (start fails).
  void setLinkPath(std::string path) { linkPath_ = std::move(path); }
  const std::string& linkPath() const { return linkPath_; }
  const std::string& slavePath() const { return slavePath_; }
  // "Simulated LX5810 (pts/3)": the name for the meter port list.
  std::string friendlyName() const;

  // Runs f on the meter under its lock: change the settings or memory.
  template <typename F>
  auto withMeter(F&& f) {
    std::lock_guard lock(mutex_);
    return f(meter_);
  }
  void addFault(Fault fault);
  void clearFaults();

  // The device vanishes now, as after a pulled cable: both sides closed.
  void hangUp();
  bool hungUp() const { return hungUp_; }

  // Every command line received, in order (also those at a wrong speed).
  std::vector<std::string> commandLog() const;
  void clearCommandLog();
  // Called on the simulator's thread for each command line received, with
  // whether it was answered at all; for a verbose console log.
  void setCommandObserver(std::function<void(const std::string& command, bool answered)> observer);

  // Time since start, the clock of the illuminance source.
  double elapsedSeconds() const;

 private:
  struct Pending {
    std::chrono::steady_clock::time_point due;
    std::string bytes;
    bool hangUp = false;
  };

  void run();
  void handleLine(const std::string& line, std::vector<Pending>& pending);
  bool speedMatches() const;
  void closeTerminal();
  void wake();

  mutable std::mutex mutex_;  // meter_, faults_, log_, observer_
  MeterModel meter_;
  FaultPlan faults_;
  std::vector<std::string> log_;
  std::function<void(const std::string&, bool)> observer_;

  std::string linkPath_;
  std::string slavePath_;
  int master_ = -1;
  int slave_ = -1;
  int wakeFd_ = -1;
  std::thread thread_;
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> hangUpRequested_{false};
  std::atomic<bool> hungUp_{false};
  std::chrono::steady_clock::time_point started_{};
};

// termios speed constant for a baud rate; 0 when not a standard rate.
unsigned speedConstant(int baud);

}  // namespace lmv::sim
