// lumetrevisor-cli export: a record file as CSV, as File > Open followed by
// File > Save as CSV file.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "cli_options.h"
#include "command.h"
#include "meter_session_cli.h"
#include "output_files.h"
#include "files/record_file_io.h"
#include "program_settings.h"
#include "ui/language_table.h"

namespace lmv::cli {
namespace {

struct ExportOptions {
  std::string recordFile;
  std::string csvFile;
  std::optional<int32_t> decimalSymbol;
  std::optional<int32_t> listSeparator;
  std::optional<int32_t> timeDisplayMode;
  std::optional<int> language;
  std::string settingsFile;
  bool overwrite = false;
};

struct Choice {
  const char* name;
  std::vector<std::string> words;  // index = the setting's value
  std::optional<int32_t> ExportOptions::*target;
};

int runExport(const Command& command, const std::vector<std::string>& args) {
  ExportOptions options;
  std::optional<int32_t> language;
  const Choice choices[] = {
      {"--decimal", {"period", "comma"}, &ExportOptions::decimalSymbol},
      {"--separator", {"comma", "semicolon"}, &ExportOptions::listSeparator},
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string value;
    bool done = false;
    for (const Choice& c : choices) {
      const OptionMatch m = matchOption(args, i, c.name, value);
      if (m == OptionMatch::No) continue;
      const auto index = wordIndex(value, c.words);
      if (m == OptionMatch::MissingValue || !index)
        return usageError(command, std::string("option '") + c.name + "' takes " + c.words[0] + " or " + c.words[1]);
      options.*c.target = *index;
      done = true;
      break;
    }
    if (done) continue;
    OptionMatch m = matchOption(args, i, "--lang", value);
    if (m != OptionMatch::No) {
      const auto index = wordIndex(value, {"ja", "en"});
      if (m == OptionMatch::MissingValue || !index) return usageError(command, "option '--lang' takes en or ja");
      options.language = *index;
      continue;
    }
    m = matchOption(args, i, "--settings", value);
    if (m == OptionMatch::MissingValue) return usageError(command, "option '--settings' needs a path");
    if (m == OptionMatch::Yes) {
      options.settingsFile = value;
      continue;
    }
    m = matchOption(args, i, "--csv", value);
    if (m == OptionMatch::MissingValue) return usageError(command, "option '--csv' needs a path");
    if (m == OptionMatch::Yes) {
      options.csvFile = value;
    } else if (arg == "--overwrite") {
      options.overwrite = true;
    } else if (arg == "--relative") {
      options.timeDisplayMode = 1;
    } else if (arg == "--absolute") {
      options.timeDisplayMode = 0;
    } else if (!arg.empty() && arg[0] != '-' && options.recordFile.empty()) {
      options.recordFile = arg;
    } else {
      return usageError(command, "unexpected argument '" + arg + "'");
    }
  }
  if (options.recordFile.empty()) return usageError(command, "no record file given");
  if (options.csvFile.empty()) return usageError(command, "option '--csv' is required");
  if (int status = refuseOverlappingFiles(command, {{"--csv", options.csvFile}},
                                          {{"the record file", options.recordFile},
                                           {"the settings file", programSettingsPath(options.settingsFile)}});
      status != ExitOk)
    return status;
  struct stat existing {};
  if (!options.overwrite && ::lstat(options.csvFile.c_str(), &existing) == 0) {
    std::cerr << "lumetrevisor-cli " << command.name << ": " << options.csvFile
              << " is kept; give --overwrite to replace it\n";
    return ExitFileError;
  }

  AppSettings settings = loadProgramSettings(options.settingsFile);
  if (options.language) FillLanguageTable(*options.language);
  ConsoleUiHost ui;
  RecordStore store;
  GraphState graph;
  // As File > Open: the file's header, symbols and time display mode become
  // the values the export uses; the options then override them.
  if (!readRecordFile(options.recordFile, {settings, store, graph}, ui, languageTable())) return ExitFileError;
  if (options.decimalSymbol) settings.decimalSymbol = *options.decimalSymbol;
  if (options.listSeparator) settings.listSeparator = *options.listSeparator;
  if (options.timeDisplayMode) settings.timeDisplayMode = *options.timeDisplayMode;
  if (!exportRecordCsv(options.csvFile, store, settings, MeterIdentity{}, ui, languageTable())) return ExitFileError;
  std::cout << "Wrote " << store.records.size() << " records to " << options.csvFile << "\n";
  return ExitOk;
}

const Command kExportCommand{
    "export",
    "write a record file (.lxrd) as a CSV file",
    "Usage: lumetrevisor-cli export FILE.lxrd --csv OUT.csv [--overwrite] [--decimal period|comma]\n"
    "                              [--separator comma|semicolon] [--relative|--absolute]\n"
    "                              [--lang en|ja] [--settings FILE]\n"
    "\n"
    "Opens the record file as File > Open does (its record header, CSV symbols and\n"
    "time display mode become the values in use) and writes the CSV export as\n"
    "File > Save as CSV file does. The options override the file's values:\n"
    "  --overwrite   replace OUT.csv if it exists (otherwise it is kept)\n"
    "  --decimal     decimal symbol, period (.) or comma (,)\n"
    "  --separator   list separator, comma (,) or semicolon (;)\n"
    "  --relative    times relative to the first record, with a Base Time line\n"
    "  --absolute    real-time clock dates and times\n"
    "  --lang        language of the header words (default: the program's)\n"
    "  --settings    the settings file to start from (default: the program's)\n"
    "\n"
    "The CSV file is in the locale's character set with CR LF line ends; an\n"
    "existing file is replaced only with --overwrite and only by a complete\n"
    "export, and never when it is the record file or the settings file. A\n"
    "record file that is refused prints the program's message and exits with\n"
    "status 1; an existing OUT.csv without --overwrite exits with status 1 too.\n",
    {}};

const CommandRegistration kRegistration{[] {
  Command command = kExportCommand;
  command.run = [](const std::vector<std::string>& args) { return runExport(kExportCommand, args); };
  return command;
}()};

}  // namespace
}  // namespace lmv::cli
