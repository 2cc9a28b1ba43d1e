#pragma once
// lumetrevisor-cli as a running child process: its output read line by line
// as it comes, signals sent to it, its end waited for.
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace lmv::test {

class CliProcess {
 public:
  // Starts "lumetrevisor-cli ARGS" with LC_ALL=C.UTF-8 and TZ=UTC; standard
  // input is /dev/null, standard output a pipe to this process, standard
  // error a file read by errorText().
  explicit CliProcess(const std::vector<std::string>& args);
  ~CliProcess();  // kills the child if it still runs
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  // The next line of standard output (without its LF); empty when the
  // output ended or nothing came within the timeout.
  std::optional<std::string> readLine(std::chrono::milliseconds timeout = std::chrono::minutes(1));
  // Stops reading: the child's next write finds no reader.
  void closeOutput();
  void signal(int number);
  // The exit status, or -1 - signal when killed, or nothing on timeout.
  std::optional<int> wait(std::chrono::milliseconds timeout = std::chrono::minutes(2));
  std::string errorText() const;

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string buffered_;
  std::string errPath_;
  std::optional<int> status_;
};

}  // namespace lmv::test
