#include "base/settings.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <utility>

namespace lmv {
namespace {

struct FieldReader {
  ArchiveReader& reader;
  void operator()(const char*, int32_t& value) const { value = reader.readInt32(); }
  void operator()(const char*, std::string& value) const { value = reader.readText(); }
  void operator()(const char*, IntRect& value) const { value = reader.readRect(); }
};

struct FieldWriter {
  ArchiveWriter& writer;
  void operator()(const char*, const int32_t& value) const { writer.writeInt32(value); }
  void operator()(const char*, const std::string& value) const { writer.writeText(value); }
  void operator()(const char*, const IntRect& value) const { writer.writeRect(value); }
};

std::string parentDirectory(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

SettingsReadResult decodeSettings(std::span<const uint8_t> bytes) {
  SettingsReadResult result;
  if (bytes.empty()) {
    result.outcome = SettingsReadOutcome::Empty;
    return result;
  }
  ArchiveReader reader(bytes);
  AppSettings read;
  read.formatVersionText = reader.readText();
  read.formatVersionNumber = reader.readInt32();
  if (reader.failed()) {
    result.outcome = SettingsReadOutcome::Truncated;
    return result;
  }
  // The number only matters when the text differs: it tells whether an
  // older format (which shares this layout) or a newer one wrote the file.
  if (read.formatVersionText != kSettingsFormatVersionText) {
    result.settingsFromOtherVersion = true;
    if (read.formatVersionNumber < 0 || read.formatVersionNumber > kSettingsFormatVersionNumber) {
      result.outcome = SettingsReadOutcome::VersionRejected;
      return result;
    }
  }

  // Fields 3 to 41 into a copy, so that a file cut short leaves nothing of
  // itself behind.
  int index = 0;
  const FieldReader readField{reader};
  forEachSettingsField(read, [&](const char* name, auto& field) {
    if (index++ >= 2) readField(name, field);
  });
  if (reader.failed()) {
    result.outcome = SettingsReadOutcome::Truncated;
    return result;
  }
  result.outcome = SettingsReadOutcome::Loaded;
  result.settingsLoaded = true;
  result.settings = std::move(read);
  return result;
}

SettingsReadResult readSettings(const std::string& path) {
  FileReadResult file = readFileBytes(path);
  if (file.status == FileReadResult::Status::Missing) {
    SettingsReadResult result;
    result.outcome = SettingsReadOutcome::Missing;
    return result;
  }
  if (file.status == FileReadResult::Status::Error) {
    SettingsReadResult result;
    result.outcome = SettingsReadOutcome::FileError;
    result.error = std::move(file.error);
    return result;
  }
  return decodeSettings(file.bytes);
}

std::vector<uint8_t> encodeSettings(const AppSettings& settings) {
  AppSettings current = settings;
  current.formatVersionText = kSettingsFormatVersionText;
  current.formatVersionNumber = kSettingsFormatVersionNumber;
  ArchiveWriter writer;
  const FieldWriter write{writer};
  forEachSettingsField(std::as_const(current), [&](const char* name, const auto& field) { write(name, field); });
  return writer.takeBytes();
}

SettingsWriteResult writeSettings(const std::string& path, const AppSettings& settings,
                                  const SettingsWriteOptions& options) {
  SettingsWriteResult result;
  if (options.windowMinimised) {
    result.outcome = SettingsWriteOutcome::SkippedMinimised;
    return result;
  }
  const std::string directory = parentDirectory(path);
  struct stat st {};
  if (::stat(directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    result.outcome = SettingsWriteOutcome::DataDirectoryMissing;
    result.error = "data directory '" + directory + "' does not exist";
    return result;
  }
  const std::vector<uint8_t> bytes = encodeSettings(settings);
  const FileWriteResult written = writeFileAtomically(path, bytes, options.writeFunction);
  if (!written.ok) {
    result.outcome = SettingsWriteOutcome::WriteFailed;
    result.error = written.error;
    return result;
  }
  result.outcome = SettingsWriteOutcome::Written;
  return result;
}

void applyStartupDefaults(AppSettings& settings, std::optional<int32_t> firstPort,
                          const std::string& dataDirectory) {
  settings = AppSettings{};
  settings.language = 1;
  settings.currentPort = firstPort.value_or(1000);
  settings.baudIndex = 1;
  settings.currentBaud = 19200;
  settings.pasteMode = 1;
  settings.modelIndex = 0;
  settings.memoryFolder = dataDirectory;
  settings.memoryFileName.clear();
}

int32_t intervalTotalSeconds(int32_t hours, int32_t minutes, int32_t seconds) {
  // The file does not check ranges; a hostile file must not overflow.
  const int64_t total = int64_t{hours} * 3600 + int64_t{minutes} * 60 + seconds;
  return static_cast<int32_t>(std::clamp<int64_t>(total, INT32_MIN, INT32_MAX));
}

int32_t intervalTotalSeconds(const AppSettings& settings) {
  return intervalTotalSeconds(settings.intervalHours, settings.intervalMinutes, settings.intervalSeconds);
}

}  // namespace lmv
