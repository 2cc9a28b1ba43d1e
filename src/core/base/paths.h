#pragma once
// Where the program lives and where it keeps its settings.
#include <optional>
#include <string>

namespace lmv {

inline constexpr char kSettingsFileName[] = "LX5810appli.ini";

// The inputs of the data-directory decision, injectable for tests.
struct PathEnvironment {
  std::string installPrefix;     // the prefix the program was built to be installed under
  std::string programDirectory;  // directory of the running executable
  std::optional<std::string> xdgConfigHome;
  std::optional<std::string> home;
};

// Directory of the running executable (from /proc/self/exe), without a
// trailing slash; "." if it cannot be found.
std::string programDirectory();

// The environment of this process: build-time install prefix, executable
// directory, $XDG_CONFIG_HOME and $HOME (the password entry when unset).
PathEnvironment currentPathEnvironment();

// An installed program (its directory contains the install prefix,
// case-sensitive) keeps its settings in $XDG_CONFIG_HOME/TAVEK/LX5810
// ($HOME/.config when unset), any other copy beside the executable. With
// createMissing the directories are created when absent; failures are
// silent (writing the settings at exit reports them).
std::string dataDirectory(const PathEnvironment& environment, bool createMissing = true);

std::string settingsFilePath(const std::string& dataDirectory);

}  // namespace lmv
