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
  // Where an installed program's own files lie, relative to its executable's
  // directory ("../share/lumetrevisor" for the usual layout).
  std::string installedFilesFromProgram;
  std::optional<std::string> xdgConfigHome;
  std::optional<std::string> home;
};

// Directory of the running executable (from /proc/self/exe), without a
// trailing slash; "." if it cannot be found.
std::string programDirectory();

// The environment of this process: build-time install prefix and files
// folder, executable directory, $XDG_CONFIG_HOME and $HOME (the password
// entry when unset).
PathEnvironment currentPathEnvironment();

// A program counts as installed when its directory contains the install
// prefix (case-sensitive substring).
bool isInstalledProgram(const PathEnvironment& environment);

// An installed program (its directory contains the install prefix,
// case-sensitive) keeps its settings in $XDG_CONFIG_HOME/TAVEK/LX5810
// ($HOME/.config when unset), any other copy beside the executable. With
// createMissing the directories are created when absent; failures are
// silent (writing the settings at exit reports them).
std::string dataDirectory(const PathEnvironment& environment, bool createMissing = true);

std::string settingsFilePath(const std::string& dataDirectory);

// The directory that holds the program's own folders "Pictures", "Manuals"
// and "Languages": for an installed program the files folder of its install
// (found from the executable, so a staged or moved install finds its own),
// for any other copy the program directory.
std::string programFilesDirectory(const PathEnvironment& environment);

}  // namespace lmv
