// lumetrevisor-cli record: connects to the meter, records with the program's
// record timing until the stop condition (or an interrupt, which acts as the
// Stop button), writes the record file and optionally the CSV export, and
// returns the meter to local operation.
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "base/charset.h"
#include "base/file_io.h"
#include "app/monitor_control.h"
#include "ui/monitor_controls.h"
#include "cli_options.h"
#include "command.h"
#include "files/record_file.h"
#include "files/record_file_io.h"
#include "files/journal_lock.h"
#include "files/record_journal.h"
#include "meter_session_cli.h"
#include "output_files.h"
#include "program_settings.h"
#include "record/record_clock.h"
#include "record/recording.h"
#include "ui/language_table.h"

namespace lmv::cli {
namespace {

constexpr int kMaxDataCount = 1048576;
constexpr int kMaxFastTenths = 100;

struct RecordOptions {
  std::string out;
  std::string csv;
  std::optional<long long> count;
  std::optional<std::string> time;
  std::optional<std::string> interval;
  std::optional<long long> fastTenths;
  std::string settingsFile;
  std::string recover;
};

// The rest of the main window, for the recording: the live settings and the
// connected meter.
class CliRecordEnvironment final : public RecordEnvironment {
 public:
  CliRecordEnvironment(const AppSettings& settings, MeterSession& session) : settings_(settings), session_(session) {}
  RecordSettings recordSettings() const override { return recordSettingsOf(settings_); }
  RecordHeader recordHeader() const override { return recordHeaderOf(settings_); }
  bool statusInvalid() const override { return session_.block.statusInvalid() != 0; }
  bool meterConnected() const override { return session_.meterConnected != 0; }
  MeterIdentity connectedMeter() const override { return session_.identity(); }
  bool captureRunning() const override { return false; }
  std::string languageText(int entry) const override { return languageTable().text(entry); }
  void memoryMenuState(int) override {}
  void fileMenuState(int, int) override {}

 private:
  const AppSettings& settings_;
  MeterSession& session_;
};

// One line per sample as the record list shows it: number, time, value and
// unit, OVER.
class SamplePrinter final : public RecordPageObserver {
 public:
  SamplePrinter(const RecordPageModel& model, const RecordStore& store) : model_(model), store_(store) {}
  void rowsReset() override {}
  void rowAppended(int row) override {
    const RecordRow& r = model_.rows()[static_cast<size_t>(row)];
    std::string line = std::to_string(store_.state.recordCount) + "\t" + r.timeText + "\t" + r.valueText;
    if (!r.overText.empty()) line += "\t" + r.overText;
    std::cout << utf8ToLocale(line) << std::endl;
  }
  void rowRemoved(int) override {}
  void selectionChanged(int) override {}

