#include "sheet/uno/office_start.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace lmv {
namespace {

std::string findProgram(const std::string& name) {
  if (name.find('/') != std::string::npos) return name;
  const char* path = std::getenv("PATH");
  std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  while (true) {
    const auto colon = dirs.find(':');
    std::string dir(dirs.substr(0, colon));
    if (dir.empty()) dir = ".";
    const std::string candidate = dir + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    if (colon == std::string_view::npos) break;
    dirs.remove_prefix(colon + 1);
  }
  return {};
}

}  // namespace

bool startDetached(const std::vector<std::string>& command, std::string& error) {
  if (command.empty()) {
    error = "no command";
    return false;
  }
  const std::string program = findProgram(command.front());
  if (program.empty()) {
    error = command.front() + ": not found";
    return false;
  }
  // Everything the children use is prepared here: after fork only
  // async-signal-safe calls are allowed.
  std::vector<char*> argv;
  for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  int report[2];  // the grandchild writes errno here when exec fails
  if (::pipe2(report, O_CLOEXEC) != 0) {
    error = std::strerror(errno);
    return false;
  }
  // Fork twice, so that the office is nobody's child here and never
  // lingers as a zombie of this process.
  const pid_t child = ::fork();
  if (child < 0) {
    error = std::strerror(errno);
    ::close(report[0]);
    ::close(report[1]);
    return false;
  }
  if (child == 0) {
    ::close(report[0]);
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild == 0) {
      const int null = ::open("/dev/null", O_RDWR);
      if (null >= 0) {
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
      }
      ::execv(program.c_str(), argv.data());
      const int err = errno;
      [[maybe_unused]] auto written = ::write(report[1], &err, sizeof err);
      ::_exit(127);
    }
    ::_exit(grandchild < 0 ? 1 : 0);
  }
  ::close(report[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int execError = 0;
  ssize_t n;
  while ((n = ::read(report[0], &execError, sizeof execError)) < 0 && errno == EINTR) {
  }
  ::close(report[0]);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    error = "could not start " + program;
    return false;
  }
  if (n > 0) {
    error = program + ": " + std::strerror(execError);
    return false;
  }
  return true;
}

}  // namespace lmv
