// The Debian package, built by scripts/package.sh from a release build of its
// own, installed with apt, run and removed again. It changes the machine, so
// it runs only as root with CI=true (as CI runs the tests).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "cli_run.h"
#include "install_paths.h"

namespace lmv::test {
namespace {

namespace fs = std::filesystem;

bool mayChangeThisMachine() {
  const char* ci = std::getenv("CI");
  return ::geteuid() == 0 && ci != nullptr && std::string(ci) == "true";
}

std::string lastLine(const std::string& text) {
  std::string trimmed = text;
  while (!trimmed.empty() && trimmed.back() == '\n') trimmed.pop_back();
  const size_t newline = trimmed.rfind('\n');
  return newline == std::string::npos ? trimmed : trimmed.substr(newline + 1);
}

// Removes the package when the test ends, whatever happened.
struct PackageRemoval {
  ~PackageRemoval() {
    if (armed) runShell("DEBIAN_FRONTEND=noninteractive apt-get purge -y -q lumetrevisor");
  }
  bool armed = false;
};

TEST(DebianPackage, BuildsPassesLintianInstallsRunsAndIsRemoved) {
  if (!mayChangeThisMachine())
    GTEST_SKIP() << "the Debian package is built, installed with apt and removed only when the tests run as "
                    "root with CI=true; build and check it with scripts/package.sh";

  // Built and checked with lintian (any error fails the script).
  const std::string build = LMV_BINARY_DIR "/package-release";
  const ShellRun made = runShell("LUMETREVISOR_SKIP_SETUP=1 LUMETREVISOR_PACKAGE_BUILD=" + shellQuoted(build) +
                                 " bash " + shellQuoted(LMV_SOURCE_DIR "/scripts/package.sh"));
  ASSERT_EQ(made.exitCode, 0) << made.out;
  const fs::path deb = lastLine(made.out);
  ASSERT_TRUE(fs::is_regular_file(deb)) << made.out;
  EXPECT_EQ(deb.filename().string().rfind("lumetrevisor_" LMV_PROJECT_VERSION "-", 0), 0u) << deb;

  // Dependencies from the shared libraries the programs link.
  const ShellRun depends = runShell("dpkg-deb -f " + shellQuoted(deb.string()) + " Depends");
  for (const char* library : {"libc6", "libstdc++6", "libudev1", "libuno-cppu3"})
    EXPECT_NE(depends.out.find(library), std::string::npos) << library << " in " << depends.out;
  if (kHaveDesktopProgram) {
    EXPECT_NE(depends.out.find("libqt6widgets6"), std::string::npos) << depends.out;
  }

  PackageRemoval removal;
  removal.armed = true;
  const ShellRun installed = runShell("cd " + shellQuoted(deb.parent_path().string()) +
                                      " && DEBIAN_FRONTEND=noninteractive apt install -y ./lumetrevisor_*.deb");
  ASSERT_EQ(installed.exitCode, 0) << installed.out;

  const ShellRun cliHelp = runShell("/usr/bin/lumetrevisor-cli --help");
  EXPECT_EQ(cliHelp.exitCode, 0) << cliHelp.out;
  EXPECT_NE(cliHelp.out.find("Usage: lumetrevisor-cli"), std::string::npos) << cliHelp.out;
  const ShellRun simHelp = runShell("/usr/bin/lumetrevisor-sim --help");
  EXPECT_EQ(simHelp.exitCode, 0) << simHelp.out;
  if (kHaveDesktopProgram) {
    const ShellRun version = runShell("QT_QPA_PLATFORM=offscreen /usr/bin/lumetrevisor --version");
    EXPECT_EQ(version.exitCode, 0) << version.out;
    EXPECT_NE(version.out.find(LMV_PROJECT_VERSION), std::string::npos) << version.out;
  } else {
    std::cout << "[ NOTE     ] the desktop program is not built: 'lumetrevisor --version' is not run\n";
  }
  EXPECT_EQ(runShell("man -w lumetrevisor-cli").exitCode, 0);

  // udev's own reader takes the installed rule without a complaint. A device
  // that does not exist: the rules are read, nothing is applied.
  const std::string rule = lastLine(runShell("dpkg -L lumetrevisor | grep '/rules.d/70-lumetrevisor.rules$'").out);
  ASSERT_TRUE(fs::is_regular_file(rule)) << rule;
  const ShellRun udev = runShell("udevadm test --action=add /sys/devices/lumetrevisor-test-no-such-device");
  EXPECT_NE(udev.out.find("70-lumetrevisor.rules"), std::string::npos) << "udevadm read no rule of ours:\n" << udev.out;
  EXPECT_EQ(udev.out.find("70-lumetrevisor.rules:"), std::string::npos) << "udevadm complains:\n" << udev.out;

  removal.armed = false;
  const ShellRun removed = runShell("DEBIAN_FRONTEND=noninteractive apt-get purge -y -q lumetrevisor");
  EXPECT_EQ(removed.exitCode, 0) << removed.out;
  EXPECT_FALSE(fs::exists("/usr/bin/lumetrevisor-cli"));
  EXPECT_FALSE(fs::exists(rule));
  EXPECT_NE(runShell("dpkg -s lumetrevisor").exitCode, 0);
}

}  // namespace
}  // namespace lmv::test