 private:
  const RecordPageModel& model_;
  const RecordStore& store_;
};

// The record settings after the options, checked as the settings dialog
// checks them; false (after the message) when they cannot be used.
bool applyRecordOptions(const Command& command, const RecordOptions& o, AppSettings& s) {
  const LanguageTable& texts = languageTable();
  if (o.count) {
    s.totalMode = 0;
    s.dataCount = static_cast<int32_t>(*o.count);
  } else if (!parseHms(*o.time, s.recordHours, s.recordMinutes, s.recordSeconds)) {
    usageError(command, "option '--time' takes H:M:S, each 0..99");
    return false;
  } else {
    s.totalMode = 1;
  }
  if (o.interval) {
    if (!parseHms(*o.interval, s.intervalHours, s.intervalMinutes, s.intervalSeconds)) {
      usageError(command, "option '--interval' takes H:M:S, each 0..99");
      return false;
    }
    s.intervalMode = 0;
  } else if (o.fastTenths) {
    s.intervalMode = 1;
    s.fastIntervalIndex = static_cast<int32_t>(*o.fastTenths - 1);
  }
  const int32_t interval = intervalTotalSeconds(s.intervalHours, s.intervalMinutes, s.intervalSeconds);
  if (interval == 0) {
    if (s.intervalMode == 0) {
      printMessage(texts.text(TextIntervalAtLeastOneSecond));
      return false;
    }
    s.intervalSeconds = 1;
  }
  const int32_t n = intervalTotalSeconds(s.intervalHours, s.intervalMinutes, s.intervalSeconds);
  if (intervalTotalSeconds(s.recordHours, s.recordMinutes, s.recordSeconds) < n) {
    if (s.totalMode == 1) {
      printMessage(texts.text(TextRecordTimeTooShort));
      return false;
    }
    s.recordHours = s.intervalHours;
    s.recordMinutes = s.intervalMinutes;
    s.recordSeconds = s.intervalSeconds;
  }
  return true;
}

void fileError(const Command& command, const std::string& message) {
  std::cerr << "lumetrevisor-cli " << command.name << ": " << message << "\n";
}

// Another running program (the desktop program, another record) keeps the
// journal of these settings: nothing here may write or remove it.
std::string journalBusyText(const std::string& journalPath) {
  return "another running program keeps the recording journal '" + journalPath +
         "': record when it has ended, or give another settings file with '--settings'";
}

// --recover: the journal of a recording that did not end normally becomes
// the record file (and its CSV export); the journal goes once the file is
// written.
int recoverRecording(const Command& command, const RecordOptions& o, std::optional<int> language) {
  AppSettings settings = loadProgramSettings(o.settingsFile);
  if (language) FillLanguageTable(*language);
  const std::string journalPath = programJournalPath(o.settingsFile);
  const JournalLock lock(journalPath);
  if (!lock.held()) {
    fileError(command, journalBusyText(journalPath));
    return ExitFileError;
  }
  JournalFileRecovery found = readJournalFile(journalPath);
  if (!found.found) {
    fileError(command, "no recording journal is waiting in '" + journalPath + "'");
    return ExitFileError;
  }
  if (!found.error.empty()) {
    fileError(command, found.error);
    return ExitFileError;
  }
  if (found.recovery.outcome != JournalOutcome::Recovered) {
    fileError(command, "'" + journalPath + "' is not a recording journal; it is left as it is");
    return ExitFileError;
  }
  for (const std::string& file : {o.recover, o.csv}) {
    if (file.empty()) continue;
    if (const std::string refusal = fileWriteRefusal(file); !refusal.empty()) {
      fileError(command, "cannot write '" + file + "': " + refusal);
      return ExitFileError;
    }
  }

  ConsoleUiHost ui;
  RecordStore store;
  GraphState graph;
  const MeterIdentity meter = found.recovery.contents.identity;
  const std::string message = journalRecoveredMessage(found.recovery, languageTable().language());
  applyRecoveredRecords(std::move(found.recovery.contents), {settings, store, graph});
  const RecordFileTargets live{settings, store, graph};
  if (!writeRecordFile(o.recover, live, meter, ui, languageTable())) return ExitFileError;
  std::cout << utf8ToLocale(message) << std::endl;
  std::cout << "Wrote " << store.records.size() << " records to " << o.recover << std::endl;
  int status = ExitOk;
  if (!o.csv.empty()) {
    if (exportRecordCsv(o.csv, store, settings, meter, ui, languageTable())) {
      std::cout << "Wrote " << o.csv << std::endl;
    } else {
      status = ExitFileError;
    }
  }
  if (::unlink(journalPath.c_str()) != 0) fileError(command, "cannot remove '" + journalPath + "'");
  return status;
}

int runRecord(const Command& command, const std::vector<std::string>& args) {
  RecordOptions o;
  bool languageGiven = false;
  std::vector<std::string> meterArgs;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string value;
    bool used = false;
    for (const char* name : {"--out", "--csv", "--count", "--time", "--interval", "--fast", "--settings", "--recover"}) {
      const OptionMatch m = matchOption(args, i, name, value);
      if (m == OptionMatch::No) continue;
      if (m == OptionMatch::MissingValue) return usageError(command, std::string("option '") + name + "' needs a value");
      const std::string n = name;
      long long number = 0;
      if (n == "--out") o.out = value;
      if (n == "--csv") o.csv = value;
      if (n == "--settings") o.settingsFile = value;
      if (n == "--recover") o.recover = value;
      if (n == "--time") o.time = value;
      if (n == "--interval") o.interval = value;
      if (n == "--count") {
        if (!parseNumber(value, 1, kMaxDataCount, number))
          return usageError(command, "option '--count' takes a number of samples, 1.." + std::to_string(kMaxDataCount));
        o.count = number;
      }
      if (n == "--fast") {
        if (!parseNumber(value, 1, kMaxFastTenths, number))
          return usageError(command, "option '--fast' takes tenths of a second, 1.." + std::to_string(kMaxFastTenths));
        o.fastTenths = number;
      }
      used = true;
      break;
    }
    if (used) continue;
    languageGiven = languageGiven || args[i].rfind("--lang", 0) == 0;
    meterArgs.push_back(args[i]);
  }
  if (!o.recover.empty()) {
    if (!o.out.empty() || o.count || o.time || o.interval || o.fastTenths)
      return usageError(command, "option '--recover' takes no recording options");
    MeterOptions languageOnly;
    if (int status = parseMeterOptions(command, meterArgs, false, languageOnly); status != ExitOk) return status;
    if (!languageOnly.port.empty()) return usageError(command, "option '--recover' takes no '--port'");
    return recoverRecording(command, o, languageGiven ? std::optional<int>(languageOnly.language) : std::nullopt);
  }
  MeterOptions meterOptions;
  if (int status = parseMeterOptions(command, meterArgs, false, meterOptions); status != ExitOk) return status;
  if (o.out.empty()) return usageError(command, "option '--out' is required");
  if (o.count.has_value() == o.time.has_value()) return usageError(command, "give one of '--count' and '--time'");
  if (o.interval && o.fastTenths) return usageError(command, "give only one of '--interval' and '--fast'");

