#include "meter_session_cli.h"

#include <signal.h>
#include <unistd.h>

#include <limits>
#include <iostream>
#include <thread>

#include "base/charset.h"
#include "app/monitor_control.h"
#include "cli_options.h"
#include "link/explicit_ports.h"
#include "link/port_list.h"
#include "program_settings.h"
#include "ui/language_table.h"
#include "ui/monitor_controls.h"

namespace lmv::cli {
namespace {

std::atomic<bool> stopSignal{false};

void onStopSignal(int) { stopSignal = true; }

}  // namespace

int parseMeterOptions(const Command& command, const std::vector<std::string>& args, bool allowCount,
                      MeterOptions& out) {
  for (size_t i = 0; i < args.size(); ++i) {
    std::string value;
    if (OptionMatch m = matchOption(args, i, "--port", value); m != OptionMatch::No) {
      if (m == OptionMatch::MissingValue) return usageError(command, "option '--port' needs a device path");
      out.port = value;
    } else if (OptionMatch m = matchOption(args, i, "--lang", value); m != OptionMatch::No) {
      // Language codes: 0 Japanese, 1 English.
      const auto code = wordIndex(value, {"ja", "en"});
      if (m == OptionMatch::MissingValue || !code) return usageError(command, "option '--lang' takes en or ja");
      out.language = *code;
    } else if (OptionMatch m = allowCount ? matchOption(args, i, "--count", value) : OptionMatch::No;
               m != OptionMatch::No) {
      long long n = 0;
      if (m == OptionMatch::MissingValue || !parseNumber(value, 1, std::numeric_limits<long>::max(), n))
        return usageError(command, "option '--count' takes a whole number of passes, at least 1");
      out.count = static_cast<long>(n);
    } else {
      return usageError(command, "unexpected argument '" + args[i] + "'");
    }
  }
  return ExitOk;
}

int32_t prepareMeterPort(const Command& command, const MeterOptions& options) {
  FillLanguageTable(options.language);
  _COM_LIST entry;
  if (!options.port.empty()) {
    if (::access(options.port.c_str(), F_OK) != 0) {
      std::cerr << "lumetrevisor-cli " << command.name << ": " << options.port << ": no such device\n";
      return 0;
    }
    const int number = ExplicitPorts::instance().add(options.port);
    if (number == 0) {
      std::cerr << "lumetrevisor-cli " << command.name << ": " << options.port << ": no port number left\n";
      return 0;
    }
    const auto named = ExplicitPorts::instance().find(number);
    entry = {named ? named->friendlyName : options.port, number, options.port};
  } else {
    const auto ports = enumeratePorts();
    if (ports.empty()) {
      std::cerr << "lumetrevisor-cli " << command.name << ": no meter port found; name the device with --port\n";
      return 0;
    }
    entry = ports.front();
  }
  portList().replace({entry});
  currentPort = entry.portNumber;
  currentBaud = kBaudTable[1];
  return entry.portNumber;
}

void printMessage(const std::string& text) { std::cerr << utf8ToLocale(text) << std::endl; }

bool stopRequested() { return stopSignal; }

void requestStop() { stopSignal = true; }

void installStopSignals() {
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  // A broken output pipe turns into a failed write (EPIPE) and a stop
  // request instead of killing the program before it released the meter.
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaction(signal, &action, nullptr);
}

bool connectMonitor(ConsoleUiHost& ui, MonitorControl& control, MeterSession& session) {
  const int shownBefore = ui.messages();
  control.onMonitorButton();
  ui.runUntil([&] { return ui.enabled(kMonitorButton); }, false);
  if (session.meterConnected) return true;
  // No meter and an old firmware have had their message; a meter that did
  // not answer ":SYST:INIT" or ":SYST:LLO" has not.
  if (ui.messages() == shownBefore) printMessage(languageTable()[TextNoResponse]);
  return false;
}

void stopMonitor(ConsoleUiHost& ui, MonitorControl& control, MeterSession& session) {
  if (session.meterConnected) control.onMonitorButton();
  ui.runUntil([&] { return !session.meterConnected && ui.enabled(kMonitorButton); }, false);
}

ConsoleUiHost::ConsoleUiHost() = default;

void ConsoleUiHost::setText(int dialog, int control, std::string_view text) {
  std::lock_guard lock(mutex_);
  texts_[{dialog, control}] = std::string(text);
}

void ConsoleUiHost::setEnabled(int dialog, int control, bool enabled) {
  std::lock_guard lock(mutex_);
  enabled_[{dialog, control}] = enabled;
}

std::string ConsoleUiHost::text(int control, int dialog) const {
  std::lock_guard lock(mutex_);
  auto it = texts_.find({dialog, control});
  return it == texts_.end() ? std::string() : it->second;
}

bool ConsoleUiHost::enabled(int control, int dialog) const {
  std::lock_guard lock(mutex_);
  auto it = enabled_.find({dialog, control});
  return it == enabled_.end() || it->second;
}

MessageAnswer ConsoleUiHost::showMessage(const MessageRequest& request) {
  ++messages_;
  if (request.icon == MessageIcon::Error || request.icon == MessageIcon::Warning) ++errorMessages_;
  printMessage(request.text);
  return request.defaultAnswer;
}

void ConsoleUiHost::send(std::function<void()> handler) { loop_.send(std::move(handler)); }

void ConsoleUiHost::post(std::function<void()> handler) { loop_.post(std::move(handler)); }

void ConsoleUiHost::setTimer(int id, std::chrono::milliseconds period, std::function<void()> onTick) {
  loop_.setTimer(id, period, std::move(onTick));
}

void ConsoleUiHost::killTimer(int id) { loop_.killTimer(id); }

bool ConsoleUiHost::runUntil(const std::function<bool()>& done, bool stoppable) {
  for (;;) {
    loop_.runOnce();
    if (done()) return true;
    if (stoppable && stopRequested()) return false;
    loop_.waitForWork(std::chrono::milliseconds(10));
  }
}

}  // namespace lmv::cli
