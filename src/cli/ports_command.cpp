// lumetrevisor-cli ports: lists the serial ports of LX5810/LX5811 meters.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <mutex>
#include <string>
#include <vector>

#include "command.h"
#include "link/device_watcher.h"
#include "link/explicit_ports.h"
#include "link/port_list.h"
#include "link/port_numbering.h"

namespace lmv::cli {
namespace {

struct Row {
  int32_t number = 0;
  std::string device;
  std::string name;
  bool meter = true;
};

void printRows(std::ostream& out, const std::vector<Row>& rows, bool all) {
  if (rows.empty()) {
    out << (all ? "No serial port found.\n" : "No meter port found.\n");
    return;
  }
  size_t deviceWidth = 6;
  for (const auto& row : rows) deviceWidth = std::max(deviceWidth, row.device.size());
  out << " No.  " << "Device" << std::string(deviceWidth - 6 + 2, ' ') << "Name\n";
  for (const auto& row : rows) {
    char number[8];
    std::snprintf(number, sizeof number, "%4s", row.number ? std::to_string(row.number).c_str() : "-");
    out << number << "  " << row.device << std::string(deviceWidth - row.device.size() + 2, ' ') << row.name
        << (row.meter ? "" : "  [not a meter]") << "\n";
  }
}

std::vector<Row> collectRows(bool all) {
  std::vector<Row> rows;
  for (const auto& entry : enumeratePorts()) rows.push_back({entry.portNumber, entry.devicePath, entry.friendlyName});
  if (!all) return rows;
  // The other serial devices, so that a user can see why a meter is not listed.
  for (const auto& device : listTtyDevices()) {
    int32_t number = portNumberForKernelName(device.kernelName);
    if (!device.onUsb && number == 0) continue;
    std::string name = friendlyNameFor(device);
    if (isMeterPortName(name) && number != 0) continue;  // listed above
    rows.push_back({number, device.devNode, name, false});
  }
  return rows;
}

int runPorts(const Command& command, const std::vector<std::string>& args) {
  std::vector<std::string> named;
  bool all = false;
  bool watch = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--port") {
      if (i + 1 >= args.size() || args[i + 1].empty()) return usageError(command, "option '--port' needs a path");
      named.push_back(args[++i]);
    } else if (arg.rfind("--port=", 0) == 0) {
      if (arg.size() == 7) return usageError(command, "option '--port' needs a path");
      named.push_back(arg.substr(7));
    } else if (arg == "--all") {
      all = true;
    } else if (arg == "--watch") {
      watch = true;
    } else {
      return usageError(command, "unexpected argument '" + arg + "'");
    }
  }

  int status = ExitOk;
  auto& registry = ExplicitPorts::instance();
  auto complain = [&](const std::string& path, const std::string& why) {
    std::cerr << "lumetrevisor-cli ports: " << path << ": " << why << "\n";
    status = ExitFileError;
  };
  for (const auto& path : registry.addFromEnvironment()) complain(path, "no port number left");
  for (const auto& path : named) {
    if (registry.add(path) == 0) complain(path, "no port number left");
    else if (::access(path.c_str(), F_OK) != 0) complain(path, "no such device");
  }

  if (!watch) {
    printRows(std::cout, collectRows(all), all);
    std::cout.flush();
    return std::cout ? status : ExitFileError;
  }

  // Signals are taken by sigwait; block them before the watcher's thread
  // starts so that it inherits the mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  std::mutex outputMutex;
  printRows(std::cout, collectRows(all), all);
  std::cout.flush();
  DeviceWatcher watcher;
  watcher.subscribe([&] {
    std::lock_guard lock(outputMutex);
    std::cout << "\nDevices changed:\n";
    printRows(std::cout, collectRows(all), all);
    std::cout.flush();
  });
  if (!watcher.start()) {
    std::cerr << "lumetrevisor-cli ports: cannot watch for device changes\n";
    return ExitFailed;
  }
  if (!watcher.udevAvailable())
    std::cerr << "lumetrevisor-cli ports: no device events on this system; the list is not updated\n";
  int signal = 0;
  sigwait(&stopSignals, &signal);
  watcher.stop();
  return status;
}

const Command kPortsCommand{
    "ports",
    "list the serial ports of LX5810/LX5811 meters",
    "Usage: lumetrevisor-cli ports [--port PATH]... [--all] [--watch]\n"
    "\n"
    "Lists the serial ports that belong to a meter, one per line: the port\n"
    "number the program knows the port by, the device, and its name. A USB\n"
    "serial device is a meter port when its name (USB vendor and model)\n"
    "contains \"LX5810\"; both models report that text.\n"
    "\n"
    "Port numbers stay the same for the same device:\n"
    "  ttyACM0 .. ttyACM99  ->   1 .. 100\n"
    "  ttyUSB0 .. ttyUSB99  -> 101 .. 200\n"
    "  named ports          -> 201 .. 256, lowest free number first\n"
    "\n"
    "Named ports are listed as meter ports whatever device they are (a\n"
    "simulated meter's pseudo-terminal, for example). Name them with --port\n"
    "or in the variable LUMETREVISOR_PORTS (paths separated by ':' or ',').\n"
    "\n"
    "Options:\n"
    "  --port PATH  also list PATH as a meter port (repeatable)\n"
    "  --all        also list the other USB serial devices\n"
    "  --watch      list again on every device change, until interrupted\n"
    "  --help       show this help\n"
    "\n"
    "Exit status: 0 success, 1 a named port is missing, 2 usage error.\n",
    {}};

const CommandRegistration kRegistration{[] {
  Command command = kPortsCommand;
  command.run = [](const std::vector<std::string>& args) { return runPorts(kPortsCommand, args); };
  return command;
}()};

}  // namespace
}  // namespace lmv::cli
