// lumetrevisor-cli monitor: connects as the Monitor button does and prints
// every measurement pass until the count is reached or it is interrupted.
#include <iostream>
#include <mutex>

#include "base/charset.h"
#include "app/monitor_control.h"
#include "ui/monitor_controls.h"
#include "command.h"
#include "meter_session_cli.h"
#include "record/time_text.h"

namespace lmv::cli {
namespace {

std::string passLine(const HandOverValue& v) {
  const MeasuredValue& m = v.recordCopy;
  std::string line = absoluteTimeText(oleDateNow()) + "\t" + m.valueText + "\t" + m.unitText + "\t" + m.rangeText;
  if (m.overMark) line += "\tOVER";
  return line;
}

int runMonitor(const Command& command, const std::vector<std::string>& args) {
  MeterOptions options;
  if (int status = parseMeterOptions(command, args, true, options); status != ExitOk) return status;
  if (prepareMeterPort(command, options) == 0) return ExitFailed;
  installStopSignals();

  ConsoleUiHost ui;
  MeterSession session;
  std::mutex outputMutex;
  std::atomic<long> printed{0};
  MonitorHooks hooks;
  hooks.handedOver = [&](const HandOverValue& v) {
    std::lock_guard lock(outputMutex);
    if (options.count && printed >= *options.count) return;
    std::cout << utf8ToLocale(passLine(v)) << std::endl;
    ++printed;
    if (!std::cout) requestStop();  // nobody takes the output any more
  };
  MonitorControl control(ui, session, std::move(hooks));
  control.startUp(false);

  // The connect step: identification, firmware check, ":SYST:INIT", ":SYST:LLO".
  if (!connectMonitor(ui, control, session)) return ExitFailed;

  ui.runUntil([&] { return !session.meterConnected || (options.count && printed >= *options.count); });
  if (!session.meterConnected) {
    // A communication failure stopped the monitor; its message has been shown.
    ui.runUntil([&] { return ui.enabled(kMonitorButton); }, false);
    return ExitFailed;
  }
  stopMonitor(ui, control, session);
  std::cout.flush();
  return std::cout ? ExitOk : ExitFileError;
}

const Command kMonitorCommand{
    "monitor",
    "connect to the meter and print its measured values",
    "Usage: lumetrevisor-cli monitor [--port DEVICE] [--count N] [--lang en|ja]\n"
    "\n"
    "Identifies the meter on DEVICE, refuses a firmware older than 0.24,\n"
    "connects (\":SYST:INIT\", \":SYST:LLO\") and runs the measurement cycle.\n"
    "Each pass prints one line, tab-separated: local time, the value as the\n"
    "monitor shows it, the unit, the range label, and OVER when the value is\n"
    "over range. After N passes, or when interrupted (SIGINT, SIGTERM, SIGHUP,\n"
    "or the output closed), the monitor is stopped as the Stop Monitor button\n"
    "does it (\":SYST:GTL\"). Without --port the first meter port found is\n"
    "used.\n"
    "\n"
    "Options:\n"
    "  --port DEVICE  the meter's serial port or a simulated meter's terminal\n"
    "  --count N      stop after N passes (default: until interrupted)\n"
    "  --lang en|ja   language of the messages (default en)\n"
    "  --help         show this help\n"
    "\n"
    "Exit status: 0 stopped after N passes or by an interrupt, 1 the output\n"
    "could not be written, 2 usage error,\n"
    "3 no meter, firmware too old, or a communication failure (its message\n"
    "is printed on stderr).\n",
    {}};

const CommandRegistration kRegistration{[] {
  Command command = kMonitorCommand;
  command.run = [](const std::vector<std::string>& args) { return runMonitor(kMonitorCommand, args); };
  return command;
}()};

}  // namespace
}  // namespace lmv::cli
