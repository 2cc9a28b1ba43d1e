#include "ui/language_choice.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "ui/language_table.h"

namespace lmv {
namespace {

namespace fs = std::filesystem;

// A program directory of its own, with or without Languages/lang.txt.
class ProgramDirectory {
 public:
  ProgramDirectory() {
    std::string pattern = (fs::temp_directory_path() / "lmv-lang-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~ProgramDirectory() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ProgramDirectory(const ProgramDirectory&) = delete;
  ProgramDirectory& operator=(const ProgramDirectory&) = delete;

  const fs::path& path() const { return path_; }
  void writeLangFile(std::string_view bytes) const {
    fs::create_directories(path_ / "Languages");
    std::ofstream out(languageFilePath(path_), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good());
  }
  // A directory where the file should be: exists, but does not read.
  void makeLangFileUnreadable() const { fs::create_directories(languageFilePath(path_)); }

 private:
  fs::path path_;
};

TEST(LanguageFile, LivesInLanguagesBesideTheProgram) {
  EXPECT_EQ(languageFilePath("/opt/lumetrevisor/bin"), fs::path("/opt/lumetrevisor/bin/Languages/lang.txt"));
}

struct FileCase {
  const char* name;
  std::optional<std::string_view> content;  // nothing: no file
  std::optional<int> expected;
};

class LanguageFileContent : public ::testing::TestWithParam<FileCase> {};

TEST_P(LanguageFileContent, ChoosesJapaneseOnlyForTheExactFirstLine) {
  ProgramDirectory dir;
  if (GetParam().content) dir.writeLangFile(*GetParam().content);
  EXPECT_EQ(readLanguageFile(languageFilePath(dir.path())), GetParam().expected);
}

using namespace std::string_view_literals;

INSTANTIATE_TEST_SUITE_P(
    Cases, LanguageFileContent,
    ::testing::Values(FileCase{"Missing", std::nullopt, std::nullopt},
                      FileCase{"Japanese", "Japanese"sv, 0},
                      FileCase{"JapaneseLf", "Japanese\n"sv, 0},
                      FileCase{"JapaneseCrLf", "Japanese\r\n"sv, 0},
                      FileCase{"JapaneseThenMoreLines", "Japanese\r\nEnglish\r\n"sv, 0},
                      FileCase{"LowerCase", "japanese"sv, 1},
                      FileCase{"LeadingBlank", " Japanese"sv, 1},
                      FileCase{"TrailingBlank", "Japanese "sv, 1},
                      FileCase{"TrailingBlankCrLf", "Japanese \r\n"sv, 1},
                      FileCase{"LoneCr", "Japanese\r"sv, 1},
                      FileCase{"LongerWord", "Japanese2"sv, 1},
                      FileCase{"English", "English\n"sv, 1},
                      FileCase{"Prefix", "Japan"sv, 1},
                      FileCase{"SecondLine", "\nJapanese"sv, 1},
                      FileCase{"Nul", "Japanese\0"sv, 1},
                      FileCase{"Empty", ""sv, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LanguageFile, UnreadableFileChoosesNothing) {
  ProgramDirectory dir;
  dir.makeLangFileUnreadable();
  EXPECT_EQ(readLanguageFile(languageFilePath(dir.path())), std::nullopt);
}

struct StartCase {
  const char* name;
  bool settingsLoaded;
  bool fromOtherVersion;
  int stored;
  std::optional<std::string_view> langFile;  // nothing: no file
  int expected;
};

class StartupLanguage : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartupLanguage, FollowsSettingsThenLangFileThenMenuRule) {
  const StartCase& c = GetParam();
  ProgramDirectory dir;
  if (c.langFile) dir.writeLangFile(*c.langFile);
  EXPECT_EQ(chooseStartupLanguage(c.settingsLoaded, c.fromOtherVersion, c.stored, dir.path()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartupLanguage,
    ::testing::Values(
        // First start: English unless lang.txt says Japanese; the stored code means nothing.
        StartCase{"NoSettingsNoFile", false, false, 0, std::nullopt, 1},
        StartCase{"NoSettingsJapanese", false, false, 1, "Japanese"sv, 0},
        StartCase{"NoSettingsJapaneseCrLf", false, false, 1, "Japanese\r\n"sv, 0},
        StartCase{"NoSettingsLowerCase", false, false, 0, "japanese"sv, 1},
        StartCase{"NoSettingsLeadingBlank", false, false, 0, " Japanese"sv, 1},
        StartCase{"NoSettingsEmptyFile", false, false, 0, ""sv, 1},
        // Settings of this version decide alone.
        StartCase{"CurrentSettingsIgnoreJapaneseFile", true, false, 1, "Japanese"sv, 1},
        StartCase{"CurrentSettingsIgnoreEnglishFile", true, false, 0, "English"sv, 0},
        StartCase{"CurrentSettingsNoFile", true, false, 0, std::nullopt, 0},
        // Settings of another version: the file overrides, its absence keeps the stored code.
        StartCase{"OtherVersionJapaneseFile", true, true, 1, "Japanese"sv, 0},
        StartCase{"OtherVersionEnglishFile", true, true, 0, "English"sv, 1},
        StartCase{"OtherVersionNoFile", true, true, 0, std::nullopt, 0},
        // Codes outside the menu become Japanese.
        StartCase{"StoredFive", true, false, 5, std::nullopt, 0},
        StartCase{"StoredTwo", true, false, 2, "English"sv, 0},
        StartCase{"StoredNegative", true, false, -1, std::nullopt, 0},
        StartCase{"OtherVersionStoredFiveNoFile", true, true, 5, std::nullopt, 0},
        StartCase{"OtherVersionStoredFiveEnglishFile", true, true, 5, "English"sv, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartupLanguage, UnreadableFileKeepsTheCodeSoFar) {
  ProgramDirectory dir;
  dir.makeLangFileUnreadable();
  EXPECT_EQ(chooseStartupLanguage(false, false, 0, dir.path()), kLanguageEnglish);
  EXPECT_EQ(chooseStartupLanguage(true, true, 0, dir.path()), kLanguageJapanese);
}

}  // namespace
}  // namespace lmv
