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
  EXPECT_TRUE(fs::is_regular_file(programDirectory() + "/test_app"));
  EXPECT_EQ(programDirectory(), fs::read_symlink("/proc/self/exe").parent_path().string());
  EXPECT_EQ(currentPathEnvironment().programDirectory, programDirectory());
  EXPECT_EQ(currentPathEnvironment().installPrefix, LMV_INSTALL_PREFIX);
}

TEST(SettingsFilePath, NameInTheDataDirectory) {
  EXPECT_EQ(settingsFilePath("/home/u/.config/TAVEK/LX5810"), "/home/u/.config/TAVEK/LX5810/LX5810appli.ini");
}

}  // namespace
}  // namespace lmv
