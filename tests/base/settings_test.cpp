#include "base/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <type_traits>
#include <vector>

#include "test_files.h"

namespace lmv {
namespace {

using Bytes = std::vector<uint8_t>;

// Every field different from its default (texts with non-ASCII and one
// longer than 254 units).
AppSettings distinctSettings() {
  AppSettings s;
  s.formatVersionText = "9.99";  // replaced by the writer
  s.formatVersionNumber = 99900;
  s.windowRect = {-1200, 35, -737, 406};
  s.language = 0;
  s.currentPort = 7;
  s.modelIndex = 1;
  s.currentBaud = 9600;
  s.baudIndex = 0;
  s.autoConnect = 0;
  s.intervalMode = 1;
  s.totalMode = 1;
  s.fastIntervalIndex = 4;
  s.timeDisplayMode = 1;
  s.intervalHours = 2;
  s.intervalMinutes = 30;
  s.intervalSeconds = 15;
  s.dataCount = 500;
  s.recordHours = 12;
  s.recordMinutes = 0;
  s.recordSeconds = 5;
  s.companyOn = 0;
  s.companyText = "TAVEK \xE6\xA0\xAA\xE5\xBC\x8F\xE4\xBC\x9A\xE7\xA4\xBE";
  s.titleOn = 0;
  s.titleText = "Hall B lighting";
  s.operatorOn = 0;
  s.operatorText = "Jos\xC3\xA9";
  s.dateOn = 0;
  s.dateText = "2024/03/01";
  s.tempHumidOn = 0;
  s.temperatureText = "23.5\xE2\x84\x83";
  s.humidityText = "45%";
  s.memoOn = 0;
  s.memoText = std::string(300, 'm') + "\nsecond line";
  s.dateMode = 1;
  s.decimalSymbol = 1;
  s.listSeparator = 1;
  s.memoryFolder = "/home/user/meter data";
  s.memoryFileName = "hall-b";
  s.pasteMode = 0;
  s.pasteUseRecordSetting = 1;
  s.pasteIntervalIndex = 3;
  return s;
}

// A settings file with the given version fields and the rest from settings.
Bytes fileWithVersion(const std::string& versionText, int32_t versionNumber, const AppSettings& settings) {
  ArchiveWriter w;
  w.writeText(versionText);
  w.writeInt32(versionNumber);
  Bytes bytes = w.takeBytes();
  const Bytes rest = encodeSettings(settings);
  bytes.insert(bytes.end(), rest.begin() + 16, rest.end());  // after "1.10" and 11000
  return bytes;
}

std::vector<std::string> fieldTexts(const AppSettings& settings) {
  std::vector<std::string> out;
  forEachSettingsField(settings, [&](const char*, const auto& value) {
    using T = std::decay_t<decltype(value)>;
    if constexpr (std::is_same_v<T, std::string>) {
      out.push_back(value);
    } else if constexpr (std::is_same_v<T, IntRect>) {
      out.push_back(std::to_string(value.left) + "," + std::to_string(value.top) + "," +
                    std::to_string(value.right) + "," + std::to_string(value.bottom));
    } else {
      out.push_back(std::to_string(value));
    }
  });
  return out;
}

AppSettings withVersion(AppSettings s, const std::string& text, int32_t number) {
  s.formatVersionText = text;
  s.formatVersionNumber = number;
  return s;
}

class SettingsFile : public testing::Test {
 protected:
  std::string path() const { return dir_.file("LX5810appli.ini"); }
  test::TempDir dir_;
};

TEST_F(SettingsFile, DefaultsAreThoseOfAFirstStart) {
  const AppSettings s;
  EXPECT_EQ(s.formatVersionText, "1.10");
  EXPECT_EQ(s.formatVersionNumber, 11000);
  EXPECT_EQ(s.language, 1);
  EXPECT_EQ(s.currentBaud, 19200);
  EXPECT_EQ(s.baudIndex, 1);
  EXPECT_EQ(s.autoConnect, 1);
  EXPECT_EQ(s.intervalSeconds, 1);
  EXPECT_EQ(s.dataCount, 1048576);
  EXPECT_EQ(s.recordHours, 99);
  EXPECT_EQ(s.recordMinutes, 99);
  EXPECT_EQ(s.recordSeconds, 99);
  EXPECT_EQ(s.companyOn + s.titleOn + s.operatorOn + s.dateOn + s.tempHumidOn + s.memoOn, 6);
  EXPECT_EQ(s.pasteMode, 1);
  EXPECT_EQ(s.pasteUseRecordSetting + s.pasteIntervalIndex + s.dateMode + s.decimalSymbol + s.listSeparator, 0);
  int count = 0;
  forEachSettingsField(s, [&](const char*, const auto&) { ++count; });
  EXPECT_EQ(count, kSettingsFieldCount);
}

TEST_F(SettingsFile, WriteThenReadGivesAll41Values) {
  const AppSettings written = distinctSettings();
  ASSERT_EQ(writeSettings(path(), written).outcome, SettingsWriteOutcome::Written);

  const SettingsReadResult read = readSettings(path());
  EXPECT_EQ(read.outcome, SettingsReadOutcome::Loaded);
  EXPECT_TRUE(read.settingsLoaded);
  EXPECT_FALSE(read.settingsFromOtherVersion);
  EXPECT_EQ(read.settings, withVersion(written, "1.10", 11000));

  // The sample really differs from the defaults in every field.
  const std::vector<std::string> defaults = fieldTexts(AppSettings{});
  const std::vector<std::string> sample = fieldTexts(written);
  ASSERT_EQ(sample.size(), static_cast<size_t>(kSettingsFieldCount));
  for (size_t i = 0; i < sample.size(); ++i) EXPECT_NE(sample[i], defaults[i]) << "field " << i + 1;
}

TEST_F(SettingsFile, LayoutAndSize) {
  ASSERT_EQ(writeSettings(path(), AppSettings{}).outcome, SettingsWriteOutcome::Written);
  const Bytes bytes = test::fileBytes(path());
  ASSERT_EQ(bytes.size(), 184u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 16),
            (Bytes{0xFF, 0xFE, 0xFF, 0x04, 0x31, 0x00, 0x2E, 0x00, 0x31, 0x00, 0x30, 0x00, 0xF8, 0x2A, 0x00, 0x00}));
  EXPECT_EQ(Bytes(bytes.end() - 4, bytes.end()), (Bytes{0, 0, 0, 0}));  // pasteIntervalIndex

