// The install of this build into a staging directory, and the files made for
// it: desktop entry, AppStream metadata, icons and manual pages.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli_run.h"
#include "install_paths.h"
#include "test_files.h"

namespace lmv::test {
namespace {

namespace fs = std::filesystem;

const std::string kPrefix = LMV_INSTALL_TEST_PREFIX;
const std::string kBinDir = kPrefix + "/" LMV_INSTALL_TEST_BINDIR;
const std::string kDataDir = kPrefix + "/" LMV_INSTALL_TEST_DATADIR;
const std::string kManDir = kPrefix + "/" LMV_INSTALL_TEST_MANDIR "/man1";
const std::string kFilesDir = kPrefix + "/" LMV_INSTALL_TEST_FILESDIR;
const std::string kAppId = LMV_APP_ID;
const std::string kDesktopEntry = LMV_PACKAGING_BINARY_DIR "/" LMV_APP_ID ".desktop";
const std::string kMetainfo = LMV_PACKAGING_BINARY_DIR "/" LMV_APP_ID ".metainfo.xml";

std::vector<std::string> programs() {
  std::vector<std::string> names = {"lumetrevisor-cli", "lumetrevisor-sim"};
  if (kHaveDesktopProgram) names.insert(names.begin(), "lumetrevisor");
  return names;
}

const char kNoDesktopProgram[] =
    "the desktop program lumetrevisor is not built in this tree: its desktop entry, icons, metadata, manual "
    "page, Pictures and Manuals are not installed and not checked";

// One install of this build per test program, into a private staging tree.
class StagedInstall : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<TempDir>();
    const ShellRun run = runShell("DESTDIR=" + shellQuoted(stage()) + " " + shellQuoted(LMV_CMAKE_COMMAND) +
                                  " --install " + shellQuoted(LMV_BINARY_DIR));
    installStatus_ = run.exitCode;
    installOutput_ = run.out;
  }
  static void TearDownTestSuite() { dir_.reset(); }
  void SetUp() override { ASSERT_EQ(installStatus_, 0) << installOutput_; }

  static std::string stage() { return dir_->file("stage"); }
  static std::string staged(const std::string& path) { return stage() + path; }

  static void expectFile(const std::string& path) {
    EXPECT_TRUE(fs::is_regular_file(staged(path))) << path << " is not installed";
  }
  static void expectProgram(const std::string& path) {
    struct stat st {};
    ASSERT_EQ(::stat(staged(path).c_str(), &st), 0) << path << " is not installed";
    EXPECT_TRUE(S_ISREG(st.st_mode) && (st.st_mode & 0111) == 0111) << path << " is not an executable for all";
  }
  static void expectFolderWithFiles(const std::string& path) {
    ASSERT_TRUE(fs::is_directory(staged(path))) << path << " is not installed";
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(staged(path))) files += entry.is_regular_file();
    EXPECT_GT(files, 0u) << path << " is empty";
  }

  static std::unique_ptr<TempDir> dir_;
  static int installStatus_;
  static std::string installOutput_;
};

std::unique_ptr<TempDir> StagedInstall::dir_;
int StagedInstall::installStatus_ = -1;
std::string StagedInstall::installOutput_;

TEST_F(StagedInstall, HoldsTheProgramsTheirManualPagesCompletionUdevRuleAndFiles) {
  for (const auto& program : programs()) {
    expectProgram(kBinDir + "/" + program);
    expectFile(kManDir + "/" + program + ".1.gz");
    EXPECT_EQ(runShell("gzip -t " + shellQuoted(staged(kManDir + "/" + program + ".1.gz"))).exitCode, 0);
  }
  expectFile(kDataDir + "/bash-completion/completions/lumetrevisor-cli");
  EXPECT_EQ(wholeFile(staged(kDataDir + "/bash-completion/completions/lumetrevisor-cli")),
            wholeFile(LMV_PACKAGING_BINARY_DIR "/completion/lumetrevisor-cli"));

  expectFile(LMV_UDEV_RULES_DIR "/70-lumetrevisor.rules");
  EXPECT_EQ(wholeFile(staged(LMV_UDEV_RULES_DIR "/70-lumetrevisor.rules")),
            wholeFile(LMV_PACKAGING_SOURCE_DIR "/udev/70-lumetrevisor.rules"));

  expectFile(kFilesDir + "/Languages/lang.txt");
  const std::string language = wholeFile(staged(kFilesDir + "/Languages/lang.txt"));
  EXPECT_TRUE(language == "English\n" || language == "Japanese\n") << language;

  expectFile(kDataDir + "/doc/lumetrevisor/copyright");
  expectFile(kDataDir + "/doc/lumetrevisor/changelog.Debian.gz");
  expectFile(kDataDir + "/lintian/overrides/lumetrevisor");
}

