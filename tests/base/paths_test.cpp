#include "base/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_files.h"

namespace lmv {
namespace {

namespace fs = std::filesystem;

class DataDirectory : public testing::Test {
 protected:
  PathEnvironment installed(const std::string& programDir) const {
    PathEnvironment env;
    env.installPrefix = "/opt/lumetrevisor";
    env.programDirectory = programDir;
    env.home = dir_.file("home");
    return env;
  }
  test::TempDir dir_;
};

TEST_F(DataDirectory, InstalledUsesXdgConfigHomeAndCreatesIt) {
  PathEnvironment env = installed("/opt/lumetrevisor/bin");
  env.xdgConfigHome = dir_.file("config");
  EXPECT_EQ(dataDirectory(env), dir_.file("config/TAVEK/LX5810"));
  EXPECT_TRUE(fs::is_directory(dir_.file("config/TAVEK/LX5810")));
  EXPECT_FALSE(fs::exists(dir_.file("home")));

  // Second start: everything exists already.
  EXPECT_EQ(dataDirectory(env), dir_.file("config/TAVEK/LX5810"));
}

TEST_F(DataDirectory, InstalledFallsBackToHomeConfig) {
  fs::create_directory(dir_.file("home"));
  for (const std::optional<std::string>& xdg : {std::optional<std::string>{}, std::optional<std::string>{""},
                                                std::optional<std::string>{"relative/config"}}) {
    PathEnvironment env = installed("/usr/opt/lumetrevisor/bin");  // the prefix anywhere in the path
    env.xdgConfigHome = xdg;
    EXPECT_EQ(dataDirectory(env), dir_.file("home/.config/TAVEK/LX5810")) << xdg.value_or("(unset)");
    EXPECT_TRUE(fs::is_directory(dir_.file("home/.config/TAVEK/LX5810")));
  }
}

TEST_F(DataDirectory, FailureToCreateIsSilent) {
  test::writeFileBytes(dir_.file("config"), {1});  // a file where the directory should be
  PathEnvironment env = installed("/opt/lumetrevisor/bin");
  env.xdgConfigHome = dir_.file("config");
  EXPECT_EQ(dataDirectory(env), dir_.file("config/TAVEK/LX5810"));
  EXPECT_FALSE(fs::exists(dir_.file("config/TAVEK")));
}

TEST_F(DataDirectory, WithoutCreatingOnlyDecides) {
  PathEnvironment env = installed("/opt/lumetrevisor/bin");
  env.xdgConfigHome = dir_.file("config");
  EXPECT_EQ(dataDirectory(env, false), dir_.file("config/TAVEK/LX5810"));
  EXPECT_FALSE(fs::exists(dir_.file("config")));
}

TEST_F(DataDirectory, ElsewhereTheProgramDirectory) {
  const struct {
    const char* prefix;
    const char* programDir;
  } cases[] = {
      {"/opt/lumetrevisor", "/home/user/tools"},
      {"/opt/lumetrevisor", "/opt/Lumetrevisor/bin"},  // case-sensitive
      {"/opt/lumetrevisor", "/opt/lumetrevis/bin"},
      {"", "/opt/lumetrevisor/bin"},                   // no prefix known
  };
  for (const auto& c : cases) {
    PathEnvironment env;
    env.installPrefix = c.prefix;
    env.programDirectory = c.programDir;
    env.xdgConfigHome = dir_.file("config");
    env.home = dir_.file("home");
    EXPECT_EQ(dataDirectory(env), c.programDir);
  }
  EXPECT_FALSE(fs::exists(dir_.file("config")));
  EXPECT_FALSE(fs::exists(dir_.file("home")));
}

TEST(ProgramDirectory, IsTheDirectoryOfTheRunningExecutable) {
  EXPECT_TRUE(fs::is_regular_file(programDirectory() + "/test_base"));
  EXPECT_EQ(programDirectory(), fs::read_symlink("/proc/self/exe").parent_path().string());
  EXPECT_EQ(currentPathEnvironment().programDirectory, programDirectory());
  EXPECT_EQ(currentPathEnvironment().installPrefix, LMV_INSTALL_PREFIX);
}

struct FilesCase {
  const char* prefix;
  const char* programDir;
  const char* filesFromProgram;
  const char* expected;
};

class ProgramFilesDirectory : public testing::TestWithParam<FilesCase> {};

TEST_P(ProgramFilesDirectory, InstalledBesideTheInstallElseBesideTheProgram) {
  PathEnvironment env;
  env.installPrefix = GetParam().prefix;
  env.programDirectory = GetParam().programDir;
  env.installedFilesFromProgram = GetParam().filesFromProgram;
  EXPECT_EQ(programFilesDirectory(env), GetParam().expected);
  // The settings follow the same rule of being installed.
  EXPECT_EQ(isInstalledProgram(env), dataDirectory(env, false) != env.programDirectory);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ProgramFilesDirectory,
    testing::Values(
        FilesCase{"/usr", "/usr/bin", "../share/lumetrevisor", "/usr/share/lumetrevisor"},
        FilesCase{"/usr/local", "/usr/local/bin", "../share/lumetrevisor", "/usr/local/share/lumetrevisor"},
        // A staged or moved install finds the files of its own tree.
        FilesCase{"/usr", "/tmp/stage/usr/bin", "../share/lumetrevisor", "/tmp/stage/usr/share/lumetrevisor"},
        FilesCase{"/opt/lmv", "/opt/lmv/bin", "/srv/lumetrevisor/", "/srv/lumetrevisor"},
        // Not installed: the program directory, as a copy run from its build tree.
        FilesCase{"/usr/local", "/home/user/lumetrevisor/build/src/gui", "../share/lumetrevisor",
                  "/home/user/lumetrevisor/build/src/gui"},
        FilesCase{"/opt/lmv", "/opt/LMV/bin", "../share/lumetrevisor", "/opt/LMV/bin"},
        FilesCase{"", "/usr/bin", "../share/lumetrevisor", "/usr/bin"},
        FilesCase{"/usr", "/usr/bin", "", "/usr/bin"}));

TEST(ProgramFilesDirectory, BuiltForThisInstall) {
  const PathEnvironment env = currentPathEnvironment();
  EXPECT_EQ(env.installedFilesFromProgram, LMV_INSTALL_FILES_FROM_BINDIR);
  EXPECT_EQ(fs::path(LMV_INSTALL_PREFIX + std::string("/bin/") + LMV_INSTALL_FILES_FROM_BINDIR).lexically_normal(),
            fs::path(LMV_INSTALL_PREFIX + std::string("/share/lumetrevisor")).lexically_normal());
}

TEST(SettingsFilePath, NameInTheDataDirectory) {
  EXPECT_EQ(settingsFilePath("/home/u/.config/TAVEK/LX5810"), "/home/u/.config/TAVEK/LX5810/LX5810appli.ini");
}

}  // namespace
}  // namespace lmv
