#include <clocale>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "command.h"

namespace lmv::cli {

std::vector<Command>& commandRegistry() {
  static std::vector<Command> commands;
  return commands;
}

CommandRegistration::CommandRegistration(Command command) {
  commandRegistry().push_back(std::move(command));
}

int usageError(const Command& command, const std::string& message) {
  std::cerr << "lumetrevisor-cli " << command.name << ": " << message << "\n"
            << "Try 'lumetrevisor-cli " << command.name << " --help'.\n";
  return ExitUsage;
}

}  // namespace lmv::cli

namespace {

void printCommandList(std::ostream& out) {
  out << "Usage: lumetrevisor-cli <command> [options]\n\nCommands:\n";
  for (const auto& c : lmv::cli::commandRegistry()) {
    out << "  " << c.name;
    for (size_t i = c.name.size(); i < 12; ++i) out << ' ';
    out << c.summary << "\n";
  }
  out << "\nRun 'lumetrevisor-cli <command> --help' for a command's options.\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    printCommandList(std::cerr);
    return lmv::cli::ExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    printCommandList(std::cout);
    return lmv::cli::ExitOk;
  }
  for (const auto& c : lmv::cli::commandRegistry()) {
    if (c.name != args[0]) continue;
    std::vector<std::string> rest(args.begin() + 1, args.end());
    for (const auto& a : rest) {
      if (a == "--help" || a == "-h") {
        std::cout << c.usage;
        return lmv::cli::ExitOk;
      }
    }
    return c.run(rest);
  }
  std::cerr << "lumetrevisor-cli: unknown command '" << args[0] << "'\n";
  printCommandList(std::cerr);
  return lmv::cli::ExitUsage;
}
