#pragma once
// Sub-commands of lumetrevisor-cli. Each command lives in its own file and
// registers itself with a static CommandRegistration.
#include <functional>
#include <string>
#include <vector>

namespace lmv::cli {

// Exit codes shared by every command.
enum ExitCode : int {
  ExitOk = 0,
  ExitFileError = 1,
  ExitUsage = 2,
  ExitFailed = 3,
};

struct Command {
  std::string name;
  std::string summary;  // one line for the command list
  std::string usage;    // full --help text
  std::function<int(const std::vector<std::string>& args)> run;
};

std::vector<Command>& commandRegistry();

struct CommandRegistration {
  explicit CommandRegistration(Command command);
};

// Prints "lumetrevisor-cli <name>: <message>" and the usage hint to stderr;
// returns ExitUsage.
int usageError(const Command& command, const std::string& message);

}  // namespace lmv::cli
