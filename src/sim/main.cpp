// lumetrevisor-sim: a simulated LX5810/LX5811 on a pseudo-terminal.
#include <signal.h>

#include <cstdio>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "sim_options.h"
#include "simulator.h"

int main(int argc, char** argv) {
  using namespace lmv::sim;
  std::string error;
  auto options = parseSimOptions(std::vector<std::string>(argv + 1, argv + argc), &error);
  if (!options) {
    std::cerr << "lumetrevisor-sim: " << error << "\nTry 'lumetrevisor-sim --help'.\n";
    return 2;
  }
  if (options->help) {
    std::cout << kSimUsage;
    return 0;
  }

  // Signals are taken by sigtimedwait below, not by handlers.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  Simulator simulator(options->meter);
  simulator.withMeter([&](MeterModel& m) { m.fillMemory(options->memorySlots); });
  for (const auto& fault : options->faults) simulator.addFault(fault);
  if (options->verbose) {
    simulator.setCommandObserver([](const std::string& command, bool answered) {
      std::cerr << command << (answered ? "" : "   (no reply)") << std::endl;
    });
  }
  simulator.setLinkPath(options->linkPath);
  if (!simulator.start(&error)) {
    std::cerr << "lumetrevisor-sim: " << error << "\n";
    return 1;
  }
  std::cout << simulator.slavePath() << std::endl;

  timespec tick{0, 200 * 1000 * 1000};
  for (;;) {
    int signal = sigtimedwait(&signals, nullptr, &tick);
    if (signal > 0) break;
    if (simulator.hungUp()) {
      std::cerr << "lumetrevisor-sim: hung up: the device is gone\n";
      break;
    }
  }
  simulator.stop();
  return 0;
}
