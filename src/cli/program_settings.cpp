#include "program_settings.h"

#include <charconv>

#include "base/paths.h"
#include "files/record_journal.h"
#include "record/time_text.h"
#include "ui/language_choice.h"
#include "ui/language_table.h"

namespace lmv::cli {

AppSettings loadProgramSettings(const std::string& path) {
  const PathEnvironment environment = currentPathEnvironment();
  const std::string dataDir = dataDirectory(environment, false);
  const SettingsReadResult read = readSettings(path.empty() ? settingsFilePath(dataDir) : path);
  AppSettings settings = read.settings;
  if (!read.settingsLoaded) applyStartupDefaults(settings, std::nullopt, dataDir);
  // As at the program's start: an automatic date is today's.
  if (settings.dateMode == 0) settings.dateText = todayDateText();
  FillLanguageTable(chooseStartupLanguage(read.settingsLoaded, read.settingsFromOtherVersion, settings.language,
                                          programFilesDirectory(environment)));
  return settings;
}

std::string programSettingsPath(const std::string& path) {
  return path.empty() ? settingsFilePath(dataDirectory(currentPathEnvironment(), false)) : path;
}

std::string programJournalPath(const std::string& settingsPath) {
  if (settingsPath.empty()) return journalFilePath(dataDirectory(currentPathEnvironment(), true));
  const size_t slash = settingsPath.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "" : settingsPath.substr(0, slash));
  return journalFilePath(folder);
}

bool parseNumber(const std::string& text, long long low, long long high, long long& out) {
  long long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return false;
  if (value < low || value > high) return false;
  out = value;
  return true;
}

bool parseHms(const std::string& text, int32_t& hours, int32_t& minutes, int32_t& seconds) {
  const size_t first = text.find(':');
  const size_t second = first == std::string::npos ? std::string::npos : text.find(':', first + 1);
  if (second == std::string::npos || text.find(':', second + 1) != std::string::npos) return false;
  long long h = 0, m = 0, s = 0;
  if (!parseNumber(text.substr(0, first), 0, 99, h) || !parseNumber(text.substr(first + 1, second - first - 1), 0, 99, m) ||
      !parseNumber(text.substr(second + 1), 0, 99, s))
    return false;
  hours = static_cast<int32_t>(h);
  minutes = static_cast<int32_t>(m);
  seconds = static_cast<int32_t>(s);
  return true;
}

}  // namespace lmv::cli
