#pragma once
// What the install tests need to know of the build (set by CMake) and a
// shell runner that collects a command's status and output.
#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace lmv::test {

// LMV_INSTALL_TEST_PREFIX, LMV_INSTALL_TEST_DATADIR, LMV_INSTALL_TEST_MANDIR,
// LMV_INSTALL_TEST_BINDIR, LMV_INSTALL_TEST_FILESDIR (relative to the
// prefix), LMV_UDEV_RULES_DIR (absolute), LMV_APP_ID, LMV_ICON_SIZES ("16 22
// ..."), LMV_PACKAGING_BINARY_DIR, LMV_PACKAGING_SOURCE_DIR, LMV_CMAKE_COMMAND,
// and LMV_HAVE_DESKTOP_PROGRAM (1 when the desktop program is built).

struct ShellRun {
  int exitCode = -1;
  std::string out;  // standard output and standard error
};

inline ShellRun runShell(const std::string& command) {
  ShellRun run;
  FILE* pipe = ::popen(("(" + command + ") 2>&1 </dev/null").c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

inline std::vector<int> iconSizes() {
  std::vector<int> sizes;
  std::istringstream in(LMV_ICON_SIZES);
  for (int size; in >> size;) sizes.push_back(size);
  return sizes;
}

inline constexpr bool kHaveDesktopProgram = LMV_HAVE_DESKTOP_PROGRAM != 0;

}  // namespace lmv::test