  // 2 bytes per character, 2 more for a text beyond 254 characters.
  AppSettings s;
  s.titleText = "abc";
  s.memoText = std::string(255, 'x');
  EXPECT_EQ(encodeSettings(s).size(), 184u + 2 * 3 + 2 * 255 + 2);
}

struct VersionCase {
  const char* text;
  int32_t number;
  bool loaded;
  bool fromOtherVersion;
};

class SettingsVersion : public SettingsFile, public testing::WithParamInterface<VersionCase> {};

TEST_P(SettingsVersion, DecidesAcceptance) {
  const VersionCase& c = GetParam();
  test::writeFileBytes(path(), fileWithVersion(c.text, c.number, distinctSettings()));
  const SettingsReadResult read = readSettings(path());
  EXPECT_EQ(read.settingsLoaded, c.loaded);
  EXPECT_EQ(read.settingsFromOtherVersion, c.fromOtherVersion);
  if (c.loaded) {
    EXPECT_EQ(read.outcome, SettingsReadOutcome::Loaded);
    EXPECT_EQ(read.settings, withVersion(distinctSettings(), c.text, c.number));
  } else {
    EXPECT_EQ(read.outcome, SettingsReadOutcome::VersionRejected);
    EXPECT_EQ(read.settings, AppSettings{});
  }
}

INSTANTIATE_TEST_SUITE_P(Settings, SettingsVersion,
                         testing::Values(VersionCase{"1.10", 11000, true, false},
                                         VersionCase{"1.00", 10000, true, true},
                                         VersionCase{"1.00", 0, true, true},
                                         VersionCase{"1.00", 11000, true, true},
                                         VersionCase{"", 11000, true, true},
                                         VersionCase{"1.10", 99999, true, false},
                                         VersionCase{"1.10", -5, true, false},
                                         VersionCase{"2.00", 20000, false, true},
                                         VersionCase{"1.00", 11001, false, true},
                                         VersionCase{"1.00", -1, false, true},
                                         VersionCase{"1.1", 11000, true, true}));

TEST_F(SettingsFile, MissingEmptyAndUnreadableFiles) {
  SettingsReadResult read = readSettings(path());
  EXPECT_EQ(read.outcome, SettingsReadOutcome::Missing);
  EXPECT_FALSE(read.settingsLoaded);

  test::writeFileBytes(path(), {});
  read = readSettings(path());
  EXPECT_EQ(read.outcome, SettingsReadOutcome::Empty);
  EXPECT_FALSE(read.settingsLoaded);
  EXPECT_FALSE(read.settingsFromOtherVersion);
  EXPECT_EQ(read.settings, AppSettings{});

  read = readSettings(dir_.path());  // a directory in place of the file
  EXPECT_EQ(read.outcome, SettingsReadOutcome::FileError);
  EXPECT_NE(read.error.find(dir_.path()), std::string::npos);
  EXPECT_FALSE(read.settingsLoaded);
}

TEST_F(SettingsFile, AFileCutShortAnywhereGivesOnlyDefaults) {
  const Bytes full = encodeSettings(distinctSettings());
  for (size_t cut = 1; cut < full.size(); ++cut) {
    const SettingsReadResult read = decodeSettings(std::span<const uint8_t>(full.data(), cut));
    ASSERT_EQ(read.outcome, SettingsReadOutcome::Truncated) << "cut at " << cut;
    EXPECT_FALSE(read.settingsLoaded);
    EXPECT_FALSE(read.settingsFromOtherVersion);
    ASSERT_EQ(read.settings, AppSettings{}) << "cut at " << cut;
  }
  // Bytes after the last field are ignored.
  Bytes longer = full;
  longer.insert(longer.end(), {1, 2, 3});
  EXPECT_TRUE(decodeSettings(longer).settingsLoaded);
}

TEST_F(SettingsFile, OlderFileCutShortKeepsItsVersionVerdict) {
  const Bytes bytes = fileWithVersion("1.00", 10000, distinctSettings());
  const SettingsReadResult read = decodeSettings(std::span<const uint8_t>(bytes.data(), bytes.size() - 1));
  EXPECT_EQ(read.outcome, SettingsReadOutcome::Truncated);
  EXPECT_FALSE(read.settingsLoaded);
  EXPECT_TRUE(read.settingsFromOtherVersion);
  EXPECT_EQ(read.settings, AppSettings{});
}

TEST_F(SettingsFile, ReadsTheNarrowTextForm) {
  test::LocaleScope locale("C.UTF-8");
  ASSERT_TRUE(locale.ok());
  // Built by hand: every text without the UTF-16 marker.
  ArchiveWriter w;
  Bytes bytes{0x04, '1', '.', '1', '0'};
  const AppSettings expected = [] {
    AppSettings s = distinctSettings();
    s.formatVersionText = "1.10";
    s.formatVersionNumber = 11000;
    s.memoText = "narrow memo";
    return s;
  }();
  bool first = true;
  forEachSettingsField(expected, [&](const char*, const auto& value) {
    using T = std::decay_t<decltype(value)>;
    if (first) {  // the version text, written above
      first = false;
      return;
    }
    if constexpr (std::is_same_v<T, std::string>) {
      bytes.push_back(static_cast<uint8_t>(value.size()));
      bytes.insert(bytes.end(), value.begin(), value.end());
    } else if constexpr (std::is_same_v<T, IntRect>) {
      w.writeRect(value);
    } else {
      w.writeInt32(value);
    }
    bytes.insert(bytes.end(), w.bytes().begin(), w.bytes().end());
    w = ArchiveWriter{};
  });
  test::writeFileBytes(path(), bytes);
  const SettingsReadResult read = readSettings(path());
  ASSERT_EQ(read.outcome, SettingsReadOutcome::Loaded);
  EXPECT_FALSE(read.settingsFromOtherVersion);
  EXPECT_EQ(read.settings, expected);
}

TEST_F(SettingsFile, MinimisedWindowWritesNothing) {
  ASSERT_EQ(writeSettings(path(), distinctSettings()).outcome, SettingsWriteOutcome::Written);
  const Bytes before = test::fileBytes(path());
  SettingsWriteOptions options;
  options.windowMinimised = true;
  EXPECT_EQ(writeSettings(path(), AppSettings{}, options).outcome, SettingsWriteOutcome::SkippedMinimised);
  EXPECT_EQ(test::fileBytes(path()), before);
}

TEST_F(SettingsFile, MissingDataDirectoryIsReported) {
  const std::string missing = dir_.file("gone/LX5810appli.ini");
  const SettingsWriteResult result = writeSettings(missing, AppSettings{});
  EXPECT_EQ(result.outcome, SettingsWriteOutcome::DataDirectoryMissing);
  EXPECT_FALSE(std::filesystem::exists(dir_.file("gone")));
}

TEST_F(SettingsFile, FailedWriteKeepsThePreviousFile) {
  ASSERT_EQ(writeSettings(path(), distinctSettings()).outcome, SettingsWriteOutcome::Written);
  const Bytes before = test::fileBytes(path());

  SettingsWriteOptions options;
  int calls = 0;
  options.writeFunction = [&](int fd, const void* data, size_t size) -> ssize_t {
    if (++calls == 1) return ::write(fd, data, size / 2);  // half, then the disk is full
    errno = ENOSPC;
    return -1;
  };
  const SettingsWriteResult result = writeSettings(path(), AppSettings{}, options);
  EXPECT_EQ(result.outcome, SettingsWriteOutcome::WriteFailed);
  EXPECT_NE(result.error.find("No space left on device"), std::string::npos) << result.error;
  EXPECT_NE(result.error.find(path()), std::string::npos) << result.error;
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(test::fileBytes(path()), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), std::filesystem::directory_iterator()),
            1) << "the temporary file must be removed";
}