  AppSettings settings = loadProgramSettings(o.settingsFile);
  const int settingsLanguage = languageTable().language();
  if (!applyRecordOptions(command, o, settings)) return ExitUsage;
  if (int status = refuseOverlappingFiles(command, {{"--out", o.out}, {"--csv", o.csv}},
                                          {{"the settings file", programSettingsPath(o.settingsFile)}});
      status != ExitOk)
    return status;
  // A new recording would take the journal's place: what it holds is
  // recovered (or removed) first.
  const std::string journalPath = programJournalPath(o.settingsFile);
  JournalLock journalLock(journalPath);
  if (!journalLock.held()) {
    fileError(command, journalBusyText(journalPath));
    return ExitFileError;
  }
  if (readJournalFile(journalPath).found) {
    printMessage(journalWaitingMessage(languageTable().language()));
    fileError(command, "the journal of a recording that did not end normally is waiting in '" + journalPath +
                           "': recover it with 'lumetrevisor-cli record --recover FILE.lxrd'");
    return ExitFileError;
  }
  // Found out now rather than after the recording.
  for (const std::string& file : {o.out, o.csv}) {
    if (file.empty()) continue;
    if (const std::string refusal = fileWriteRefusal(file); !refusal.empty()) {
      std::cerr << "lumetrevisor-cli " << command.name << ": cannot write '" << file << "': " << refusal << "\n";
      return ExitFileError;
    }
  }
  if (prepareMeterPort(command, meterOptions) == 0) return ExitFailed;
  if (!languageGiven) FillLanguageTable(settingsLanguage);
  installStopSignals();

  ConsoleUiHost ui;
  MeterSession session;
  CliRecordEnvironment env(settings, session);
  std::atomic<int32_t> recordingFlag{0};
  std::atomic<int32_t> startPending{0};
  std::optional<RecordJournal> journal;  // outlives the recording's use of it
  Recording recording(ui, session.handOver, systemRecordClock(), env, recordingFlag, startPending);
  journal.emplace(std::move(journalLock), settings, recording);
  recording.setJournal(&*journal);
  recording.initialise(PixelRect{0, 0, 400, 300});
  // The graph's scale and time span are saved in the record file; its
  // picture is never shown here.
  recording.graph().setUnseen(true);
  recording.graph().setGraphIntervalSeconds(intervalTotalSeconds(settings));
  SamplePrinter printer(recording.list().model(), recording.store());
  recording.list().model().setObserver(&printer);
  session.setRecordingHooks({[&] { return recordingFlag.load() != 0; }, [&] { recording.stop(); }});

  bool commError = false;
  MonitorHooks hooks;
  hooks.stopRecordingThreads = [&] {
    commError = true;
    recording.stopTimer();
  };
  hooks.connected = [&](const MeterIdentity& meter) { recording.onMeterConnected(meter); };
  hooks.disconnected = [&] { recording.onMeterDisconnected(); };
  MonitorControl control(ui, session, std::move(hooks));
  control.startUp(false);

  // Connect as the Monitor button does; this always runs to its end.
  if (!connectMonitor(ui, control, session)) return ExitFailed;
  // Start does nothing until the meter has delivered a valid status.
  ui.runUntil([&] { return !session.meterConnected || session.block.statusInvalid() == 0; });

  if (session.meterConnected && !stopRequested()) {
    recording.onStart();
    ui.runUntil([&] { return !recording.isRecording(); });
    if (recording.isRecording()) recording.onStop();  // interrupted: as the Stop button
    ui.runUntil([] { return true; }, false);          // what the stop posted
  }