TEST_F(StagedInstall, HoldsTheDesktopProgramsEntryIconsMetadataPicturesAndManuals) {
  const std::string desktopEntry = kDataDir + "/applications/" + kAppId + ".desktop";
  const std::string metainfo = kDataDir + "/metainfo/" + kAppId + ".metainfo.xml";
  const std::string hicolor = kDataDir + "/icons/hicolor";
  if (!kHaveDesktopProgram) {
    // No launcher of a program that is not there.
    EXPECT_FALSE(fs::exists(staged(desktopEntry)));
    EXPECT_FALSE(fs::exists(staged(metainfo)));
    EXPECT_FALSE(fs::exists(staged(hicolor)));
    GTEST_SKIP() << kNoDesktopProgram;
  }
  expectFile(desktopEntry);
  EXPECT_EQ(wholeFile(staged(desktopEntry)), wholeFile(kDesktopEntry));
  expectFile(metainfo);
  EXPECT_EQ(wholeFile(staged(metainfo)), wholeFile(kMetainfo));
  for (const int size : iconSizes()) {
    const std::string dims = std::to_string(size) + "x" + std::to_string(size);
    expectFile(hicolor + "/" + dims + "/apps/" + kAppId + ".png");
  }
  expectFile(hicolor + "/scalable/apps/" + kAppId + ".svg");
  expectFolderWithFiles(kFilesDir + "/Pictures");
  expectFolderWithFiles(kFilesDir + "/Manuals");
}

// The installed program reads Languages/lang.txt from its install's files
// folder (and keeps its settings in the user's configuration folder).
TEST_F(StagedInstall, ProgramFindsItsFilesInItsOwnInstall) {
  const std::string langFile = staged(kFilesDir + "/Languages/lang.txt");
  const std::string shipped = wholeFile(langFile);
  const std::string command = "cd " + shellQuoted(dir_->path()) + " && HOME=" + shellQuoted(dir_->file("home")) +
                              " XDG_CONFIG_HOME=" + shellQuoted(dir_->file("config")) + " LC_ALL=C.UTF-8 " +
                              shellQuoted(staged(kBinDir + "/lumetrevisor-cli")) +
                              " export missing.lxrd --csv out.csv";
  const struct {
    const char* language;
    const char* message;
  } cases[] = {{"Japanese\n", "ファイル missing.lxrd を読み込めません。"},
               {"English\n", "Can not read the file missing.lxrd."}};
  for (const auto& c : cases) {
    writeFileBytes(langFile, std::vector<uint8_t>(c.language, c.language + std::string(c.language).size()));
    const ShellRun run = runShell(command);
    EXPECT_EQ(run.exitCode, 1) << run.out;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << c.language << run.out;
  }
  writeFileBytes(langFile, std::vector<uint8_t>(shipped.begin(), shipped.end()));
  EXPECT_FALSE(fs::exists(staged(kBinDir + "/LX5810appli.ini")));
}

TEST(DesktopEntry, PassesDesktopFileValidate) {
  const ShellRun run = runShell("desktop-file-validate " + shellQuoted(kDesktopEntry));
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_EQ(run.out, "") << "hints or warnings";
}

TEST(DesktopEntry, StartsTheDesktopProgramWithItsIconAndJapaneseTexts) {
  const std::string entry = wholeFile(kDesktopEntry);
  for (const std::string line : {"Type=Application\n", "Exec=lumetrevisor\n", "Icon=" LMV_APP_ID "\n",
                                 "Name=Lumetrevisor\n", "Name[ja]=", "Comment=", "Comment[ja]=", "Terminal=false\n"})
    EXPECT_NE(entry.find(line), std::string::npos) << line;
  EXPECT_EQ(entry.find("@"), std::string::npos) << "a placeholder is left";
}

TEST(AppStreamMetadata, PassesAppstreamcliValidate) {
  const ShellRun run = runShell("appstreamcli validate --no-net --strict " + shellQuoted(kMetainfo));
  EXPECT_EQ(run.exitCode, 0) << run.out;
}

