// lumetrevisor-cli paste: connects to the meter, links the spreadsheet and
// writes one row per capture at its cell cursor, at an interval or for each
// line read from standard input, as the paste dialog does.
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/charset.h"
#include "app/monitor_control.h"
#include "ui/monitor_controls.h"
#include "cli_options.h"
#include "command.h"
#include "files/record_file.h"
#include "meter_session_cli.h"
#include "program_settings.h"
#include "record/record_clock.h"
#include "sheet/paste_capture.h"
#include "sheet/uno/uno_sheet_office.h"
#include "ui/language_table.h"

namespace lmv::cli {
namespace {

struct PasteOptions {
  std::optional<int> intervalIndex;
  bool byReturnKey = false;
  bool useRecordSetting = false;
  std::optional<long long> count;
  std::string file;
  std::string settingsFile;
};

// Reads standard input on its own thread and hands each line (and the end
// of input) to the user-interface thread.
class LineReader {
 public:
  LineReader(ConsoleUiHost& ui, std::function<void()> onLine, std::function<void()> onEnd)
      : ui_(ui), onLine_(std::move(onLine)), onEnd_(std::move(onEnd)), thread_([this] { run(); }) {}
  ~LineReader() {
    stop_ = true;
    thread_.join();
  }
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

 private:
  void run() {
    std::string pending;
    char buffer[4096];
    while (!stop_) {
      pollfd p{STDIN_FILENO, POLLIN, 0};
      const int ready = ::poll(&p, 1, 100);
      if (ready < 0 && errno == EINTR) continue;
      if (ready == 0) continue;
      const ssize_t n = ready < 0 ? -1 : ::read(STDIN_FILENO, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        if (!pending.empty()) ui_.post(onLine_);  // a last line without its LF
        ui_.post(onEnd_);
        return;
      }
      pending.append(buffer, static_cast<size_t>(n));
      for (size_t lf; (lf = pending.find('\n')) != std::string::npos;) {
        pending.erase(0, lf + 1);
        ui_.post(onLine_);
      }
    }
  }

  ConsoleUiHost& ui_;
  std::function<void()> onLine_;
  std::function<void()> onEnd_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

int parsePasteOptions(const Command& command, const std::vector<std::string>& args, PasteOptions& o,
                      std::vector<std::string>& meterArgs) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--by-return-key") {
      o.byReturnKey = true;
      continue;
    }
    if (args[i] == "--use-record-setting") {
      o.useRecordSetting = true;
      continue;
    }
    std::string value;
    bool used = false;
    for (const char* name : {"--interval", "--count", "--file", "--settings"}) {
      const OptionMatch m = matchOption(args, i, name, value);
      if (m == OptionMatch::No) continue;
      if (m == OptionMatch::MissingValue) return usageError(command, std::string("option '") + name + "' needs a value");
      const std::string n = name;
      long long number = 0;
      if (n == "--interval") {
        std::vector<std::string> allowed;
        for (const int32_t s : kCaptureIntervals) allowed.push_back(std::to_string(s));
        const std::optional<int> index = wordIndex(value, allowed);
        if (!index)
          return usageError(command,
                            "option '--interval' takes one of 1 2 5 10 20 30 60 120 300 600 1200 1800 3600 seconds");
        o.intervalIndex = *index;
      }
      if (n == "--count") {
        if (!parseNumber(value, 1, 0x7FFFFFFF, number))
          return usageError(command, "option '--count' takes a number of rows, at least 1");
        o.count = number;
      }
      if (n == "--file") o.file = value;
      if (n == "--settings") o.settingsFile = value;
      used = true;
      break;
    }
    if (!used) meterArgs.push_back(args[i]);
  }
  if (o.intervalIndex.has_value() == o.byReturnKey)
    return usageError(command, "give one of '--interval' and '--by-return-key'");
  if (o.useRecordSetting && o.byReturnKey)
    return usageError(command, "'--use-record-setting' applies to '--interval' only");
  return ExitOk;
}

