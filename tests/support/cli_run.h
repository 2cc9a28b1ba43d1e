#pragma once
// Runs the built lumetrevisor-cli as a separate process and collects its
// exit status and output.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace lmv::test {

struct CliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline std::string shellQuoted(const std::string& arg) {
  std::string q = "'";
  for (const char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline std::string wholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline constexpr const char* kCliPath = LMV_BINARY_DIR "/src/cli/lumetrevisor-cli";

// Runs "lumetrevisor-cli ARGS" in workDir (which takes its output files) with
// LC_ALL=C.UTF-8 and TZ=UTC; prefix (for example setpriv and its options)
// goes before the program.
inline CliRun runCli(const std::vector<std::string>& args, const std::string& workDir,
                     const std::vector<std::string>& prefix = {}) {
  std::string command = "cd " + shellQuoted(workDir) + " && LC_ALL=C.UTF-8 TZ=UTC";
  for (const auto& p : prefix) command += " " + shellQuoted(p);
  command += " " + shellQuoted(kCliPath);
  for (const auto& a : args) command += " " + shellQuoted(a);
  command += " </dev/null >cli.out 2>cli.err";
  const int status = std::system(command.c_str());
  CliRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = wholeFile(workDir + "/cli.out");
  run.err = wholeFile(workDir + "/cli.err");
  return run;
}

// lumetrevisor-cli running in the background, for tests that act while it
// runs (stop it with a signal, change its files). Output goes to cli.out
// and cli.err in workDir; environment as runCli, plus extra "NAME=value".
class CliProcess {
 public:
  CliProcess(const std::vector<std::string>& args, const std::string& workDir,
             const std::vector<std::string>& extraEnvironment = {})
      : workDir_(workDir) {
    // Everything the child needs is made before fork: the child of a
    // process with threads only calls what is safe there.
    std::vector<std::string> environment = {"LC_ALL=C.UTF-8", "TZ=UTC"};
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    const auto overridden = [&](const std::string& entry) {
      for (const std::string& e : environment)
        if (entry.compare(0, e.find('=') + 1, e, 0, e.find('=') + 1) == 0) return true;
      return false;
    };
    for (char** e = environ; *e != nullptr; ++e)
      if (!overridden(*e)) environment.emplace_back(*e);
    std::vector<std::string> all = {kCliPath};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    const std::string outPath = workDir + "/cli.out";
    const std::string errPath = workDir + "/cli.err";

    pid_ = ::fork();
    if (pid_ != 0) return;
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || ::chdir(workDir.c_str()) != 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::execve(kCliPath, argv.data(), envp.data());
    ::_exit(127);
  }
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;
  ~CliProcess() {
    if (pid_ > 0 && !waited_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }

  pid_t pid() const { return pid_; }

  // Waits until the standard output holds text (true), the program ended,
  // or the hang guard ran out.
  bool waitForOutput(const std::string& text, std::chrono::seconds limit = std::chrono::minutes(3)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      if (wholeFile(workDir_ + "/cli.out").find(text) != std::string::npos) return true;
      if (::waitpid(pid_, &status_, WNOHANG) == pid_) {
        waited_ = true;
        return wholeFile(workDir_ + "/cli.out").find(text) != std::string::npos;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  void signal(int number) {
    if (!waited_) ::kill(pid_, number);
  }

  CliRun wait() {
    if (!waited_) ::waitpid(pid_, &status_, 0);
    waited_ = true;
    CliRun run;
    run.exitCode = WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
    run.out = wholeFile(workDir_ + "/cli.out");
    run.err = wholeFile(workDir_ + "/cli.err");
    return run;
  }

 private:
  std::string workDir_;
  pid_t pid_ = -1;
  int status_ = 0;
  bool waited_ = false;
};

}  // namespace lmv::test