TEST(AppStreamMetadata, NamesTheDesktopEntryAndThisVersion) {
  const std::string metadata = wholeFile(kMetainfo);
  EXPECT_NE(metadata.find("<id>" LMV_APP_ID "</id>"), std::string::npos);
  EXPECT_NE(metadata.find("<launchable type=\"desktop-id\">" LMV_APP_ID ".desktop</launchable>"), std::string::npos);
  EXPECT_NE(metadata.find("<release version=\"" LMV_PROJECT_VERSION "\" date=\""), std::string::npos);
  EXPECT_NE(metadata.find("<name xml:lang=\"ja\">"), std::string::npos);
  EXPECT_EQ(metadata.find("@"), std::string::npos) << "a placeholder is left";
}

// Width and height from a PNG's header chunk.
TEST(Icons, RenderedAtEachSizeOfTheIconTheme) {
  for (const int size : iconSizes()) {
    const std::string dims = std::to_string(size) + "x" + std::to_string(size);
    const std::vector<uint8_t> png = fileBytes(LMV_PACKAGING_BINARY_DIR "/icons/" + dims + "/" LMV_APP_ID ".png");
    ASSERT_GE(png.size(), 24u) << dims;
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG") << dims;
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR") << dims;
    auto be32 = [&](size_t at) {
      return (uint32_t{png[at]} << 24) | (uint32_t{png[at + 1]} << 16) | (uint32_t{png[at + 2]} << 8) | png[at + 3];
    };
    EXPECT_EQ(be32(16), static_cast<uint32_t>(size)) << dims;
    EXPECT_EQ(be32(20), static_cast<uint32_t>(size)) << dims;
  }
}

class ManPage : public testing::TestWithParam<std::string> {};

TEST_P(ManPage, RendersWithoutWarningsAndHoldsTheProgramsHelp) {
  if (GetParam() == "lumetrevisor" && !kHaveDesktopProgram) GTEST_SKIP() << kNoDesktopProgram;
  const std::string page = LMV_PACKAGING_BINARY_DIR "/man/" + GetParam() + ".1.gz";
  const ShellRun warnings = runShell("LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l " + shellQuoted(page) + " 2>&1 >/dev/null");
  EXPECT_EQ(warnings.exitCode, 0);
  EXPECT_EQ(warnings.out, "");

  const ShellRun rendered = runShell("LC_ALL=C.UTF-8 MANWIDTH=200 man -l " + shellQuoted(page));
  ASSERT_EQ(rendered.exitCode, 0) << rendered.out;
  for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "SEE ALSO"})
    EXPECT_NE(rendered.out.find(std::string("\n") + section + "\n"), std::string::npos) << section;
  EXPECT_NE(rendered.out.find(GetParam() + " - "), std::string::npos);

  // Every line of the program's help is in the page.
  const ShellRun help = runShell("QT_QPA_PLATFORM=offscreen " + shellQuoted(LMV_BINARY_DIR) + "/src/*/" + GetParam() + " --help 2>/dev/null");
  ASSERT_EQ(help.exitCode, 0) << help.out;
  std::istringstream lines(help.out);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("Usage: ", 0) == 0 || line.find_first_not_of(' ') == std::string::npos) continue;
    EXPECT_NE(rendered.out.find(line.substr(line.find_first_not_of(' '))), std::string::npos) << line;
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, ManPage, testing::Values("lumetrevisor", "lumetrevisor-cli", "lumetrevisor-sim"),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (c == '-') c = '_';
                           return name;
                         });

TEST(ManPage, LumetrevisorCliHasASectionForEachCommand) {
  const ShellRun help = runShell(shellQuoted(LMV_BINARY_DIR "/src/cli/lumetrevisor-cli") + " --help");
  const ShellRun rendered =
      runShell("LC_ALL=C.UTF-8 MANWIDTH=200 man -l " + shellQuoted(LMV_PACKAGING_BINARY_DIR "/man/lumetrevisor-cli.1.gz"));
  std::istringstream lines(help.out.substr(help.out.find("Commands:\n") + 10));
  int commands = 0;
  for (std::string line; std::getline(lines, line) && line.rfind("  ", 0) == 0;) {
    const std::string command = line.substr(2, line.find(' ', 2) - 2);
    ++commands;
    EXPECT_NE(rendered.out.find("\n   " + command + "\n"), std::string::npos) << command;
    EXPECT_NE(rendered.out.find("Usage: lumetrevisor-cli " + command), std::string::npos) << command;
  }
  EXPECT_GE(commands, 9);
}

}  // namespace
}  // namespace lmv::test
