// lumetrevisor-cli settings: shows what the program would take from a
// settings file.
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "base/paths.h"
#include "base/settings.h"
#include "command.h"

namespace lmv::cli {
namespace {

// One line per value: line breaks and other control characters inside a
// text are written as C escapes, and so is the backslash.
std::string escapeText(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
          char hex[5];
          std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
          out += hex;
        } else {
          out += c;
        }
    }
  }
  return out;
}

void printSettings(std::ostream& out, const SettingsReadResult& read, const AppSettings& settings) {
  out << "settingsLoaded=" << (read.settingsLoaded ? 1 : 0) << "\n";
  out << "settingsFromOtherVersion=" << (read.settingsFromOtherVersion ? 1 : 0) << "\n";
  forEachSettingsField(settings, [&](const char* name, const auto& value) {
    using T = std::decay_t<decltype(value)>;
    out << name << "=";
    if constexpr (std::is_same_v<T, IntRect>) {
      out << value.left << "," << value.top << "," << value.right << "," << value.bottom;
    } else if constexpr (std::is_same_v<T, std::string>) {
      out << escapeText(value);
    } else {
      out << value;
    }
    out << "\n";
  });
}

std::optional<std::string> whyDefaults(SettingsReadOutcome outcome) {
  switch (outcome) {
    case SettingsReadOutcome::Missing: return "does not exist";
    case SettingsReadOutcome::Empty: return "is empty";
    case SettingsReadOutcome::VersionRejected: return "has a format version this program cannot read";
    case SettingsReadOutcome::Truncated: return "ends before its last setting";
    case SettingsReadOutcome::Loaded:
    case SettingsReadOutcome::FileError: break;
  }
  return std::nullopt;
}

int runSettings(const Command& command, const std::vector<std::string>& args) {
  std::optional<std::string> file;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--file") {
      if (i + 1 >= args.size()) return usageError(command, "option '--file' needs a path");
      file = args[++i];
    } else if (arg.rfind("--file=", 0) == 0) {
      file = arg.substr(7);
    } else {
      return usageError(command, "unexpected argument '" + arg + "'");
    }
    if (file && file->empty()) return usageError(command, "option '--file' needs a path");
  }

  // Only looks: the data directory is not created here.
  const std::string dataDir = dataDirectory(currentPathEnvironment(), false);
  const std::string path = file.value_or(settingsFilePath(dataDir));

  const SettingsReadResult read = readSettings(path);
  if (read.outcome == SettingsReadOutcome::FileError) {
    std::cerr << "lumetrevisor-cli settings: " << read.error << "\n";
    return ExitFileError;
  }
  AppSettings settings = read.settings;
  if (!read.settingsLoaded) {
    std::cerr << "lumetrevisor-cli settings: '" << path << "' " << whyDefaults(read.outcome).value_or("")
              << "; showing the defaults\n";
    applyStartupDefaults(settings, std::nullopt, dataDir);
  }
  printSettings(std::cout, read, settings);
  std::cout.flush();
  return std::cout ? ExitOk : ExitFileError;
}

const Command kSettingsCommand{
    "settings",
    "show the settings stored in a settings file",
    "Usage: lumetrevisor-cli settings [--file PATH]\n"
    "\n"
    "Reads a settings file (default: LX5810appli.ini in the data directory) and\n"
    "prints, one per line as name=value:\n"
    "  settingsLoaded            1 if the file was accepted\n"
    "  settingsFromOtherVersion  1 if it carries another format version\n"
    "  the 41 settings in file order (windowRect as left,top,right,bottom;\n"
    "  texts in UTF-8, with backslash, line breaks and other control\n"
    "  characters written as \\\\, \\n, \\r, \\t, \\xHH).\n"
    "\n"
    "A missing, empty, cut-short or rejected file prints the values the program\n"
    "would start with (currentPort as with no port found).\n"
    "\n"
    "Options:\n"
    "  --file PATH  the settings file to read\n"
    "  --help       show this help\n"
    "\n"
    "Exit status: 0 success, 1 file error, 2 usage error.\n",
    {}};

const CommandRegistration kRegistration{[] {
  Command command = kSettingsCommand;
  command.run = [](const std::vector<std::string>& args) { return runSettings(kSettingsCommand, args); };
  return command;
}()};

}  // namespace
}  // namespace lmv::cli
