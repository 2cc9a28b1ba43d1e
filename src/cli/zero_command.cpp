// lumetrevisor-cli zero: the meter's zero adjustment, as the "0 ADJ" button
// runs it while the monitor is on.
#include <iostream>

#include "app/monitor_control.h"
#include "ui/monitor_controls.h"
#include "command.h"
#include "link/port_list.h"
#include "meter_session_cli.h"
#include "ui/language_table.h"

namespace lmv::cli {
namespace {

// A failed adjustment closed the port, so Stop Monitor could not send
// ":SYST:GTL": open the port once more for it, so that the meter does not
// stay locked to the program (best effort).
void releaseMeter(MeterSession& session) {
  if (!session.port.open(currentPort)) return;
  if (session.port.writeLine(":SYST:GTL")) {
    char reply[32];
    session.port.readLine(reply, sizeof reply);
  }
  session.port.close();
}

int runZero(const Command& command, const std::vector<std::string>& args) {
  MeterOptions options;
  if (int status = parseMeterOptions(command, args, false, options); status != ExitOk) return status;
  if (prepareMeterPort(command, options) == 0) return ExitFailed;
  installStopSignals();

  ConsoleUiHost ui;
  MeterSession session;
  MonitorControl control(ui, session);
  control.startUp(false);
  if (!connectMonitor(ui, control, session)) return ExitFailed;

  // Up to 15 seconds for the meter's verdict; not cut short, so that a late
  // "OK" is never taken for a measured value.
  control.onZeroAdjustButton();
  ZeroAdjustDialog& dialog = control.zeroAdjustDialog();
  ui.runUntil([&] { return control.lastZeroAdjustOutcome() || dialog.waitingForUser(); }, false);
  if (dialog.waitingForUser()) {
    printMessage(languageTable()[TextSensorCapNotFitted]);
    dialog.onCancel();
  }
  const ZeroAdjustOutcome outcome = control.lastZeroAdjustOutcome().value_or(ZeroAdjustOutcome::Failed);
  switch (outcome) {
    case ZeroAdjustOutcome::Done: std::cout << "zero=OK\n"; break;
    case ZeroAdjustOutcome::Cancelled: std::cout << "zero=cap-not-fitted\n"; break;
    case ZeroAdjustOutcome::Failed: std::cout << "zero=failed\n"; break;
  }
  std::cout.flush();

  // The monitor came back with the port; stop it as Stop Monitor does.
  stopMonitor(ui, control, session);
  if (outcome == ZeroAdjustOutcome::Failed) releaseMeter(session);
  if (!std::cout) return ExitFileError;
  return outcome == ZeroAdjustOutcome::Done ? ExitOk : ExitFailed;
}

const Command kZeroCommand{
    "zero",
    "run the meter's zero adjustment",
    "Usage: lumetrevisor-cli zero [--port DEVICE] [--lang en|ja]\n"
    "\n"
    "Connects to the meter on DEVICE as the Monitor button does, sends\n"
    "\":0ADJUST\" and waits up to 15 seconds for the meter's answer, then\n"
    "stops the monitor (\":SYST:GTL\"). The sensor cap must be fitted. Prints\n"
    "zero=OK, zero=cap-not-fitted or zero=failed; the program's message for\n"
    "the last two goes to stderr. Without --port the first meter port found\n"
    "is used.\n"
    "\n"
    "Options:\n"
    "  --port DEVICE  the meter's serial port or a simulated meter's terminal\n"
    "  --lang en|ja   language of the messages (default en)\n"
    "  --help         show this help\n"
    "\n"
    "Exit status: 0 the meter answered OK, 2 usage error, 3 no meter, old\n"
    "firmware, sensor cap not fitted or a communication failure.\n",
    {}};

const CommandRegistration kRegistration{[] {
  Command command = kZeroCommand;
  command.run = [](const std::vector<std::string>& args) { return runZero(kZeroCommand, args); };
  return command;
}()};

}  // namespace
}  // namespace lmv::cli
