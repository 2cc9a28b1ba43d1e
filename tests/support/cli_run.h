#pragma once
// Runs the built lumetrevisor-cli as a separate process and collects its
// exit status and output.
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
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

// Runs "lumetrevisor-cli ARGS" in workDir (which takes its output files) with
// LC_ALL=C.UTF-8 and TZ=UTC.
inline CliRun runCli(const std::vector<std::string>& args, const std::string& workDir) {
  std::string command = "cd " + shellQuoted(workDir) + " && LC_ALL=C.UTF-8 TZ=UTC " +
                        shellQuoted(LMV_BINARY_DIR "/src/cli/lumetrevisor-cli");
  for (const auto& a : args) command += " " + shellQuoted(a);
  command += " </dev/null >cli.out 2>cli.err";
  const int status = std::system(command.c_str());
  CliRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = wholeFile(workDir + "/cli.out");
  run.err = wholeFile(workDir + "/cli.err");
  return run;
}

}  // namespace lmv::test