int runPaste(const Command& command, const std::vector<std::string>& args) {
  PasteOptions o;
  std::vector<std::string> meterArgs;
  if (int status = parsePasteOptions(command, args, o, meterArgs); status != ExitOk) return status;
  bool languageGiven = false;
  for (const std::string& a : meterArgs) languageGiven = languageGiven || a.rfind("--lang", 0) == 0;
  MeterOptions meterOptions;
  if (int status = parseMeterOptions(command, meterArgs, false, meterOptions); status != ExitOk) return status;

  const AppSettings settings = loadProgramSettings(o.settingsFile);
  const int settingsLanguage = languageTable().language();
  if (prepareMeterPort(command, meterOptions) == 0) return ExitFailed;
  if (!languageGiven) FillLanguageTable(settingsLanguage);
  installStopSignals();

  ConsoleUiHost ui;
  MeterSession session;
  int rowsDone = 0;     // captures handed to the spreadsheet
  int rowsWritten = 0;
  bool refused = false;
  PasteHooks pasteHooks;
  pasteHooks.meterConnected = [&] { return session.meterConnected != 0; };
  pasteHooks.recordingRunning = [] { return false; };
  PasteCapture* pastePtr = nullptr;
  pasteHooks.rowDone = [&](RowWrite result) {
    ++rowsDone;
    if (result == RowWrite::Refused) refused = true;
    if (result != RowWrite::Written) return;
    ++rowsWritten;
    std::cout << pastePtr->counters().rowNumber << std::endl;
    if (o.count && rowsWritten >= *o.count && pastePtr->captureRunning()) pastePtr->stopCapture();
  };
  PasteCapture paste(makeUnoSheetOffice(), ui, languageTable(), session.handOver, systemRecordClock(), pasteHooks);
  pastePtr = &paste;
  paste.setRecordSettings(recordSettingsOf(settings));
  paste.initialise(PasteSettings{o.byReturnKey ? 1 : 0, o.useRecordSetting ? 1 : 0, o.intervalIndex.value_or(0)});

  bool commError = false;
  MonitorHooks hooks;
  hooks.stopRecordingThreads = [&] {
    commError = true;
    paste.stopCapture();
  };
  hooks.disconnected = [&] { paste.onMonitorStopped(); };
  MonitorControl control(ui, session, std::move(hooks));
  control.startUp(false);

  // Connect as the Monitor button does; this always runs to its end.
  if (!connectMonitor(ui, control, session)) return ExitFailed;
  // The first row must carry a reading, not the empty hand-over area.
  ui.runUntil([&] { return !session.meterConnected || session.block.statusInvalid() == 0; });

  bool linked = false;
  if (session.meterConnected && !stopRequested()) {
    linked = paste.onOpen(o.file.empty() ? OpenMode::NewOrRunning : OpenMode::ChooseFile, o.file);
  }
  const auto enough = [&] { return o.count && rowsWritten >= *o.count; };
  bool inputEnded = false;
  int linesRead = 0;
  if (linked && !o.byReturnKey) {
    paste.onByInterval();
    paste.onUseRecordSetting(o.useRecordSetting);
    if (o.intervalIndex) paste.onIntervalSelected(*o.intervalIndex);
    paste.onStartStop();
    ui.runUntil([&] { return !paste.captureRunning(); });
    if (paste.captureRunning()) paste.stopCapture();  // interrupted
  } else if (linked) {
    paste.onByReturnKey();
    {
      LineReader reader(
          ui,
          [&] {
            if (enough() || !paste.sheetConnected()) return;
            ++linesRead;
            paste.onEnterKey(false);
          },
          [&] { inputEnded = true; });
      ui.runUntil([&] {
        return enough() || !paste.sheetConnected() || !session.meterConnected || (inputEnded && rowsDone >= linesRead);
      });
    }
  }
  ui.runUntil([] { return true; }, false);  // what the stop posted
  const bool sheetGone = linked && !paste.sheetConnected();

  if (session.meterConnected) {
    stopMonitor(ui, control, session);  // as Stop Monitor: ":SYST:GTL"
  }
  if (!linked || sheetGone || commError) return ExitFailed;
  return refused ? ExitFileError : ExitOk;
}

const Command kPasteCommand{
    "paste",
    "write measured values into a spreadsheet, one row per capture",
    "Usage: lumetrevisor-cli paste --port DEVICE (--interval SECONDS | --by-return-key)\n"
    "                             [--count N] [--use-record-setting] [--file PATH]\n"
    "                             [--lang en|ja] [--settings FILE]\n"
    "\n"
    "Connects to the meter as the Monitor button does and links the spreadsheet\n"
    "(the running LibreOffice's current document, else a new one; the office is\n"
    "started when none runs). Each capture writes one row of seven cells at the\n"
    "cell cursor: number, date, time, range, value, unit, OVER. The number of each\n"
    "written row is printed.\n"
    "  --interval SECONDS   capture at this interval, the first within the second\n"
    "                       after the start: 1 2 5 10 20 30 60 120 300 600 1200\n"
    "                       1800 3600\n"
    "  --by-return-key      capture once for each line read from standard input\n"
    "  --count N            stop after N captures\n"
    "  --use-record-setting take the interval and the end from the record settings\n"
    "                       of the settings file (data count or record time)\n"
    "  --file PATH          link this spreadsheet file instead\n"
    "  --port DEVICE        the meter's serial port or a simulated meter's terminal\n"
    "  --settings FILE      the settings file to use (default: the program's)\n"
    "  --lang en|ja         language of the messages (default: the program's)\n"
    "The capture also ends at the end of input, on Ctrl+C, and when the spreadsheet\n"
    "goes away. The office's pipe is named by LUMETREVISOR_OFFICE_PIPE.\n"
    "\n"
    "Exit status: 0 done, 1 a row was refused (no room at the cell cursor), 2 usage\n"
    "error, 3 no meter, no spreadsheet, the spreadsheet went away or the connection\n"
    "to the meter failed.\n",
    {}};

const CommandRegistration kRegistration{[] {
  Command command = kPasteCommand;
  command.run = [](const std::vector<std::string>& args) { return runPaste(kPasteCommand, args); };
  return command;
}()};

}  // namespace
}  // namespace lmv::cli
