#pragma once
// Meters for tests on real pseudo-terminals, registered as explicit ports so
// that SerialPort::open(portNumber()) reaches them:
//   SimulatedMeter - the simulator, running on its own thread;
//   PtyPeer        - a bare terminal whose far side the test plays byte by byte.
#include <termios.h>

#include <string>
#include <string_view>

#include "simulator.h"

namespace lmv::test {

class SimulatedMeter {
 public:
  explicit SimulatedMeter(sim::MeterConfig config = {});
  ~SimulatedMeter();
  SimulatedMeter(const SimulatedMeter&) = delete;
  SimulatedMeter& operator=(const SimulatedMeter&) = delete;

  sim::Simulator& simulator() { return simulator_; }
  const std::string& path() const { return simulator_.slavePath(); }
  int portNumber() const { return portNumber_; }

 private:
  sim::Simulator simulator_;
  int portNumber_ = 0;
};

class PtyPeer {
 public:
  PtyPeer();  // throws when no terminal can be had
  ~PtyPeer();
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  const std::string& path() const { return path_; }
  int portNumber() const { return portNumber_; }

  // What the meter sends.
  void send(std::string_view bytes);
  // What the program sent: exactly count bytes, waiting up to 5 s for them
  // (fewer when they do not come).
  std::string receive(size_t count);
  // Everything the program sent up to and including the next LF.
  std::string receiveLine();
  // The line settings the program made on the terminal.
  bool lineSettings(termios& out) const;
  // The device vanishes: both sides closed.
  void hangUp();

 private:
  std::string path_;
  int master_ = -1;
  int slave_ = -1;
  int portNumber_ = 0;
};

}  // namespace lmv::test
