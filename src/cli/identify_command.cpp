// lumetrevisor-cli identify: one identification attempt on one device.
#include <iostream>

#include "command.h"
#include "link/identification.h"
#include "link/port_list.h"
#include "meter_session_cli.h"
#include "ui/language_table.h"

namespace lmv::cli {
namespace {

int runIdentify(const Command& command, const std::vector<std::string>& args) {
  MeterOptions options;
  if (int status = parseMeterOptions(command, args, false, options); status != ExitOk) return status;
  const int32_t port = prepareMeterPort(command, options);
  if (port == 0) return ExitFailed;
  MeterSession session;
  if (!probePort(session, port)) {
    printMessage(languageTable()[TextCommunicationErrorCheckUsb]);
    return ExitFailed;
  }
  const MeterIdentity id = session.identity();
  std::cout << "model=" << kModelNames[id.modelIndex] << "\n"
            << "serial=" << id.serialNumberText << "\n"
            << "firmware=" << id.firmwareVersionText << "\n"
            << "baud=" << currentBaud << "\n";
  std::cout.flush();
  return std::cout ? ExitOk : ExitFileError;
}

const Command kIdentifyCommand{
    "identify",
    "identify the meter on a port (model, serial number, firmware)",
    "Usage: lumetrevisor-cli identify [--port DEVICE] [--lang en|ja]\n"
    "\n"
    "Asks the meter on DEVICE who it is, at 19200 baud and then at 9600, and\n"
    "prints its model, serial number, firmware version and the baud rate it\n"
    "answered at, one key=value line each. DEVICE is the meter's serial port\n"
    "(/dev/ttyACM0) or a simulated meter's pseudo-terminal; without --port the\n"
    "first meter port found is used.\n"
    "\n"
    "Options:\n"
    "  --port DEVICE  the device to ask\n"
    "  --lang en|ja   language of the messages (default en)\n"
    "  --help         show this help\n"
    "\n"
    "Exit status: 0 the meter answered, 2 usage error, 3 no meter found.\n",
    {}};

const CommandRegistration kRegistration{[] {
  Command command = kIdentifyCommand;
  command.run = [](const std::vector<std::string>& args) { return runIdentify(kIdentifyCommand, args); };
  return command;
}()};

}  // namespace
}  // namespace lmv::cli
