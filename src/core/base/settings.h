#pragma once
// The settings file "LX5810appli.ini": the 41 persisted settings in the
// archive encoding, read once at start-up and written once at exit.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/archive.h"
#include "base/file_io.h"

namespace lmv {

inline constexpr char kSettingsFormatVersionText[] = "1.10";
inline constexpr int32_t kSettingsFormatVersionNumber = 11000;

// Field order is file order. Defaults are those of a first start; the
// start-up defaults that depend on the machine (port, data directory) are
// applied by applyStartupDefaults.
struct AppSettings {
  std::string formatVersionText = kSettingsFormatVersionText;
  int32_t formatVersionNumber = kSettingsFormatVersionNumber;
  IntRect windowRect;
  int32_t language = 1;
  int32_t currentPort = 1000;
  int32_t modelIndex = 0;
  int32_t currentBaud = 19200;
  int32_t baudIndex = 1;
  int32_t autoConnect = 1;
  int32_t intervalMode = 0;
  int32_t totalMode = 0;
  int32_t fastIntervalIndex = 0;
  int32_t timeDisplayMode = 0;
  int32_t intervalHours = 0;
  int32_t intervalMinutes = 0;
  int32_t intervalSeconds = 1;
  int32_t dataCount = 1048576;
  int32_t recordHours = 99;
  int32_t recordMinutes = 99;
  int32_t recordSeconds = 99;
  int32_t companyOn = 1;
  std::string companyText;
  int32_t titleOn = 1;
  std::string titleText;
  int32_t operatorOn = 1;
  std::string operatorText;
  int32_t dateOn = 1;
  std::string dateText;
  int32_t tempHumidOn = 1;
  std::string temperatureText;
  std::string humidityText;
  int32_t memoOn = 1;
  std::string memoText;
  int32_t dateMode = 0;
  int32_t decimalSymbol = 0;
  int32_t listSeparator = 0;
  std::string memoryFolder;
  std::string memoryFileName;
  int32_t pasteMode = 1;
  int32_t pasteUseRecordSetting = 0;
  int32_t pasteIntervalIndex = 0;

  bool operator==(const AppSettings&) const = default;
};

inline constexpr int kSettingsFieldCount = 41;

// Calls visit(name, field) for every field in file order; field is an
// int32_t, std::string or IntRect (const when settings is const).
template <typename Settings, typename Visitor>
void forEachSettingsField(Settings& s, Visitor&& visit) {
  visit("formatVersionText", s.formatVersionText);
  visit("formatVersionNumber", s.formatVersionNumber);
  visit("windowRect", s.windowRect);
  visit("language", s.language);
  visit("currentPort", s.currentPort);
  visit("modelIndex", s.modelIndex);
  visit("currentBaud", s.currentBaud);
  visit("baudIndex", s.baudIndex);
  visit("autoConnect", s.autoConnect);
  visit("intervalMode", s.intervalMode);
  visit("totalMode", s.totalMode);
  visit("fastIntervalIndex", s.fastIntervalIndex);
  visit("timeDisplayMode", s.timeDisplayMode);
  visit("intervalHours", s.intervalHours);
  visit("intervalMinutes", s.intervalMinutes);
  visit("intervalSeconds", s.intervalSeconds);
  visit("dataCount", s.dataCount);
  visit("recordHours", s.recordHours);
  visit("recordMinutes", s.recordMinutes);
  visit("recordSeconds", s.recordSeconds);
  visit("companyOn", s.companyOn);
  visit("companyText", s.companyText);
  visit("titleOn", s.titleOn);
  visit("titleText", s.titleText);
  visit("operatorOn", s.operatorOn);
  visit("operatorText", s.operatorText);
  visit("dateOn", s.dateOn);
  visit("dateText", s.dateText);
  visit("tempHumidOn", s.tempHumidOn);
  visit("temperatureText", s.temperatureText);
  visit("humidityText", s.humidityText);
  visit("memoOn", s.memoOn);
  visit("memoText", s.memoText);
  visit("dateMode", s.dateMode);
  visit("decimalSymbol", s.decimalSymbol);
  visit("listSeparator", s.listSeparator);
  visit("memoryFolder", s.memoryFolder);
  visit("memoryFileName", s.memoryFileName);
  visit("pasteMode", s.pasteMode);
  visit("pasteUseRecordSetting", s.pasteUseRecordSetting);
  visit("pasteIntervalIndex", s.pasteIntervalIndex);
}

enum class SettingsReadOutcome {
  Loaded,
  Missing,          // no such file
  Empty,            // 0 bytes
  VersionRejected,  // another format version the program cannot take
  Truncated,        // ends before the last field
  FileError,        // exists but cannot be read (permissions, not a file)
};

struct SettingsReadResult {
  SettingsReadOutcome outcome = SettingsReadOutcome::Missing;
  bool settingsLoaded = false;
  bool settingsFromOtherVersion = false;
  // The values read when loaded; otherwise all defaults, nothing of the file.
  AppSettings settings;
  std::string error;  // for FileError
};

SettingsReadResult decodeSettings(std::span<const uint8_t> bytes);
SettingsReadResult readSettings(const std::string& path);

// Always carries version "1.10" / 11000, whatever settings holds.
std::vector<uint8_t> encodeSettings(const AppSettings& settings);

enum class SettingsWriteOutcome {
  Written,
  SkippedMinimised,      // the window rectangle would be meaningless
  DataDirectoryMissing,  // shown as the "System Error" box
  WriteFailed,           // error says why; the previous file is unchanged
};

struct SettingsWriteResult {
  SettingsWriteOutcome outcome = SettingsWriteOutcome::WriteFailed;
  std::string error;
};

struct SettingsWriteOptions {
  bool windowMinimised = false;
  WriteFunction writeFunction;  // tests only: replaces write(2)
};

// Writes the file at path (in the data directory, which must exist). The
// caller has taken the window rectangle into settings.windowRect.
SettingsWriteResult writeSettings(const std::string& path, const AppSettings& settings,
                                  const SettingsWriteOptions& options = {});

// Resets settings to the first-start values: construction defaults, the
// port of the first port found (1000 when none) and the data directory as
// the memory-download folder.
void applyStartupDefaults(AppSettings& settings, std::optional<int32_t> firstPort,
                          const std::string& dataDirectory);

// hours * 3600 + minutes * 60 + seconds, kept within int32 for any stored values.
int32_t intervalTotalSeconds(int32_t hours, int32_t minutes, int32_t seconds);
int32_t intervalTotalSeconds(const AppSettings& settings);

}  // namespace lmv
