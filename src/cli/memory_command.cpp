// lumetrevisor-cli memory: reads the readings stored in the meter's memory
// into a CSV file, as Option > Read Memory Data does.
#include <unistd.h>

#include <utility>

#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/charset.h"
#include "app/monitor_control.h"
#include "ui/monitor_controls.h"
#include "cli_options.h"
#include "command.h"
#include "memory/memory_destination.h"
#include "memory/memory_download.h"
#include "meter_session_cli.h"
#include "output_files.h"
#include "monitor/value_codes.h"
#include "program_settings.h"
#include "ui/language_table.h"

namespace lmv::cli {
namespace {

// Prints the progress as one line, rewritten in place on a terminal.
class ProgressPrinter final : public MemoryDownloadListener {
 public:
  void downloadStarted(int total, const std::string& statusText) override {
    total_ = total;
    print(statusText);
  }
  void readingProgress(int readCount, int total, const MemoryTimeUpdate& times) override {
    if (times.remaining) remaining_ = *times.remaining;
    if (times.elapsed) elapsed_ = *times.elapsed;
    const LanguageTable& texts = languageTable();
    std::string line = memoryCountText(readCount, total);
    if (!remaining_.empty()) line += "  " + texts.text(TextRemainLabel) + remaining_;
    if (!elapsed_.empty()) line += "  " + texts.text(TextElapsedLabel) + elapsed_;
    print(line);
  }
  void ringLevel(int) override {}
  void downloadEnded(MemoryDownloadOutcome result, const std::string&) override {
    if (terminal_ && printed_) std::cout << "\n";
    std::cout.flush();
    outcome = result;
    if (onEnded) onEnded();
  }

  std::optional<MemoryDownloadOutcome> outcome;
  std::function<void()> onEnded;

 private:
  void print(const std::string& line) {
    if (terminal_) {
      std::cout << "\r\033[K" << utf8ToLocale(line) << std::flush;
    } else {
      std::cout << utf8ToLocale(line) << "\n";
    }
    printed_ = true;
  }

  bool terminal_ = ::isatty(STDOUT_FILENO) == 1;
  bool printed_ = false;
  int total_ = 0;
  std::string remaining_;
  std::string elapsed_;
};

int exitStatusOf(MemoryDownloadOutcome outcome) {
  switch (outcome) {
    case MemoryDownloadOutcome::Completed:
      return ExitOk;
    case MemoryDownloadOutcome::FileNotOpened:
    case MemoryDownloadOutcome::WriteError:
      return ExitFileError;
    case MemoryDownloadOutcome::ReadError:
    case MemoryDownloadOutcome::NothingSaved:
    case MemoryDownloadOutcome::Cancelled:
      break;
  }
  return ExitFailed;
}

int runMemory(const Command& command, const std::vector<std::string>& args) {
  std::string csv;
  std::string settingsFile;
  bool overwrite = false;
  bool languageGiven = false;
  std::vector<std::string> meterArgs;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string value;
    OptionMatch m = matchOption(args, i, "--csv", value);
    if (m == OptionMatch::MissingValue) return usageError(command, "option '--csv' needs a path");
    if (m == OptionMatch::Yes) {
      csv = value;
      continue;
    }
    m = matchOption(args, i, "--settings", value);
    if (m == OptionMatch::MissingValue) return usageError(command, "option '--settings' needs a path");
    if (m == OptionMatch::Yes) {
      settingsFile = value;
    } else if (args[i] == "--overwrite") {
      overwrite = true;
    } else {
      languageGiven = languageGiven || args[i].rfind("--lang", 0) == 0;
      meterArgs.push_back(args[i]);
    }
  }
  MeterOptions options;
  if (int status = parseMeterOptions(command, meterArgs, false, options); status != ExitOk) return status;
  if (csv.empty()) return usageError(command, "option '--csv' is required");

  const AppSettings settings = loadProgramSettings(settingsFile);
  const int settingsLanguage = languageTable().language();
  if (prepareMeterPort(command, options) == 0) return ExitFailed;
  if (!languageGiven) FillLanguageTable(settingsLanguage);
  installStopSignals();

  // The file as the dialog takes it: a folder and a name to which ".csv" is added.
  const size_t slash = csv.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : csv.substr(0, slash));
  std::string name = slash == std::string::npos ? csv : csv.substr(slash + 1);
  if (name.size() > 4 && name.ends_with(".csv")) name.resize(name.size() - 4);

