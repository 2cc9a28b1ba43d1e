#include "cli_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace lmv::test {

CliProcess::CliProcess(const std::vector<std::string>& args) {
  std::string pattern = (std::filesystem::temp_directory_path() / "lmv-cli-err-XXXXXX").string();
  const int err = ::mkstemp(pattern.data());
  if (err < 0) throw std::runtime_error("no file for standard error");
  errPath_ = pattern;
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("no pipe");
  const int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err, 2);
  // The child starts with the default signal dispositions, whatever the
  // test runner ignores.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t all;
  sigfillset(&all);
  posix_spawnattr_setsigdefault(&attributes, &all);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  std::vector<std::string> argv{LMV_BINARY_DIR "/src/cli/lumetrevisor-cli"};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> argp;
  for (auto& a : argv) argp.push_back(a.data());
  argp.push_back(nullptr);
  std::vector<std::string> env{"LC_ALL=C.UTF-8", "TZ=UTC"};
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    if (!entry.starts_with("LC_ALL=") && !entry.starts_with("TZ=")) env.push_back(entry);
  }
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  const int r = ::posix_spawn(&pid_, argp[0], &actions, &attributes, argp.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  ::close(in);
  ::close(err);
  ::close(pipeFds[1]);
  out_ = pipeFds[0];
  if (r != 0) throw std::runtime_error("cannot start lumetrevisor-cli");
}

CliProcess::~CliProcess() {
  if (!status_ && pid_ > 0) {
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  if (out_ >= 0) ::close(out_);
  std::filesystem::remove(errPath_);
}

std::optional<std::string> CliProcess::readLine(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const size_t lf = buffered_.find('\n');
    if (lf != std::string::npos) {
      std::string line = buffered_.substr(0, lf);
      buffered_.erase(0, lf + 1);
      return line;
    }
    if (out_ < 0) return std::nullopt;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd p{out_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char chunk[512];
    const ssize_t n = ::read(out_, chunk, sizeof chunk);
    if (n <= 0) return std::nullopt;
    buffered_.append(chunk, static_cast<size_t>(n));
  }
}

void CliProcess::closeOutput() {
  if (out_ >= 0) ::close(out_);
  out_ = -1;
}

void CliProcess::signal(int number) { ::kill(pid_, number); }

std::optional<int> CliProcess::wait(std::chrono::milliseconds timeout) {
  if (status_) return status_;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    int status = 0;
    const pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1 - WTERMSIG(status);
      return status_;
    }
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::string CliProcess::errorText() const {
  std::ifstream in(errPath_, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace lmv::test