  if (const std::string problem = journal->error(); !problem.empty())
    fileError(command, "the recording journal could not be kept: " + problem);
  int status = commError ? ExitFailed : ExitOk;
  if (recording.store().state.recordCount > 0 || !commError) {
    const RecordFileTargets live{settings, recording.store(), recording.graph().state()};
    if (writeRecordFile(o.out, live, session.identity(), ui, languageTable())) {
      std::cout << "Wrote " << recording.store().records.size() << " records to " << o.out << std::endl;
      journal->discard();
    } else {
      status = ExitFileError;
      // The samples cannot be taken again: keep them somewhere, in a file of
      // a fresh name that no one else could have prepared.
      const char* tmp = std::getenv("TMPDIR");
      if (const auto rescue = writeRescueRecordFile(tmp && *tmp ? tmp : "/tmp", live, session.identity())) {
        std::cerr << "lumetrevisor-cli " << command.name << ": the records were written to " << *rescue << "\n";
        journal->discard();
      }
    }
    if (!o.csv.empty()) {
      if (!exportRecordCsv(o.csv, recording.store(), settings, session.identity(), ui, languageTable())) {
        status = ExitFileError;
      } else {
        std::cout << "Wrote " << o.csv << std::endl;
      }
    }
  }

  if (session.meterConnected) {
    stopMonitor(ui, control, session);  // as Stop Monitor: ":SYST:GTL"
  }
  return status;
}

const Command kRecordCommand{
    "record",
    "record from the meter into a record file (and a CSV file)",
    "Usage: lumetrevisor-cli record --port DEVICE --out FILE.lxrd (--count N | --time H:M:S)\n"
    "                              [--interval H:M:S | --fast TENTHS] [--csv FILE.csv]\n"
    "                              [--lang en|ja] [--settings FILE]\n"
    "       lumetrevisor-cli record --recover FILE.lxrd [--csv FILE.csv] [--settings FILE]\n"
    "\n"
    "Connects to the meter as the Monitor button does, records as the Start\n"
    "button does until the stop condition, writes the record file (and the CSV\n"
    "export), and returns the meter to local operation (\":SYST:GTL\"). Each\n"
    "sample prints one line, tab-separated: number, time, value and unit, OVER.\n"
    "Ctrl+C (SIGINT or SIGTERM) stops the recording as the Stop button does; the\n"
    "files are still written.\n"
    "\n"
    "The record header, CSV symbols, time display mode and the interval come from\n"
    "the program's settings file; the options override them:\n"
    "  --count N          stop after N samples (1..1048576)\n"
    "  --time H:M:S       stop after this record time (each part 0..99)\n"
    "  --interval H:M:S   normal interval, at least one second\n"
    "  --fast TENTHS      fast interval of TENTHS x 100 ms (1..100)\n"
    "  --out FILE.lxrd    the record file to write\n"
    "  --csv FILE.csv     also write the CSV export\n"
    "  --port DEVICE      the meter's serial port or a simulated meter's terminal\n"
    "  --settings FILE    the settings file to start from (default: the program's)\n"
    "  --lang en|ja       language of the messages and CSV words (default: the program's)\n"
    "\n"
    "A file that cannot be written is reported before the recording starts; if\n"
    "FILE.lxrd still cannot be written at the end, the records go to a new file\n"
    "$TMPDIR/lumetrevisor-record-XXXXXX.lxrd (named on stderr). --out, --csv and\n"
    "the settings file must be different files.\n"
    "\n"
    "Every sample also goes to a journal beside the settings file\n"
    "(LX5810record.journal), flushed to disk at least once a second; it is removed\n"
    "once the record file is written. A journal left by a recording that did not\n"
    "end normally (killed, crashed, power cut) is told of at the next start, which\n"
    "records nothing until it is recovered:\n"
    "  --recover FILE.lxrd  write the journal's records (every whole record, also\n"
    "                       of a damaged journal) to FILE.lxrd and remove it\n"
    "While another program (the desktop program, another record) runs with the\n"
    "same journal, record and --recover leave it alone and exit 1.\n"
    "\n"
    "Exit status: 0 recorded and written, 1 a file could not be written, 2 usage\n"
    "error, 3 no meter, or the connection failed during the recording (what was\n"
    "recorded is still written).\n",
    {}};

const CommandRegistration kRegistration{[] {
  Command command = kRecordCommand;
  command.run = [](const std::vector<std::string>& args) { return runRecord(kRecordCommand, args); };
  return command;
}()};

}  // namespace
}  // namespace lmv::cli
