#include "base/paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace lmv {
namespace {

std::optional<std::string> environmentValue(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::string homeFromPasswordEntry() {
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
      found->pw_dir == nullptr) {
    return {};
  }
  return found->pw_dir;
}

void createDirectory(const std::string& path, mode_t mode) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return;
  ::mkdir(path.c_str(), mode);
}

}  // namespace

std::string programDirectory() {
  std::vector<char> buffer(4096);
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0 || static_cast<size_t>(n) >= buffer.size()) return ".";
  const std::string exe(buffer.data(), static_cast<size_t>(n));
  const size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : exe.substr(0, slash);
}

PathEnvironment currentPathEnvironment() {
  PathEnvironment env;
  env.installPrefix = LMV_INSTALL_PREFIX;
  env.installedFilesFromProgram = LMV_INSTALL_FILES_FROM_BINDIR;
  env.programDirectory = programDirectory();
  env.xdgConfigHome = environmentValue("XDG_CONFIG_HOME");
  env.home = environmentValue("HOME");
  if (!env.home || env.home->empty()) env.home = homeFromPasswordEntry();
  return env;
}

bool isInstalledProgram(const PathEnvironment& environment) {
  return !environment.installPrefix.empty() &&
         environment.programDirectory.find(environment.installPrefix) != std::string::npos;
}

std::string dataDirectory(const PathEnvironment& environment, bool createMissing) {
  if (!isInstalledProgram(environment)) return environment.programDirectory;

  // Relative values of XDG_CONFIG_HOME are invalid and ignored, as the
  // base-directory rules require.
  std::string configHome;
  if (environment.xdgConfigHome && !environment.xdgConfigHome->empty() &&
      environment.xdgConfigHome->front() == '/') {
    configHome = *environment.xdgConfigHome;
  } else {
    configHome = environment.home.value_or("") + "/.config";
  }
  while (configHome.size() > 1 && configHome.back() == '/') configHome.pop_back();

  const std::string vendor = configHome + "/TAVEK";
  const std::string product = vendor + "/LX5810";
  if (createMissing) {
    createDirectory(configHome, 0700);
    createDirectory(vendor, 0777);
    createDirectory(product, 0777);
  }
  return product;
}

std::string settingsFilePath(const std::string& dataDirectory) {
  return dataDirectory + "/" + kSettingsFileName;
}

std::string programFilesDirectory(const PathEnvironment& environment) {
  if (!isInstalledProgram(environment) || environment.installedFilesFromProgram.empty())
    return environment.programDirectory;
  std::string files =
      (std::filesystem::path(environment.programDirectory) / environment.installedFilesFromProgram)
          .lexically_normal()
          .string();
  while (files.size() > 1 && files.back() == '/') files.pop_back();
  return files;
}

}  // namespace lmv
