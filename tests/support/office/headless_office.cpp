#include "headless_office.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "sheet/uno/uno_sheet_office.h"

extern char** environ;

namespace lmv::test {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(60);

std::string findSoffice() {
  for (const char* candidate : {"/usr/bin/soffice", "/usr/lib/libreoffice/program/soffice"}) {
    if (::access(candidate, X_OK) == 0) return candidate;
  }
  return {};
}

}  // namespace

HeadlessOffice::HeadlessOffice() { start(); }

void HeadlessOffice::start() {
  char pattern[] = "/tmp/lmv-office-XXXXXX";
  const char* made = ::mkdtemp(pattern);
  if (made == nullptr) {
    ADD_FAILURE() << "cannot make a temporary folder: " << std::strerror(errno);
    return;
  }
  folder_ = made;
  std::filesystem::create_directories(folder_ / "home");
  std::filesystem::create_directories(folder_ / "files");
  pipeName_ = "lmv_test_" + folder_.filename().string().substr(11);

  const std::string soffice = findSoffice();
  if (soffice.empty()) {
    ADD_FAILURE() << "LibreOffice is not installed (scripts/setup.sh installs libreoffice-calc)";
    return;
  }
  const std::vector<std::string> args = {
      soffice,
      "--headless",
      "--norestore",
      "--nologo",
      "--nodefault",
      "--accept=pipe,name=" + pipeName_ + ";urp;",
      "-env:UserInstallation=file://" + (folder_ / "profile").string(),
  };
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::strncmp(*e, "HOME=", 5) != 0) env.emplace_back(*e);
  }
  env.push_back("HOME=" + (folder_ / "home").string());
  std::vector<char*> argv, envp;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  argv.push_back(nullptr);
  envp.push_back(nullptr);

  // A guard process leads the office's process group and kills the whole
  // group when this process ends, even by a crash: no office is left over.
  int life[2];
  ASSERT_EQ(::pipe2(life, O_CLOEXEC), 0) << std::strerror(errno);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0) << std::strerror(errno);
  if (pid == 0) {
    ::setsid();
    ::close(life[1]);
    if (::fork() == 0) {
      const int null = ::open("/dev/null", O_RDWR);
      ::dup2(null, 0);
      ::dup2(null, 1);
      ::dup2(null, 2);
      ::execve(argv[0], argv.data(), envp.data());
      ::_exit(127);
    }
    char c;
    while (::read(life[0], &c, 1) < 0 && errno == EINTR) {
    }
    ::kill(0, SIGKILL);
    ::_exit(0);
  }
  ::close(life[0]);
  lifeline_ = life[1];
  group_ = pid;
  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  while (!officeListens(pipeName_)) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill();
      FAIL() << "soffice did not listen on pipe " << pipeName_ << " within 60 s";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

HeadlessOffice::~HeadlessOffice() {
  kill();
  std::error_code ec;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
}

void HeadlessOffice::kill() {
  if (group_ <= 0) return;
  ::kill(-group_, SIGKILL);
  int status = 0;
  while (::waitpid(group_, &status, 0) < 0 && errno == EINTR) {
  }
  group_ = -1;
  ::close(lifeline_);
  lifeline_ = -1;
}

void killProcessesNaming(const std::string& marker) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const pid_t pid = static_cast<pid_t>(std::stol(name));
    if (pid == ::getpid()) continue;
    std::ifstream in(entry.path() / "cmdline", std::ios::binary);
    const std::string cmdline((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (cmdline.find(marker) != std::string::npos) ::kill(pid, SIGKILL);
  }
}

}  // namespace lmv::test