  if (int status = refuseOverlappingFiles(command, {{"--csv", memoryCsvPath(folder, name)}},
                                          {{"the settings file", programSettingsPath(settingsFile)}});
      status != ExitOk)
    return status;

  ConsoleUiHost ui;
  const auto path = validateMemoryDestination(folder, name, ui, languageTable(), [&](const std::string& p) {
    return !overwrite && pathExists(p);
  });
  if (!path) {
    if (overwrite || !pathExists(memoryCsvPath(folder, name))) return ExitUsage;
    std::cerr << "lumetrevisor-cli " << command.name << ": " << memoryCsvPath(folder, name)
              << " is kept; give --overwrite to replace it\n";
    return ExitFileError;
  }

  MeterSession session;
  ProgressPrinter printer;
  std::unique_ptr<MemoryDownload> download;
  std::function<void()> dialogClosed;
  bool ended = false;
  printer.onEnded = [&] {
    ended = true;
    if (dialogClosed) std::exchange(dialogClosed, nullptr)();
  };
  MonitorHooks hooks;
  hooks.runMemoryDownload = [&](std::function<void()> done) {
    dialogClosed = std::move(done);
    MemoryDownloadRequest request;
    request.path = *path;
    request.fileName = memoryCsvFileName(name);
    request.meter = session.identity();
    request.footCandle = session.block.unitCode() == UnitFootCandle;
    request.symbols = csvSymbols(settings.decimalSymbol, settings.listSeparator);
    download = std::make_unique<MemoryDownload>(session.port, ui, languageTable(), printer);
    download->start(request);
  };
  MonitorControl control(ui, session, std::move(hooks));
  control.startUp(false);

  // Connect as the Monitor button does; this always runs to its end.
  if (!connectMonitor(ui, control, session)) return ExitFailed;
  // The unit of the download is the one the meter reports: wait for a status.
  ui.runUntil([&] { return !session.meterConnected || session.block.statusInvalid() == 0; });

  if (session.meterConnected && !stopRequested()) {
    control.onReadMemoryCommand();
    ui.runUntil([&] { return ended; });
    if (!ended) {
      download->cancel();  // interrupted: what was read stays in the file
      ui.runUntil([&] { return ended; }, false);
    }
  }
  if (session.meterConnected) {
    stopMonitor(ui, control, session);  // as Stop Monitor: ":SYST:GTL"
  }
  download.reset();
  if (!printer.outcome) return ExitFailed;
  if (*printer.outcome == MemoryDownloadOutcome::Completed) std::cout << "Wrote " << *path << "\n";
  return exitStatusOf(*printer.outcome);
}

const Command kMemoryCommand{
    "memory",
    "read the readings stored in the meter's memory into a CSV file",
    "Usage: lumetrevisor-cli memory --port DEVICE --csv OUT.csv [--overwrite] [--lang en|ja]\n"
    "                              [--settings FILE]\n"
    "\n"
    "Connects to the meter as the Monitor button does, reads every reading stored\n"
    "in its memory (\":MEM:CHECK?\", then \":MEM:DATA? n\" for each slot in use)\n"
    "and writes them as the memory CSV file, with the CSV symbols of the\n"
    "program's settings and the unit the meter reports. A progress line shows\n"
    "the readings read and the remaining and elapsed time. Afterwards the\n"
    "meter is returned to local operation (\":SYST:GTL\").\n"
    "\n"
    "OUT.csv: a file name without \\ / : , ; * ? \" < > |; \".csv\" is added when\n"
    "missing. An existing file is kept unless --overwrite is given. When a reply\n"
    "breaks off, the readings read so far stay in the file.\n"
    "\n"
    "Options:\n"
    "  --port DEVICE  the meter's serial port or a simulated meter's terminal\n"
    "  --csv OUT.csv  the file to write\n"
    "  --overwrite    replace an existing file\n"
    "  --settings FILE  the settings file to start from (default: the program's)\n"
    "  --lang en|ja   language of the messages and CSV words (default: the program's)\n"
    "\n"
    "Exit status: 0 every reading written, 1 the file could not be written,\n"
    "2 usage error or a refused file name, 3 no meter, nothing stored, or a\n"
    "reading that broke off (the message is printed on stderr).\n",
    {}};

const CommandRegistration kRegistration{[] {
  Command command = kMemoryCommand;
  command.run = [](const std::vector<std::string>& args) { return runMemory(kMemoryCommand, args); };
  return command;
}()};

}  // namespace
}  // namespace lmv::cli