TEST_F(SettingsFile, AReadOnlyFileIsNotReplaced) {
  ASSERT_EQ(writeSettings(path(), distinctSettings()).outcome, SettingsWriteOutcome::Written);
  const Bytes before = test::fileBytes(path());
  ASSERT_EQ(::chmod(path().c_str(), 0444), 0);
  // Refused by its mode alone, so also when the tests run as root.
  const SettingsWriteResult result = writeSettings(path(), AppSettings{});
  EXPECT_EQ(result.outcome, SettingsWriteOutcome::WriteFailed);
  EXPECT_EQ(result.error, "cannot write '" + path() + "': Permission denied");
  EXPECT_EQ(test::fileBytes(path()), before);
  EXPECT_EQ(std::filesystem::status(path()).permissions(), std::filesystem::perms(0444));
}

TEST(StartupDefaults, FirstStartValues) {
  AppSettings s = distinctSettings();
  applyStartupDefaults(s, 3, "/data/dir");
  AppSettings expected;
  expected.currentPort = 3;
  expected.memoryFolder = "/data/dir";
  EXPECT_EQ(s, expected);
  EXPECT_EQ(s.language, 1);
  EXPECT_EQ(s.baudIndex, 1);
  EXPECT_EQ(s.currentBaud, 19200);
  EXPECT_EQ(s.pasteMode, 1);
  EXPECT_EQ(s.modelIndex, 0);
  EXPECT_EQ(s.memoryFileName, "");
  EXPECT_EQ(intervalTotalSeconds(s), 1);  // the graph's interval after a first start

  applyStartupDefaults(s, std::nullopt, "/data/dir");
  EXPECT_EQ(s.currentPort, 1000);
}

TEST(StartupDefaults, IntervalSeconds) {
  EXPECT_EQ(intervalTotalSeconds(0, 0, 1), 1);
  EXPECT_EQ(intervalTotalSeconds(2, 30, 15), 9015);
  EXPECT_EQ(intervalTotalSeconds(99, 99, 99), 362439);
  EXPECT_EQ(intervalTotalSeconds(INT32_MAX, INT32_MAX, INT32_MAX), INT32_MAX);  // hostile file
  EXPECT_EQ(intervalTotalSeconds(INT32_MIN, 0, 0), INT32_MIN);
  EXPECT_EQ(intervalTotalSeconds(distinctSettings()), 9015);
}

}  // namespace
}  // namespace lmv
